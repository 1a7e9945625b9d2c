// The key table, the legacy key numbers and the fire test.
#include "core/keys.h"

#include <gtest/gtest.h>

#include "core/replay.h"
#include "support/world.h"

using namespace sbt;

namespace {

TEST(KeyTable, EveryRangeOfTheTableLandsOnItsKeyCode) {
  World w(kBare);
  sb::FillKeyTable(w.g);
  const auto& t = w.g.keytable;
  // First and last of every run and every lone entry's neighbours.
  const std::pair<int, int> expect[] = {
      {1, 27},   {2, 49},    {10, 57},   {11, 48},  {12, 189}, {13, 187}, {14, 8},   {15, 9},
      {16, 81},  {18, 69},   {21, 89},   {23, 73},  {25, 80},  {26, 219}, {27, 221}, {28, 13},
      {29, 162}, {30, 65},   {31, 83},   {32, 68},  {33, 70},  {36, 74},  {37, 75},  {38, 76},
      {39, 186}, {40, 222},  {41, 192},  {42, 160}, {43, 226}, {44, 90},  {50, 77},  {51, 188},
      {52, 190}, {53, 191},  {54, 161},  {55, 106}, {57, 32},  {59, 112}, {68, 121}, {71, 103},
      {74, 109}, {78, 107},  {79, 97},   {82, 96},  {83, 110}, {85, 122}, {86, 123}, {141, 187},
      {156, 13}, {157, 163}, {181, 111}, {183, 44}, {199, 36}, {200, 38}, {201, 33}, {203, 37},
      {205, 39}, {207, 35},  {208, 40},  {209, 34}, {210, 45}, {211, 46}};
  for (auto [n, code] : expect) EXPECT_EQ(t[n], code) << "key number " << n;
  for (int hole : {0, 56, 58, 69, 70, 84, 87, 140, 142, 182, 198, 202, 204, 206, 212, 237})
    EXPECT_EQ(t[hole], 0) << "key number " << hole;
  int filled = 0;
  for (int v : t) filled += v != 0;
  EXPECT_EQ(filled, 96);
}

TEST(KeyTable, LegacyNumbersReadTheTranslatedKey) {
  World w(kBare);
  sb::FillKeyTable(w.g);
  w.In().SetKey(32, true);  // Space
  EXPECT_EQ(sb::LegacyKeyDown(w.g, 57), 1);
  EXPECT_EQ(sb::LegacyKeyDown(w.g, 56), 0);
  // Numbers without an entry query key code 0 (and out-of-range ones too).
  w.In().SetKey(0, true);
  EXPECT_EQ(sb::LegacyKeyDown(w.g, 56), 1);
  EXPECT_EQ(sb::LegacyKeyDown(w.g, 212), 1);
  EXPECT_EQ(sb::LegacyKeyDown(w.g, 238), 1);
  EXPECT_EQ(sb::LegacyKeyDown(w.g, -1), 1);
  Tap(w.In(), 27);
  Tap(w.In(), 27);
  EXPECT_EQ(sb::LegacyKeyHit(w.g, 1), 2);
  EXPECT_EQ(sb::LegacyKeyHit(w.g, 1), 0);
}

TEST(FirePressed, AnyOfTheNineInputsFiresAndAllAreReadEveryCall) {
  World w(kBare);
  sb::FillKeyTable(w.g);
  // Events are read as often whatever is held, so a replay's input stays in step.
  int pumps = 0;
  w.hb.on_pump = [&](sb::InputState&) { ++pumps; };
  EXPECT_EQ(sb::FirePressed(w.g), 0);
  const int idle = pumps;
  auto fires = [&](auto set, int n) {
    set(n, true);
    pumps = 0;
    EXPECT_EQ(sb::FirePressed(w.g), 1) << "input " << n;
    EXPECT_EQ(pumps, idle) << "input " << n;
    set(n, false);
  };
  for (int code : {83, 70, 69, 68, 32}) fires([&](int c, bool d) { w.In().SetKey(c, d); }, code);
  for (int b : {1, 2, 3, 4}) fires([&](int c, bool d) { w.In().SetJoyButton(c, d); }, b);
  // Movement keys are not fire.
  for (int code : {37, 38, 39, 40, 73, 74, 75, 76}) w.In().SetKey(code, true);
  EXPECT_EQ(sb::FirePressed(w.g), 0);
}

// Replays name every key; each name must read back as the same key (the
// digit keys and the codes below 10 once shared the names 0-9).
TEST(ReplayKeyNames, EveryCodeReadsBackFromItsName) {
  for (int c = 1; c < 256; ++c) EXPECT_EQ(sb::ReplayKeyCode(sb::ReplayKeyName(c)), c) << c;
  EXPECT_EQ(sb::ReplayKeyCode("9"), 57);
  EXPECT_EQ(sb::ReplayKeyCode("09"), 9);
  EXPECT_EQ(sb::ReplayKeyCode("79"), 79);
  for (const char* bad : {"00", "256", "-5", "shift", "A"})
    EXPECT_EQ(sb::ReplayKeyCode(bad), 0) << bad;
}

}  // namespace
