// Start-up, the key table, the asset failure log and the screen loop, run
// through the headless platform.
#include <gtest/gtest.h>

#include <vector>

#include "app/assets.h"
#include "core/keys.h"
#include "scores/hiscores.h"
#include "shell/test_world.h"

using namespace sbtest;

namespace {

constexpr const char* kFail = "Failed to load file: ";
constexpr const char* kCheck = "Check Directory Structure.";

// --- key table ---

TEST(KeyTable, EveryRangeOfTheTableLandsOnItsKeyCode) {
  World w;
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
  World w;
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
  World w;
  sb::FillKeyTable(w.g);
  int pumps = 0;
  w.hb.on_pump = [&](sb::InputState&) { ++pumps; };
  EXPECT_EQ(sb::FirePressed(w.g), 0);
  EXPECT_EQ(pumps, 9);
  for (int code : {83, 70, 69, 68, 32}) {
    w.In().SetKey(code, true);
    pumps = 0;
    EXPECT_EQ(sb::FirePressed(w.g), 1) << "key " << code;
    EXPECT_EQ(pumps, 9);
    w.In().SetKey(code, false);
  }
  for (int b : {1, 2, 3, 4}) {
    w.In().SetJoyButton(b, true);
    EXPECT_EQ(sb::FirePressed(w.g), 1) << "button " << b;
    w.In().SetJoyButton(b, false);
  }
  // Movement keys are not fire.
  for (int code : {37, 38, 39, 40, 73, 74, 75, 76}) w.In().SetKey(code, true);
  EXPECT_EQ(sb::FirePressed(w.g), 0);
}

// --- asset catalogue and failure log ---

struct FailCase {
  std::set<std::string> missing;
  std::string line;
};

TEST(AssetLog, MissingImagesAreNamedInCatalogueOrderAndEndStartUp) {
  const std::string F = kFail;
  const std::vector<FailCase> cases = {
      {{"hulks.bmp", "shots.bmp"}, F + "hulk.bmp" + F + "shots.bmp"},
      {{"shots.bmp", "hulks.bmp"}, F + "hulk.bmp" + F + "shots.bmp"},
      {{"player.bmp"}, F + "player.bmp"},
      {{"bits.bmp"}, F + "bits.bmp" + F + "bits.bmp"},
      {{"zantrel.bmp", "player.bmp", "arrow.bmp"},
       F + "player.bmp" + F + "arrow.bmp" + F + "zantrel.bmp"},
  };
  for (const FailCase& c : cases) {
    World w;
    std::vector<int> delays;
    w.hb.on_delay = [&](int ms) { delays.push_back(ms); };
    WriteTestAssets(c.missing);
    EXPECT_EQ(sb::Main(w.g, &w.seed), 1);
    EXPECT_EQ(ReadBytes("errors.log"), c.line + kCheck + "\r\n");
    EXPECT_EQ(delays, std::vector<int>{2000});
    EXPECT_EQ(w.hb.Frames(), 2) << "only the new display's own presents";
    EXPECT_FALSE(fs::exists("scores/hiscores.dat")) << "scores neither loaded nor saved";
  }
}

TEST(AssetLog, TooFewCellsCountAsAFailedImage) {
  World w;
  WriteTestAssets();
  // 79 cells of the 80 the font needs.
  std::vector<uint32_t> px(6 * 79 * 7, 0xFFFFFF);
  ASSERT_TRUE(sb::WriteBmp("images/kelfont.bmp", px.data(), 6 * 79, 7));
  EXPECT_EQ(sb::LoadAssets(w.g), std::string(kFail) + "kelfont.bmp");
}

TEST(AssetLog, EverythingPresentWritesNoLogAndFillsEveryHandle) {
  World w;
  ASSERT_TRUE(w.Start());
  EXPECT_FALSE(fs::exists("errors.log"));
  const sb::Images& im = w.g.img;
  for (int h : {im.imgplayer, im.imghulks, im.imgbits, im.imgbitsv, im.imgfont, im.imgarrow,
                im.imglogo, im.imgtitle, im.imgwave})
    EXPECT_NE(h, 0);
  EXPECT_NE(im.imgbits, im.imgbitsv);
  // No sound files at all: start-up does not mind.
  for (int s : w.g.snd) EXPECT_EQ(s, 0);
}

TEST(AssetLog, AnUncreatableLogGoesToStandardError) {
  World w;
  WriteTestAssets({"death.bmp"});
  fs::create_directory("errors.log");  // a folder in the way
  testing::internal::CaptureStderr();
  EXPECT_EQ(sb::Main(w.g, &w.seed), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(std::string(kFail) + "death.bmp" + kCheck), std::string::npos) << err;
}

// --- start-up ---

TEST(StartUp, LeavesTheWorldReadyForTheFirstScreen) {
  World w;
  ASSERT_TRUE(w.Start());
  sb::Game& g = w.g;
  EXPECT_EQ(g.speedmul, 2);
  float sx = 0, sy = 0;
  w.P->GetScale(sx, sy);
  EXPECT_EQ(sx, 2.0f);
  EXPECT_EQ(sy, 2.0f);
  EXPECT_FALSE(w.P->FullScreen());
  EXPECT_EQ(g.keytable[57], 32);
  EXPECT_EQ(g.onoff[1], "On");
  EXPECT_EQ(g.dirx[2], 1.0f);
  EXPECT_EQ(g.bitspeeds[11], 2.0f);
  EXPECT_EQ(g.hiscores[0], 50000);  // no file: the default table
  EXPECT_EQ(g.lowscore, 5000);
  ASSERT_NE(g.plyr, nullptr);
  EXPECT_EQ(g.kxplyr_list.Count(), 1u);
  EXPECT_EQ(g.gamestate, sb::Screen::kTitle);
  sb::Random r;
  r.Seed(static_cast<int32_t>(w.seed));
  EXPECT_EQ(w.P->Rng().State(), r.State());
}

class NoWindow : public sb::HeadlessBackend {
 public:
  bool OpenWindow(bool) override { return false; }
};

TEST(StartUp, NoDisplayEndsWithOneLineAndStatusOne) {
  TempDir dir;
  sb::Platform P(std::make_unique<NoWindow>());
  sb::Game g(P);
  WriteTestAssets();
  testing::internal::CaptureStderr();
  EXPECT_EQ(sb::Main(g), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("swarmbreak: no display available", 0), 0u) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

// --- the screen loop ---

// Screen state of each presented frame.
struct Trace {
  std::vector<int> states;
  // Lengths of the runs of equal states, with their state.
  std::vector<std::pair<int, int>> Runs() const {
    std::vector<std::pair<int, int>> runs;
    for (int s : states) {
      if (runs.empty() || runs.back().first != s)
        runs.push_back({s, 1});
      else
        ++runs.back().second;
    }
    return runs;
  }
};

TEST(ScreenLoop, LeftAloneCyclesTitleAttractTableEach1001Frames) {
  World w;
  ASSERT_TRUE(w.Start());
  Trace t;
  std::vector<int> delays;
  w.OnFrame([&](int n, const uint32_t*) {
    t.states.push_back(static_cast<int>(w.g.gamestate));
    if (n == 3003 + 5) Tap(w.In(), 27);  // Escape on the second title visit
  });
  w.hb.on_delay = [&](int ms) { delays.push_back(ms); };
  sb::RunScreenLoop(w.g);
  sb::ShutDown(w.g);
  const std::vector<std::pair<int, int>> expect = {{0, 1001}, {1, 1001}, {5, 1001}, {0, 6}};
  EXPECT_EQ(t.Runs(), expect);
  // Between screens 100 ms; after Escape the last frame's 10 ms, 100 ms, then 200 ms.
  ASSERT_GE(delays.size(), 3u);
  EXPECT_EQ(std::vector<int>(delays.end() - 3, delays.end()), (std::vector<int>{10, 100, 200}));
  EXPECT_EQ(std::count(delays.begin(), delays.end(), 100), 4);
  EXPECT_FALSE(w.hb.WindowOpen());
  // The default table was saved on the way out.
  EXPECT_EQ(ReadBytes("scores/hiscores.dat").substr(0, 13), "50000\r\n10\r\nMA");
}

TEST(ScreenLoop, QuitFromAScreenStillFinishesTheLoopStep) {
  World w;
  ASSERT_TRUE(w.Start());
  w.g.gamestate = sb::Screen::kAttract;
  w.OnFrame([&](int n, const uint32_t*) {
    if (n == 3) w.In().RequestClose();
  });
  sb::RunScreenLoop(w.g);
  EXPECT_EQ(w.g.quitgame, 1);
  EXPECT_EQ(w.g.gamestate, sb::Screen::kScores);  // attract page's time-out change still applied
  EXPECT_EQ(w.Shown(), 4);
}

TEST(ScreenLoop, UnknownStatesOnlyPauseAndKeysAreClearedAfterEveryScreen) {
  World w;
  ASSERT_TRUE(w.Start());
  std::vector<int> delays;
  w.hb.on_delay = [&](int ms) { delays.push_back(ms); };
  w.g.gamestate = sb::Screen(7);
  w.In().SetKey(65, true);
  sb::ScreenLoopStep(w.g);
  EXPECT_EQ(w.g.gamestate, sb::Screen(7));
  EXPECT_EQ(w.Shown(), 0);
  EXPECT_EQ(delays, std::vector<int>{100});
  EXPECT_EQ(w.P->KeyDown(65), 0);
  EXPECT_EQ(w.P->KeyPresses(65), 0);
}

TEST(ScreenLoop, AGameEntersTheTableOnlyAboveTheTenthScore) {
  for (int margin : {0, 1}) {
    World w;
    ASSERT_TRUE(w.Start());
    // Quit the game at once through its prompt; the tenth score follows the
    // player's score, equal to it or one below.
    int presents = 0;
    w.hb.on_pump = [&](sb::InputState& in) {
      if (w.hb.LastSync() == -1)
        in.SetKey(89, true);
      else if (presents == 5)
        in.SetKey(27, true);
    };
    w.hb.on_present = [&](int, const uint32_t*) {
      if (++presents > 5000) throw sb::StopRun{1};
      w.g.lowscore = w.g.plyr->score - margin;
    };
    w.g.gamestate = sb::Screen::kPlay;
    sb::ScreenLoopStep(w.g);
    EXPECT_EQ(w.g.gamestate, margin ? sb::Screen::kNameEntry : sb::Screen::kScores);
  }
}

TEST(ScreenLoop, AStopThrownInsideAScreenLeavesMain) {
  World w;
  WriteTestAssets();
  w.OnFrame([&](int n, const uint32_t*) {
    if (n == 2 + 50) throw sb::StopRun{7};
  });
  try {
    sb::Main(w.g, &w.seed);
    FAIL() << "Main swallowed the stop";
  } catch (const sb::StopRun& s) {
    EXPECT_EQ(s.status, 7);
  }
}

}  // namespace
