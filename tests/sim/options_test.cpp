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

::testing::AssertionResult Mentions(const std::string& err, const std::string& want) {
  if (err.find(want) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "message \"" << err << "\" lacks \"" << want << "\"";
}

// Refused, with a message that contains `want`.
::testing::AssertionResult RefusedWith(std::vector<std::string> args, const std::string& want) {
  sim::Options o;
  std::string err;
  EXPECT_EQ(Parse(args, o, err), sim::ParseResult::kError) << args[0];
  return Mentions(err, want);
}

TEST(SimOptions, GivenSettingsAtTheirLimitsThenAcceptedAndJustOutsideRefused) {
  EXPECT_TRUE(Accepts({"--difficulty", "1"}));
  EXPECT_TRUE(Accepts({"--difficulty", "5"}));
  EXPECT_TRUE(RefusedWith({"--difficulty", "0"}, "1..5"));
  EXPECT_TRUE(RefusedWith({"--difficulty", "6"}, "1..5"));
  EXPECT_TRUE(Accepts({"--controls", "0"}));
  EXPECT_TRUE(RefusedWith({"--controls", "8"}, "0..7"));
  EXPECT_TRUE(RefusedWith({"--controls", "-1"}, "0..7"));
  EXPECT_TRUE(Accepts({"--lives", "99"}));
  EXPECT_TRUE(RefusedWith({"--lives", "100"}, "0..99"));
  EXPECT_TRUE(RefusedWith({"--lives", "-1"}, "0..99"));
  EXPECT_TRUE(RefusedWith({"--frames", "-1"}, "non-negative"));
  EXPECT_TRUE(RefusedWith({"--sound", "2"}, "0..1"));
  EXPECT_TRUE(RefusedWith({"--freeman", "4999"}, "5000..200000"));
  EXPECT_TRUE(RefusedWith({"--wave", "101"}, "1..100"));
}

TEST(SimOptions, GivenMalformedValuesThenRefusedWithTheOptionNamed) {
  EXPECT_TRUE(RefusedWith({"--lives", "3x"}, "--lives"));
  EXPECT_TRUE(RefusedWith({"--seed", ""}, "--seed"));
  EXPECT_TRUE(RefusedWith({"--seed"}, "needs a value"));
  EXPECT_TRUE(RefusedWith({"--mode", "fast"}, "'fast'"));
  EXPECT_TRUE(RefusedWith({"--digest=1"}, "takes no value"));
  EXPECT_TRUE(RefusedWith({"--shot", "5"}, "FRAME:PATH"));
  EXPECT_TRUE(RefusedWith({"--shot", "0:a.png"}, "FRAME >= 1"));
  EXPECT_TRUE(RefusedWith({"--shot", "5:a.jpg"}, ".png or .bmp"));
  EXPECT_TRUE(RefusedWith({"--shots-every", "0:d"}, "K >= 1"));
  EXPECT_TRUE(RefusedWith({"--shots-every", "5:"}, "K:DIR"));
}

TEST(SimOptions, GivenUnknownOptionsThenOneLineOnStandardErrorAndStatus2) {
  EXPECT_TRUE(RefusedWith({"game"}, "unknown option 'game'"));
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
  EXPECT_TRUE(RefusedWith({"--bot", "--input", "x"}, "--bot and --input"));
  EXPECT_TRUE(RefusedWith({"--bot", "--mode", "flow"}, "--frames"));
  EXPECT_TRUE(Accepts({"--bot", "--mode", "flow", "--frames", "10"}));
  EXPECT_TRUE(RefusedWith({"--bot", "--controls", "0"}, "control mode 4"));
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
  // Options made by `set` are refused, with a message that contains `want`.
  template <class F>
  ::testing::AssertionResult Refuses(F set, const std::string& want) {
    sim::Options o;
    set(o);
    std::string err;
    if (Prepare(o, err)) return ::testing::AssertionFailure() << "accepted";
    return Mentions(err, want);
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
  using O = sim::Options;
  EXPECT_TRUE(Refuses([&](O& o) { o.input = Path("none.txt"); }, "cannot read input script"));
  EXPECT_TRUE(Refuses([&](O& o) { o.trace = Path("missing/t.jsonl"); }, "cannot write trace"));
  EXPECT_TRUE(Refuses([&](O& o) { o.trace = dir_.string(); }, "cannot write trace"));
  EXPECT_TRUE(Refuses(
      [&](O& o) {
        o.shots.push_back({5, Path("missing/a.png")});
      },
      "cannot write shot"));
  EXPECT_TRUE(Refuses([&](O& o) { o.audio = Path("missing/a.wav"); }, "cannot write audio"));
  EXPECT_TRUE(Refuses(
      [&](O& o) {
        o.shots_every = 2;
        o.shots_dir = Path("file");  // a file, not a folder
      },
      "cannot write shots"));
  EXPECT_TRUE(Refuses([&](O& o) { o.assets = Path("nowhere"); }, "assets folder"));
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
