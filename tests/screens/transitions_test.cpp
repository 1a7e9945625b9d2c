// Death sequence, wave intros and the outro rings, through the headless
// platform's presented frames.
#include "screens/transitions.h"

#include <vector>

#include "draw/drawutil.h"
#include "robots/bits.h"
#include "support/world.h"

namespace {

using sbt::Count;

struct Transitions : sbt::WorldTest {
  // Requests raised in each presented frame, noted before they are played.
  std::vector<std::array<int, sb::kSndCount>> raised;
  std::vector<int> syncs;

  Transitions() {
    CountingSounds();
    P->OpenDisplay(640, 480, 0, 60, 0);
    hb.on_present = [this](int, const uint32_t*) {
      std::array<int, sb::kSndCount> r{};
      for (int i = 0; i < sb::kSndCount; ++i) r[static_cast<size_t>(i)] = g.req[i];
      raised.push_back(r);
      syncs.push_back(hb.LastSync());
    };
  }

  std::vector<int> FramesRaising(sb::Snd s) const {
    std::vector<int> frames;
    for (size_t i = 0; i < raised.size(); ++i) {
      if (raised[i][s] != 0) frames.push_back(static_cast<int>(i));
    }
    return frames;
  }
};

// --- wave intro ---

TEST_F(Transitions, TheWaveIntroPresents62FramesWithBirthSoundsOnCue) {
  sb::kxgrunt* gr = sbt::At(g.kxgrunt_list, 100, 100);
  gr->animdir = 1;
  sb::kxbrain* b = sbt::At(g.kxbrain_list, 400, 300);
  b->cruisedelay = 1000;
  b->animdir = 1;
  sb::Raise(g, sb::kSndNewwave);  // as the wave set-up leaves it
  P->SeedRandom(11);

  sb::WaveIntro(g, false);

  EXPECT_EQ(raised.size(), 62u);
  EXPECT_EQ(FramesRaising(sb::kSndNewwave), std::vector<int>({0}));
  EXPECT_EQ(FramesRaising(sb::kSndBrainborn), std::vector<int>({31}));
  EXPECT_EQ(FramesRaising(sb::kSndGruntborn), std::vector<int>({33, 36, 39, 42, 45, 48}));
  auto played = TakeVoices();
  EXPECT_EQ(played[sb::kSndGruntborn], 6);
  EXPECT_EQ(played[sb::kSndBrainborn], 1);
  EXPECT_EQ(played[sb::kSndNewwave], 1);
  for (int i = 0; i < sb::kSndCount; ++i) EXPECT_EQ(g.req[i], 0);
  // The robots move only in the last twelve frames.
  EXPECT_NE(gr->sx, 100.0f);
  EXPECT_EQ(P->Millis(), 62u * 25u);
}

TEST_F(Transitions, AWaveWithoutGruntsOrBrainsRaisesNoBirthSounds) {
  sbt::At(g.kxhulk_list, 100, 100);
  P->SeedRandom(12);

  sb::WaveIntro(g, false);

  EXPECT_EQ(raised.size(), 62u);
  EXPECT_TRUE(FramesRaising(sb::kSndGruntborn).empty());
  EXPECT_TRUE(FramesRaising(sb::kSndBrainborn).empty());
}

TEST_F(Transitions, BrainsFlickerByADrawPerFrameUntilTheyStartToMove) {
  sb::kxbrain* b = sbt::At(g.kxbrain_list, 400, 300);
  b->cruisedelay = 1000;
  b->animdir = 1;
  P->SeedRandom(13);

  sb::WaveIntro(g, false);

  // One flicker draw for frames 31..49, one turn test per update 50..61.
  EXPECT_EQ(Draws(), 19u + 12u);
}

TEST_F(Transitions, TheResumeIntroPresents22FramesAndMovesNothing) {
  sb::kxgrunt* gr = sbt::At(g.kxgrunt_list, 100, 100);
  gr->xv = 2;
  sb::kxhuman* h = sbt::At(g.kxhuman_list, 200, 200);
  h->xv = 1;

  sb::WaveIntro(g, true);

  EXPECT_EQ(raised.size(), 22u);
  EXPECT_EQ(gr->sx, 100.0f);
  EXPECT_EQ(h->sx, 200.0f);
  EXPECT_EQ(Draws(), 0u);
  EXPECT_EQ(P->Millis(), 22u * 25u);
}

// --- death ---

TEST_F(Transitions, DeathPlaysItsSoundAloneThenRuns100FramesWithFragmentsFlying) {
  sb::Raise(g, sb::kSndShotborn);  // dropped: the death sound starts alone
  sb::Raise(g, sb::kSndGrunthit);
  sb::CreateBits(g, 200, 200, 0, 2);  // a grunt shot just before
  sb::kxbit* first = g.kxbit_list.First();
  const float start_x = first->sx;
  float x_at_first_frame = 0;
  sb::kxgrunt* gr = sbt::At(g.kxgrunt_list, 300, 300);
  gr->xv = 2;
  int frames = 0;
  hb.on_present = [&](int, const uint32_t*) {
    if (++frames == 1) x_at_first_frame = first->sx;
  };

  sb::PlayerDeath(g);

  EXPECT_EQ(frames, 100);
  auto played = TakeVoices();
  for (int i = 0; i < sb::kSndCount; ++i) {
    EXPECT_EQ(played[static_cast<size_t>(i)], i == sb::kSndPlayerhit ? 1 : 0) << sb::kSoundNames[i];
  }
  EXPECT_EQ(x_at_first_frame, start_x + -2.0f * 1.6f);
  EXPECT_EQ(Count(g.kxbit_list), 0);  // burnt out within the sequence
  EXPECT_EQ(gr->sx, 300.0f);
  EXPECT_EQ(P->Millis(), 100u * 10u);
}

// --- outro ---

TEST_F(Transitions, TheOutroClosesAndOpens30RingsInStepWithTheRefresh) {
  g.wave->borderstyle = 1;  // a border that does not cycle the colour itself
  std::vector<uint32_t> ring0_top, ring29_top;
  hb.on_present = [&](int, const uint32_t* px) {
    syncs.push_back(hb.LastSync());
    ring0_top.push_back(px[2 * 640 + 320]);
    ring29_top.push_back(px[234 * 640 + 320]);
  };
  // The cycling colour alone, stepped by hand from the same random state.
  P->SeedRandom(21);
  sbt::World other(sbt::kBare);
  other.P->SeedRandom(21);
  sb::Game& ref = other.g;
  sb::CycleColour(ref);
  sb::CycleColour(ref);
  const uint32_t ring0 = static_cast<uint32_t>(ref.cycr << 16 | ref.cycg << 8 | ref.cycb);
  for (int i = 2; i < 62; ++i) sb::CycleColour(ref);

  sb::WaveOutro(g);

  ASSERT_EQ(syncs.size(), 60u);
  for (int s : syncs) EXPECT_EQ(s, 1);
  EXPECT_EQ(g.cycr, ref.cycr);
  EXPECT_EQ(g.cycg, ref.cycg);
  EXPECT_EQ(g.cycb, ref.cycb);
  EXPECT_EQ(ring0_top.front(), ring0);
  EXPECT_EQ(ring0_top.back(), ring0);
  EXPECT_NE(ring29_top[29], 0u);  // fully closed: the innermost ring is drawn,
  EXPECT_NE(ring29_top[30], 0u);  // stays for the first opening step
  EXPECT_EQ(ring29_top[31], 0u);  // and is the first to go
  EXPECT_EQ(ring29_top.back(), 0u);
  EXPECT_EQ(P->Millis(), 60u * 10u);
}

}  // namespace
