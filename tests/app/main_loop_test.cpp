// Start-up, the asset failure log and the screen loop, run through the
// headless platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/assets.h"
#include "scores/hiscores.h"
#include "support/world.h"

using namespace sbt;

namespace {

constexpr const char* kFail = "Failed to load file: ";
constexpr const char* kCheck = "Check Directory Structure.";

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
    World w(kBare);
    int shown = 0;  // pictures with anything on them
    w.hb.on_present = [&](int, const uint32_t* px) {
      shown += std::any_of(px, px + 640 * 480, [](uint32_t c) { return c != 0; });
    };
    WriteTestAssets(c.missing);
    EXPECT_EQ(sb::Main(w.g, &w.seed), 1);
    EXPECT_EQ(ReadBytes("errors.log"), c.line + kCheck + "\r\n");
    EXPECT_EQ(w.P->Millis(), 2000u) << "the failure is left two seconds before the end";
    EXPECT_EQ(shown, 0) << "no screen shown";
    EXPECT_FALSE(fs::exists("scores/hiscores.dat")) << "scores neither loaded nor saved";
  }
}

TEST(AssetLog, TooFewCellsCountAsAFailedImage) {
  World w(kBare);
  WriteTestAssets();
  // 79 cells of the 80 the font needs.
  std::vector<uint32_t> px(6 * 79 * 7, 0xFFFFFF);
  ASSERT_TRUE(sb::WriteBmp("images/kelfont.bmp", px.data(), 6 * 79, 7));
  EXPECT_EQ(sb::LoadAssets(w.g), std::string(kFail) + "kelfont.bmp");
}

TEST(AssetLog, EverythingPresentWritesNoLogAndFillsEveryHandle) {
  World w(kBare);
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
  World w(kBare);
  WriteTestAssets({"death.bmp"});
  fs::create_directory("errors.log");  // a folder in the way
  testing::internal::CaptureStderr();
  EXPECT_EQ(sb::Main(w.g, &w.seed), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(std::string(kFail) + "death.bmp" + kCheck), std::string::npos) << err;
}

// --- start-up ---

TEST(StartUp, LeavesTheWorldReadyForTheFirstScreen) {
  World w(kBare);
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
  World w(kBare, std::make_unique<NoWindow>());
  WriteTestAssets();
  testing::internal::CaptureStderr();
  EXPECT_EQ(sb::Main(w.g), 1);
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
  World w(kBare);
  ASSERT_TRUE(w.Start());
  Trace t;
  std::vector<uint32_t> at;  // the clock at each frame
  w.OnFrame([&](int n, const uint32_t*) {
    t.states.push_back(static_cast<int>(w.g.gamestate));
    at.push_back(w.P->Millis());
    if (n == 3003 + 5) Tap(w.In(), 27);  // Escape on the second title visit
  });
  sb::RunScreenLoop(w.g);
  sb::ShutDown(w.g);
  const std::vector<std::pair<int, int>> expect = {{0, 1001}, {1, 1001}, {5, 1001}, {0, 6}};
  EXPECT_EQ(t.Runs(), expect);
  // Frames 10 ms apart, screens 100 ms more; after Escape the last frame's
  // 10 ms, the pause after a screen, then 200 ms before the window closes.
  ASSERT_EQ(at.size(), 3009u);
  for (size_t i : {1u, 1001u, 2002u, 3003u})
    EXPECT_EQ(at[i] - at[i - 1], i == 1 ? 10u : 110u) << "frame " << i;
  EXPECT_EQ(w.P->Millis() - at.back(), 310u);
  EXPECT_FALSE(w.hb.WindowOpen());
  // The default table was saved on the way out.
  EXPECT_EQ(ReadBytes("scores/hiscores.dat").substr(0, 13), "50000\r\n10\r\nMA");
}

TEST(ScreenLoop, QuitFromAScreenStillFinishesTheLoopStep) {
  World w(kBare);
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
  World w(kBare);
  ASSERT_TRUE(w.Start());
  const uint32_t t0 = w.P->Millis();
  w.g.gamestate = sb::Screen(7);
  w.In().SetKey(65, true);
  sb::ScreenLoopStep(w.g);
  EXPECT_EQ(w.g.gamestate, sb::Screen(7));
  EXPECT_EQ(w.Shown(), 0);
  EXPECT_EQ(w.P->Millis() - t0, 100u);
  EXPECT_EQ(w.P->KeyDown(65), 0);
  EXPECT_EQ(w.P->KeyPresses(65), 0);
}

TEST(ScreenLoop, AGameEntersTheTableOnlyAboveTheTenthScore) {
  for (int margin : {0, 1}) {
    World w(kBare);
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
  World w(kBare);
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
