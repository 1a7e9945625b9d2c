// Player control modes, movement inside the walls, the fire cadence and shots.
#include "play/player.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "support/world.h"

namespace {

using sbt::World;

// The step and the fire direction read from the controls, compared as pairs.
using XY = std::pair<int, int>;
XY Move(const World& w) {
  return {w.g.movex, w.g.movey};
}
XY Fire(const World& w) {
  return {w.g.firex, w.g.firey};
}

// Holds (or releases) every key in `keys`.
void SetKeys(World& w, std::initializer_list<int> keys, bool down = true) {
  for (int k : keys) w.In().SetKey(k, down);
}

// --- reading the controls ---

TEST(Controls, CursorKeysWithBothKeysOfAnAxisHeldMoveRightAndDown) {
  World w;
  w.g.controls = 0;
  SetKeys(w, {sbt::kVkLeft, sbt::kVkRight, sbt::kVkUp, sbt::kVkDown});
  sb::ReadControls(w.g);
  EXPECT_EQ(Move(w), XY(4, 4));
}

TEST(Controls, ModeZeroKeepsTheFireDirectionUntilSpaceIsHeldWhileMoving) {
  World w;
  w.g.controls = 0;
  // Space alone, standing: the direction is not changed.
  w.In().SetKey(sbt::kVkSpace, true);
  sb::ReadControls(w.g);
  EXPECT_EQ(Fire(w), XY(0, 0));
  // Space while moving up-left sets it (as a unit direction, not the step).
  SetKeys(w, {sbt::kVkLeft, sbt::kVkUp});
  sb::ReadControls(w.g);
  EXPECT_EQ(Fire(w), XY(-1, -1));
  EXPECT_EQ(Move(w), XY(-4, -4));
  // Released: moving elsewhere keeps firing up-left, also past a lost life.
  SetKeys(w, {sbt::kVkSpace, sbt::kVkLeft, sbt::kVkUp}, false);
  w.In().SetKey(sbt::kVkDown, true);
  sb::ResetPlayer(w.g);
  sb::ReadControls(w.g);
  EXPECT_EQ(Fire(w), XY(-1, -1));
  EXPECT_EQ(w.g.movey, 4);
}

TEST(Controls, ModeTwoFiresOnlyWhileSpaceIsHeldAndOnlyWhenMoving) {
  World w;
  w.g.controls = 2;
  w.g.firex = 1;  // left over from a mode-0 game
  w.In().SetKey(sbt::kVkSpace, true);
  sb::ReadControls(w.g);
  EXPECT_EQ(Fire(w), XY(0, 0));
  w.In().SetKey(sbt::kVkRight, true);
  sb::ReadControls(w.g);
  EXPECT_EQ(w.g.firex, 1);
  w.In().SetKey(sbt::kVkSpace, false);
  sb::ReadControls(w.g);
  EXPECT_EQ(w.g.firex, 0);
  EXPECT_EQ(w.g.movex, 4);
}

TEST(Controls, ModesFourAndFiveSwapTheLetterGroups) {
  World w;
  // J (74) is a movement key in mode 4 and a fire key in mode 5; S (83) the reverse.
  SetKeys(w, {74, 83, 75});  // 75 is K: down in the IJKL group
  w.g.controls = 4;
  sb::ReadControls(w.g);
  EXPECT_EQ(Move(w), XY(-4, 4));
  EXPECT_EQ(Fire(w), XY(-1, 0));
  w.g.controls = 5;
  sb::ReadControls(w.g);
  EXPECT_EQ(Move(w), XY(-4, 0));
  EXPECT_EQ(Fire(w), XY(-1, 1));
}

TEST(Controls, ButtonOrderLetsButtonTwoBeatFourAndButtonOneBeatThree) {
  World w;
  for (int b = 1; b <= 4; ++b) w.In().SetJoyButton(b, true);
  w.In().SetJoyAxes(1, -1);
  w.g.controls = 6;  // stick moves, buttons fire
  sb::ReadControls(w.g);
  EXPECT_EQ(Move(w), XY(4, -4));
  EXPECT_EQ(Fire(w), XY(-1, 1));
  w.g.controls = 7;  // stick fires, buttons move
  sb::ReadControls(w.g);
  EXPECT_EQ(Fire(w), XY(1, -1));
  EXPECT_EQ(Move(w), XY(-4, 4));
}

TEST(Controls, ModeOneSetsTheFireDirectionFromTheStickWhileButtonOneIsHeld) {
  World w;
  w.g.controls = 1;
  w.In().SetJoyAxes(0, 1);
  w.In().SetJoyButton(1, true);
  sb::ReadControls(w.g);
  EXPECT_EQ(w.g.firey, 1);
  w.In().SetJoyButton(1, false);
  w.In().SetJoyAxes(-1, 0);
  sb::ReadControls(w.g);
  EXPECT_EQ(Fire(w), XY(0, 1));
  EXPECT_EQ(w.g.movex, -4);
  // Mode 3 clears it every frame.
  w.g.controls = 3;
  sb::ReadControls(w.g);
  EXPECT_EQ(w.g.firey, 0);
}

// --- moving inside the walls ---

TEST(MovePlayer, StepsOfFourStopInsideTheWallsOnEachAxis) {
  World w;
  w.g.firex = 0;
  auto run = [&](int mx, int my) {
    w.PlacePlayer(320, 240);
    for (int i = 0; i < 200; ++i) {
      w.g.movex = mx;
      w.g.movey = my;
      sb::MovePlayer(w.g);
    }
  };
  run(4, 0);
  EXPECT_EQ(w.g.plyr->sx, 604);
  run(-4, 0);
  EXPECT_EQ(w.g.plyr->sx, 24);
  run(0, -4);
  EXPECT_EQ(w.g.plyr->sy, 24);
  run(0, 4);
  EXPECT_EQ(w.g.plyr->sy, 432);
}

TEST(MovePlayer, PushingDiagonallyIntoAWallSlidesAlongIt) {
  World w;
  w.PlacePlayer(604, 240);
  w.g.movex = 4;
  w.g.movey = -4;
  sb::MovePlayer(w.g);
  EXPECT_EQ(w.g.plyr->sx, 604);
  EXPECT_EQ(w.g.plyr->sy, 236);
}

TEST(MovePlayer, WalkingStepsRunOneTwoOneZeroAndTheColourSetCycles) {
  World w;
  w.g.plyr->animcounter = 1;
  w.g.plyr->animdir = 1;
  w.g.plyr->colcycle = 0;
  const int steps[] = {2, 1, 0, 1, 2, 1};
  const int colours[] = {0, 12, 24, 36, 48, 60, 0};
  for (int i = 0; i < 6; ++i) {
    w.g.movex = 4;  // facing right (3)
    w.g.movey = 0;
    sb::MovePlayer(w.g);
    EXPECT_EQ(w.g.plyr->animcounter, steps[i]);
    EXPECT_EQ(w.g.plyr->animframe, 9 + steps[i] + colours[i]) << i;
    EXPECT_EQ(w.g.plyr->colcycle, colours[i + 1]);
  }
}

TEST(MovePlayer, AStepRefusedByAWallStillAnimates) {
  World w;
  w.g.plyr->sx = 24;
  w.g.plyr->animcounter = 1;
  w.g.plyr->animdir = 1;
  w.g.movex = -4;
  sb::MovePlayer(w.g);
  EXPECT_EQ(w.g.plyr->sx, 24);
  EXPECT_EQ(w.g.plyr->animcounter, 2);
  EXPECT_EQ(w.g.plyr->animframe % 12, 3 * 2 + 2);  // facing left
}

TEST(MovePlayer, StandingFacesTheFireDirectionHorizontalFirst) {
  World w;
  struct Case {
    int fx, fy, facing;
  } cases[] = {{0, 0, 0}, {0, 1, 0}, {0, -1, 1}, {-1, -1, 2}, {1, 1, 3}};
  for (const Case& c : cases) {
    w.g.plyr->colcycle = 24;
    w.g.movex = w.g.movey = 0;
    w.g.firex = c.fx;
    w.g.firey = c.fy;
    w.g.firedelay = 3;  // no shot
    sb::MovePlayer(w.g);
    EXPECT_EQ(w.g.plyr->animframe, 3 * c.facing + 1 + 24) << c.fx << "," << c.fy;
  }
}

// --- the fire cadence ---

TEST(FireCadence, HoldingAFireDirectionShootsEveryFourthFrame) {
  World w;
  w.g.firex = 1;
  std::vector<int> shot_frames;
  for (int f = 1; f <= 12; ++f) {
    const int before = w.g.numshots;
    sb::MovePlayer(w.g);
    if (w.g.numshots > before) shot_frames.push_back(f);
  }
  EXPECT_EQ(shot_frames, (std::vector<int>{1, 5, 9}));
  EXPECT_EQ(w.g.kxshot_list.Count(), 3u);
}

TEST(FireCadence, TheCountdownRunsWithoutAFireDirectionSoAShotFollowsWithinThreeFrames) {
  World w;
  sb::MovePlayer(w.g);  // attempt without a direction re-arms the delay
  EXPECT_EQ(w.g.firedelay, 4);
  EXPECT_EQ(w.g.numshots, 0);
  sb::MovePlayer(w.g);
  w.g.firex = -1;
  sb::MovePlayer(w.g);
  sb::MovePlayer(w.g);
  EXPECT_EQ(w.g.numshots, 0);
  sb::MovePlayer(w.g);
  EXPECT_EQ(w.g.numshots, 1);
}

TEST(FireCadence, ThirtyLiveShotsBlockFiringUntilOneIsGone) {
  World w;
  w.g.firey = -1;
  w.g.numshots = 30;
  for (int i = 0; i < 6; ++i) sb::MovePlayer(w.g);
  EXPECT_EQ(w.g.kxshot_list.Count(), 0u);
  EXPECT_EQ(w.g.firedelay, 0);
  w.g.numshots = 29;
  sb::MovePlayer(w.g);
  EXPECT_EQ(w.g.numshots, 30);
  EXPECT_EQ(w.g.kxshot_list.Count(), 1u);
}

TEST(Shots, FrameVelocityAndPositionFollowTheFireDirection) {
  World w;
  const int expect[3][3] = {{0, 1, 2}, {3, -1, 5}, {6, 7, 8}};
  for (int fy = -1; fy <= 1; ++fy) {
    for (int fx = -1; fx <= 1; ++fx) {
      w.g.kxshot_list.Clear();
      w.g.req[sb::kSndShotborn] = 0;
      w.g.firex = fx;
      w.g.firey = fy;
      sb::CreateShot(w.g);
      if (fx == 0 && fy == 0) {
        EXPECT_TRUE(w.g.kxshot_list.Empty());
        EXPECT_EQ(w.g.req[sb::kSndShotborn], 0);
        continue;
      }
      sb::kxshot* s = w.g.kxshot_list.First();
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s->frame, expect[fy + 1][fx + 1]);
      EXPECT_EQ(s->xv, 18 * fx);
      EXPECT_EQ(s->yv, 18 * fy);
      EXPECT_EQ(s->sx, 320);
      EXPECT_EQ(s->sy, 240);
      EXPECT_EQ(w.g.req[sb::kSndShotborn], 1);
    }
  }
}

TEST(Shots, AShotFiredLeftFromTheWallIsGoneAfterTwoMoves) {
  World w;
  w.g.plyr->sx = 24;
  w.g.firex = -1;
  sb::CreateShot(w.g);
  sb::MoveShots(w.g);
  ASSERT_EQ(w.g.kxshot_list.Count(), 1u);
  EXPECT_EQ(w.g.kxshot_list.First()->sx, 6);
  sb::MoveShots(w.g);
  EXPECT_TRUE(w.g.kxshot_list.Empty());
  EXPECT_EQ(w.g.numshots, 0);
}

TEST(Shots, ShotsLiveUpToTheDisplayEdgeInclusive) {
  World w;
  // Right: 622 -> 640 stays, -> 658 goes. Down: 462 -> 480 stays, -> 498 goes.
  w.PlacePlayer(622, 462);
  w.g.firex = 1;
  w.g.firey = 0;
  sb::CreateShot(w.g);
  w.g.firex = 0;
  w.g.firey = 1;
  sb::CreateShot(w.g);
  sb::MoveShots(w.g);
  EXPECT_EQ(w.g.kxshot_list.Count(), 2u);
  sb::MoveShots(w.g);
  EXPECT_TRUE(w.g.kxshot_list.Empty());
  EXPECT_EQ(w.g.numshots, 0);
}

}  // namespace
