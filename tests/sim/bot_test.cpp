// The autopilot's choices on hand-made situations.
#include "bot.h"

#include <gtest/gtest.h>

#include "support/world.h"

namespace {

// A game in play, the player at the centre.
struct World : sbt::World {
  sim::Bot bot;
  World() { g.gamestate = sb::Screen::kPlay; }
};

constexpr int kJ = 74, kL = 76, kI = 73, kK = 75, kS = 83, kF = 70, kE = 69, kY = 89, kN = 78;

TEST(Bot, GivenAGruntToTheRightThenItFiresRightAndStepsLeft) {
  World w;
  sbt::At(w.g.kxgrunt_list, 380, 242);
  w.bot.Decide(w.g, 1);
  EXPECT_EQ(w.bot.firex, 1);
  EXPECT_EQ(w.bot.firey, 0);
  EXPECT_EQ(w.bot.movex, -1);
  EXPECT_TRUE(w.bot.Held(kF));
  EXPECT_FALSE(w.bot.Held(kS));
  EXPECT_TRUE(w.bot.Held(kJ));
  EXPECT_FALSE(w.bot.Held(kL));
}

TEST(Bot, GivenASparkCloserThanAGruntThenItFleesTheSparkButShootsTheGrunt) {
  World w;
  sbt::At(w.g.kxgrunt_list, 200, 240);
  sbt::At(w.g.kxplus_list, 320, 300);  // a spark cannot be shot
  w.bot.Decide(w.g, 1);
  EXPECT_EQ(w.bot.firex, -1);
  EXPECT_EQ(w.bot.firey, 0);
  EXPECT_EQ(w.bot.movey, -1);  // away from the spark below
}

TEST(Bot, GivenNoThreatThenItWalksToTheNearestHuman) {
  World w;
  sbt::At(w.g.kxhuman_list, 600, 400);
  sbt::At(w.g.kxhuman_list, 320, 100);  // the nearer
  w.bot.Decide(w.g, 1);
  EXPECT_EQ(w.bot.movex, 0);
  EXPECT_EQ(w.bot.movey, -1);
  EXPECT_TRUE(w.bot.Held(kI));
  EXPECT_FALSE(w.bot.Held(kK));
  EXPECT_EQ(w.bot.firex, 0);  // nothing to shoot
  EXPECT_EQ(w.bot.firey, 0);
}

TEST(Bot, GivenAnEmptyFieldInACornerThenItHeadsBackToTheMiddle) {
  World w;
  w.g.plyr->sx = 100;
  w.g.plyr->sy = 100;
  w.bot.Decide(w.g, 1);
  EXPECT_EQ(w.bot.movex, 1);
  EXPECT_EQ(w.bot.movey, 1);
  w.g.plyr->sx = 320;
  w.g.plyr->sy = 240;
  w.bot.Decide(w.g, 2);
  EXPECT_EQ(w.bot.movex, 0);  // already there: stands
  EXPECT_EQ(w.bot.movey, 0);
}

TEST(Bot, GivenMenuScreensThenItHoldsFireAndNothingElse) {
  World w;
  for (int state : {0, 1, 3, 5}) {
    w.g.gamestate = sb::Screen(state);
    w.bot.Decide(w.g, 1);
    for (int code : sim::Bot::kKeys)
      EXPECT_EQ(w.bot.Held(code), code == kS) << state << " " << code;
  }
}

TEST(Bot, GivenNameEntryThenItPressesYOnAlternateFrames) {
  World w;
  w.g.gamestate = sb::Screen::kNameEntry;
  w.bot.Decide(w.g, 10);
  EXPECT_TRUE(w.bot.Held(kY));
  w.bot.Decide(w.g, 11);
  EXPECT_FALSE(w.bot.Held(kY));
  EXPECT_FALSE(w.bot.Held(kS));
}

TEST(Bot, GivenAWaitingPromptThenItAnswersNoNeverEscape) {
  World w;
  w.bot.AnswerWait();
  EXPECT_TRUE(w.bot.Held(kN));
  EXPECT_FALSE(w.bot.Held(kY));
  w.bot.AnswerWait();  // released, so the next wait presses again
  EXPECT_FALSE(w.bot.Held(kN));
  w.bot.AnswerWait();
  EXPECT_TRUE(w.bot.Held(kN));
  EXPECT_FALSE(w.bot.Held(27));
  for (int code : sim::Bot::kKeys) EXPECT_NE(code, 27);
}

}  // namespace
