// Between waves and lives: when a wave is cleared, clearing the playfield,
// and the behaviour settings' reset and per-frame ramp.
#include "play/round.h"

#include <gtest/gtest.h>

#include "support/world.h"

namespace {

using sbt::World;

TEST(WaveCleared, WaitsForEveryCountedKindAndTheLastFragment) {
  World w;
  EXPECT_TRUE(sb::WaveCleared(w.g));
  w.g.kxbit_list.New();
  EXPECT_FALSE(sb::WaveCleared(w.g));
  w.g.kxbit_list.Clear();
  // Hulks, electrodes, progs and humans never hold a wave open.
  w.g.kxhulk_list.New();
  w.g.kxelectrode_list.New();
  w.g.kxprog_list.New();
  w.g.kxhuman_list.New();
  w.g.wave->electrodes_remaining = 3;
  w.g.wave->humans_remaining = 2;
  EXPECT_TRUE(sb::WaveCleared(w.g));
  int32_t* counters[] = {&w.g.wave->grunts_remaining,    &w.g.wave->brains_remaining,
                         &w.g.wave->spheroids_remaining, &w.g.wave->quarks_remaining,
                         &w.g.wave->tanks_remaining,     &w.g.wave->enforcers_remaining};
  for (int32_t* c : counters) {
    *c = 1;
    EXPECT_FALSE(sb::WaveCleared(w.g));
    *c = -1;  // below zero counts as gone
    EXPECT_TRUE(sb::WaveCleared(w.g));
  }
}

TEST(ClearPlayfield, EmptiesSeventeenListsAndLeavesHumansPlayerAndWaves) {
  World w;
  sb::VisitLists(w.g, [](const char*, auto& list) { list.New(); });
  sb::ClearPlayfield(w.g);
  int non_empty = 0;
  sb::VisitLists(w.g, [&](const char*, auto& list) { non_empty += list.Empty() ? 0 : 1; });
  EXPECT_EQ(non_empty, 3);
  EXPECT_EQ(w.g.kxhuman_list.Count(), 1u);
  EXPECT_EQ(w.g.kxplyr_list.Count(), 2u);  // the fixture's player and the extra one
  EXPECT_EQ(w.g.kxwave_list.Count(), 2u);
}

// --- behaviour settings ---

TEST(Behaviour, SpeedsBeyondTheirBoundAreCappedByTheFirstFrame) {
  World w;
  w.g.difficulty = 5;
  sb::ResetBehaviour(w.g);
  EXPECT_FLOAT_EQ(w.g.beh.ballspeed, 6.9f);
  EXPECT_FLOAT_EQ(w.g.beh.plusspeed, 8.8f);
  sb::RampBehaviour(w.g);
  EXPECT_FLOAT_EQ(w.g.beh.ballspeed, 4.0f);
  EXPECT_FLOAT_EQ(w.g.beh.plusspeed, 6.0f);
  EXPECT_FLOAT_EQ(w.g.beh.progspeed, 3.4f);  // no per-frame change
}

TEST(Behaviour, GapsShrinkOneFrameInAHundredAndStopAtTen) {
  World w;
  w.g.difficulty = 1;
  sb::ResetBehaviour(w.g);
  for (int i = 0; i < 100; ++i) sb::RampBehaviour(w.g);
  EXPECT_NEAR(w.g.beh.plusgap, 49.0f, 0.01f);
  EXPECT_FLOAT_EQ(w.g.beh.plusfirst, 35.0f);
  for (int i = 0; i < 20000; ++i) sb::RampBehaviour(w.g);
  EXPECT_FLOAT_EQ(w.g.beh.plusgap, 10.0f);
  EXPECT_FLOAT_EQ(w.g.beh.cruisegap, 10.0f);
}

}  // namespace
