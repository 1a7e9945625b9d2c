// Whole runs in-process on a generated asset folder: frame counting, the
// frame limit, waits at the quit prompt, shots, failures and determinism.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/image_write.h"
#include "sim_fixture.h"

namespace fs = std::filesystem;

namespace {

struct ImageFile {
  const char* file;
  int w, h;
};
// Sizes fit the game's cell cuts; the content does not matter to the state.
const ImageFile kImages[] = {
    {"player.bmp", 7 * 79, 12},     {"hulks.bmp", 13 * 48, 16},   {"grunts.bmp", 9 * 12, 13},
    {"progs.bmp", 8 * 108, 16},     {"brains.bmp", 13 * 72, 16},  {"cruises.bmp", 3 * 8, 3},
    {"spheroids.bmp", 13 * 14, 13}, {"enforcers.bmp", 9 * 8, 11}, {"quarks.bmp", 13 * 14, 13},
    {"tanks.bmp", 13 * 8, 16},      {"balls.bmp", 5 * 4, 5},      {"pluses.bmp", 7 * 8, 7},
    {"electrodes.bmp", 18 * 50, 9}, {"humans.bmp", 8 * 36, 15},   {"shots.bmp", 8 * 9, 8},
    {"death.bmp", 13 * 8, 12},      {"bits.bmp", 12, 120},        {"points.bmp", 12 * 30, 6},
    {"kelfont.bmp", 6 * 80, 7},     {"arrow.bmp", 8, 6},          {"tessik.bmp", 80, 40},
    {"zantrel.bmp", 22 * 270, 1},
};

class SimRun : public SimFixture {
 protected:
  SimRun() : SimFixture("sim_run_") {}
  void SetUp() override {
    SimFixture::SetUp();
    fs::create_directories(dir_ / "game/images");
    fs::create_directories(dir_ / "game/sounds");
    fs::create_directories(dir_ / "game/scores");
    for (const ImageFile& f : kImages) {
      std::vector<uint32_t> px(static_cast<size_t>(f.w) * f.h, 0x00808080u);
      ASSERT_TRUE(sb::WriteBmp((dir_ / "game/images" / f.file).string(), px.data(), f.w, f.h));
    }
  }
  // Runs with the generated assets.
  int Sim(std::vector<std::string> args) {
    args.push_back("--assets");
    args.push_back(Path("game"));
    return SimFixture::Sim(args);
  }
  int64_t Frames() const {
    const size_t at = out_.find("frames ");
    return at == std::string::npos ? -1 : std::stoll(out_.substr(at + 7));
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }
};

TEST_F(SimRun, GivenAFrameLimitThenExactlyThatManyFramesEachTracedOnce) {
  ASSERT_EQ(Sim({"--seed", "5", "--frames", "40", "--digest", "--trace", Path("t.jsonl")}), 0)
      << err_;
  EXPECT_EQ(Frames(), 40);
  EXPECT_NE(out_.find("digest "), std::string::npos);
  const auto lines = Lines(Read(Path("t.jsonl")));
  ASSERT_EQ(lines.size(), 40u);
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("{\"frame\":" + std::to_string(i + 1) + ",", 0), 0u) << i;
  }
  // The whole wave table on the first line only; the game starts at row 1.
  auto humans = [](const std::string& s) {
    size_t n = 0;
    for (size_t at = s.find("\"humans\":"); at != std::string::npos;
         at = s.find("\"humans\":", at + 1))
      ++n;
    return n;
  };
  EXPECT_EQ(humans(lines[0]), 100u);
  EXPECT_EQ(humans(lines[1]), 1u);
  EXPECT_NE(lines[0].find("\"gamestate\":2,"), std::string::npos);
  EXPECT_NE(lines[0].find("\"wave\":1,"), std::string::npos);
}

TEST_F(SimRun, GivenZeroFramesThenStartUpOnlyAndNoTrace) {
  ASSERT_EQ(Sim({"--frames", "0", "--digest", "--trace", Path("t.jsonl")}), 0) << err_;
  EXPECT_EQ(Frames(), 0);
  EXPECT_EQ(Read(Path("t.jsonl")), "");
}

TEST_F(SimRun, GivenTheSameSeedThenIdenticalTracesWithAndWithoutDrawing) {
  const std::vector<std::string> base = {"--seed", "77", "--frames", "150", "--bot", "--digest"};
  auto run = [&](const std::string& trace, bool draw) {
    auto args = base;
    args.push_back("--trace");
    args.push_back(Path(trace));
    if (!draw) args.push_back("--no-draw");
    EXPECT_EQ(Sim(args), 0) << err_;
    return out_;
  };
  const std::string a = run("a.jsonl", true);
  const std::string b = run("b.jsonl", true);
  const std::string c = run("c.jsonl", false);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  const std::string ta = Read(Path("a.jsonl"));
  EXPECT_FALSE(ta.empty());
  EXPECT_EQ(ta, Read(Path("b.jsonl")));
  EXPECT_EQ(ta, Read(Path("c.jsonl")));
  // Another seed is another game.
  auto args = base;
  args[1] = "78";
  ASSERT_EQ(Sim(args), 0);
  EXPECT_NE(out_, a);
}

// Escape pressed at frame 80 opens the prompt (itself a frame) at frame 80 or,
// when play is not reading keys then (an intro), later; the prompt then waits
// without presenting anything.
TEST_F(SimRun, GivenTheQuitPromptThenWaitsTakeTheScriptsNextChanges) {
  Write("end.txt", "80 down escape\n");
  ASSERT_EQ(Sim({"--seed", "3", "--frames", "400", "--digest", "--input", Path("end.txt")}), 0);
  const int64_t prompt = Frames();
  EXPECT_GE(prompt, 80);
  EXPECT_LT(prompt, 400);  // the script ran out while the prompt waited

  // Other keys leave it waiting; Y ends the game after the prompt's closing frame.
  Write("yes.txt", "80 down escape\n81 up escape\n900 down q\n901 up q\n902 down y\n");
  ASSERT_EQ(Sim({"--seed", "3", "--frames", "400", "--digest", "--input", Path("yes.txt")}), 0);
  EXPECT_EQ(Frames(), prompt + 1);

  // N, given with a frame far ahead, is taken at once and play goes on.
  Write("no.txt", "80 down escape\n81 up escape\n900 down n\n");
  ASSERT_EQ(Sim({"--seed", "3", "--frames", "400", "--digest", "--input", Path("no.txt")}), 0);
  EXPECT_EQ(Frames(), 400);
}

TEST_F(SimRun, GivenShotRequestsThenThoseFramesAreSaved) {
  ASSERT_EQ(Sim({"--seed", "1", "--frames", "45", "--shot", "10:" + Path("ten.png"), "--shot",
                 "12:" + Path("twelve.bmp"), "--shots-every", "20:" + Path("every")}),
            0)
      << err_;
  EXPECT_EQ(Read(Path("ten.png")).substr(1, 3), "PNG");
  EXPECT_EQ(Read(Path("twelve.bmp")).substr(0, 2), "BM");
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(Path("every"))) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"frame_000020.png", "frame_000040.png"}));
}

TEST_F(SimRun, GivenAMissingImageThenTheGamesOwnFailureAndStatus1) {
  fs::remove(dir_ / "game/images/grunts.bmp");
  EXPECT_EQ(Sim({"--digest", "--frames", "10"}), 1);
  EXPECT_EQ(out_, "");  // no digest of a game that never started
  const std::string log = Read(Path("game/errors.log"));
  EXPECT_NE(log.find("grunts.bmp"), std::string::npos);
}

TEST_F(SimRun, GivenFlowModeWithTheBotThenItStartsAGameFromTheTitle) {
  ASSERT_EQ(Sim({"--mode", "flow", "--bot", "--frames", "30", "--trace", Path("t.jsonl")}), 0)
      << err_;
  const auto lines = Lines(Read(Path("t.jsonl")));
  ASSERT_EQ(lines.size(), 30u);
  EXPECT_NE(lines.back().find("\"gamestate\":2,"), std::string::npos);
}

}  // namespace
