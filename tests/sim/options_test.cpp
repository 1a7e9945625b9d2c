// Command-line checks: settings outside their ranges, unknown options,
// conflicting options and unusable files are refused before a run starts.
#include "options.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run.h"

namespace fs = std::filesystem;

namespace {

sim::ParseResult Parse(std::vector<std::string> args, sim::Options& o, std::string& err) {
  return sim::ParseOptions(args, o, err);
}

bool Accepts(std::vector<std::string> args) {
  sim::Options o;
  std::string err;
  return Parse(std::move(args), o, err) == sim::ParseResult::kRun;
}

std::string Refusal(std::vector<std::string> args) {
  sim::Options o;
  std::string err;
  EXPECT_EQ(Parse(args, o, err), sim::ParseResult::kError) << args[0];
  return err;
}

TEST(SimOptions, GivenSettingsAtTheirLimitsThenAcceptedAndJustOutsideRefused) {
  EXPECT_TRUE(Accepts({"--difficulty", "1"}));
  EXPECT_TRUE(Accepts({"--difficulty", "5"}));
  EXPECT_NE(Refusal({"--difficulty", "0"}).find("1..5"), std::string::npos);
  EXPECT_NE(Refusal({"--difficulty", "6"}).find("1..5"), std::string::npos);
  EXPECT_TRUE(Accepts({"--controls", "0"}));
  EXPECT_NE(Refusal({"--controls", "8"}).find("0..7"), std::string::npos);
  EXPECT_NE(Refusal({"--controls", "-1"}).find("0..7"), std::string::npos);
  EXPECT_TRUE(Accepts({"--lives", "99"}));
  EXPECT_NE(Refusal({"--lives", "100"}).find("0..99"), std::string::npos);
  EXPECT_NE(Refusal({"--lives", "-1"}).find("0..99"), std::string::npos);
  EXPECT_NE(Refusal({"--frames", "-1"}).find("non-negative"), std::string::npos);
  EXPECT_NE(Refusal({"--sound", "2"}).find("0..1"), std::string::npos);
  EXPECT_NE(Refusal({"--freeman", "4999"}).find("5000..200000"), std::string::npos);
  EXPECT_NE(Refusal({"--wave", "101"}).find("1..100"), std::string::npos);
}

TEST(SimOptions, GivenMalformedValuesThenRefusedWithTheOptionNamed) {
  EXPECT_NE(Refusal({"--lives", "3x"}).find("--lives"), std::string::npos);
  EXPECT_NE(Refusal({"--seed", ""}).find("--seed"), std::string::npos);
  EXPECT_NE(Refusal({"--seed"}).find("needs a value"), std::string::npos);
  EXPECT_NE(Refusal({"--mode", "fast"}).find("'fast'"), std::string::npos);
  EXPECT_NE(Refusal({"--digest=1"}).find("takes no value"), std::string::npos);
  EXPECT_NE(Refusal({"--shot", "5"}).find("FRAME:PATH"), std::string::npos);
  EXPECT_NE(Refusal({"--shot", "0:a.png"}).find("FRAME >= 1"), std::string::npos);
  EXPECT_NE(Refusal({"--shot", "5:a.jpg"}).find(".png or .bmp"), std::string::npos);
  EXPECT_NE(Refusal({"--shots-every", "0:d"}).find("K >= 1"), std::string::npos);
  EXPECT_NE(Refusal({"--shots-every", "5:"}).find("K:DIR"), std::string::npos);
}

TEST(SimOptions, GivenUnknownOptionsThenOneLineOnStandardErrorAndStatus2) {
  EXPECT_NE(Refusal({"game"}).find("unknown option 'game'"), std::string::npos);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(out && err);
  EXPECT_EQ(sim::SimMain({"--fast"}, out, err), 2);
  std::rewind(err);
  char buf[256] = {};
  const std::string text(buf, std::fread(buf, 1, sizeof buf - 1, err));
  EXPECT_EQ(text, "swarmbreak-sim: unknown option '--fast' (see --help)\n");
  EXPECT_EQ(std::ftell(out), 0);
  std::fclose(out);
  std::fclose(err);
}

TEST(SimOptions, GivenConflictingOptionsThenRefused) {
  EXPECT_NE(Refusal({"--bot", "--input", "x"}).find("--bot and --input"), std::string::npos);
  EXPECT_NE(Refusal({"--bot", "--mode", "flow"}).find("--frames"), std::string::npos);
  EXPECT_TRUE(Accepts({"--bot", "--mode", "flow", "--frames", "10"}));
  EXPECT_NE(Refusal({"--bot", "--controls", "0"}).find("control mode 4"), std::string::npos);
  EXPECT_TRUE(Accepts({"--bot", "--controls", "4"}));
}

// File checks happen before anything runs.
class SimPrepare : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sim_prepare_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(Path(name)) << text;
  }
  bool Prepare(sim::Options& o, std::string& err) {
    sim::Prepared p;
    return sim::PrepareRun(o, p, err);
  }
  fs::path dir_;
};

TEST_F(SimPrepare, GivenAMalformedScriptThenItsPathLineAndReasonAreReported) {
  Write("s.txt", "1 down a\n2 down nokey\n");
  sim::Options o;
  o.input = Path("s.txt");
  std::string err;
  EXPECT_FALSE(Prepare(o, err));
  EXPECT_EQ(err, Path("s.txt") + ":2: unknown key 'nokey'");
}

TEST_F(SimPrepare, GivenUnusableFilesThenRefused) {
  Write("file", "x");
  auto refusal = [&](auto set) {
    sim::Options o;
    set(o);
    std::string err;
    EXPECT_FALSE(Prepare(o, err));
    return err;
  };
  EXPECT_NE(refusal([&](sim::Options& o) {
              o.input = Path("none.txt");
            }).find("cannot read input script"),
            std::string::npos);
  EXPECT_NE(refusal([&](sim::Options& o) {
              o.trace = Path("missing/t.jsonl");
            }).find("cannot write trace"),
            std::string::npos);
  EXPECT_NE(refusal([&](sim::Options& o) { o.trace = dir_.string(); }).find("cannot write trace"),
            std::string::npos);
  EXPECT_NE(refusal([&](sim::Options& o) {
              o.shots.push_back({5, Path("missing/a.png")});
            }).find("cannot write shot"),
            std::string::npos);
  EXPECT_NE(
      refusal([&](sim::Options& o) { o.audio = Path("missing/a.wav"); }).find("cannot write audio"),
      std::string::npos);
  EXPECT_NE(refusal([&](sim::Options& o) {
              o.shots_every = 2;
              o.shots_dir = Path("file");  // a file, not a folder
            }).find("cannot write shots"),
            std::string::npos);
  EXPECT_NE(refusal([&](sim::Options& o) { o.assets = Path("nowhere"); }).find("assets folder"),
            std::string::npos);
}

TEST_F(SimPrepare, GivenUsableOutputsThenPathsBecomeAbsoluteAndTheShotsFolderExists) {
  const fs::path old = fs::current_path();
  fs::current_path(dir_);
  sim::Options o;
  o.shots.push_back({5, "a.png"});
  o.shots_every = 3;
  o.shots_dir = "frames/deep";
  o.trace = "t.jsonl";
  std::string err;
  const bool ok = Prepare(o, err);
  fs::current_path(old);
  ASSERT_TRUE(ok) << err;
  EXPECT_EQ(o.shots[0].path, Path("a.png"));
  EXPECT_EQ(o.shots_dir, Path("frames/deep"));
  EXPECT_TRUE(fs::is_directory(Path("frames/deep")));
  EXPECT_TRUE(fs::exists(Path("t.jsonl")));
}

}  // namespace
