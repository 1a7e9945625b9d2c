// Replays recorded on the headless platform: they verify, and any edit that
// changes what happened is refused; the golden cases verify as replays.
#include "app/replay.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/main_loop.h"
#include "core/digest.h"
#include "platform/headless_backend.h"
#include "sim_fixture.h"

namespace fs = std::filesystem;

namespace {

class Replays : public SimFixture {
 protected:
  Replays() : SimFixture("replay_test_") {}
  // The game writes CR LF line ends, like its table; both are read.
  static std::string Read(const std::string& path) {
    std::string t = SimFixture::Read(path);
    std::erase(t, '\r');
    return t;
  }
  int Record(std::vector<std::string> args, const std::string& replay) {
    for (const char* a : {"--assets", SB_GAME_DIR, "--no-draw", "--digest", "--record"})
      args.push_back(a);
    args.push_back(Path(replay));
    return Sim(args);
  }
  int Verify(const std::string& replay) {
    return Sim({"--verify", Path(replay), "--assets", SB_GAME_DIR});
  }
  // The first value after `key ` in the end line.
  static int64_t EndField(const std::string& text, const std::string& key) {
    std::smatch m;
    if (!std::regex_search(text, m, std::regex("\nend .*\\b" + key + " (-?[0-9]+)"))) return -999;
    return std::stoll(m[1]);
  }
};

// Each game is recorded, then replayed headless: every checkpoint and the end
// agree. `holds` checks the game really had what the case is about.
TEST_F(Replays, HeadlessGamesAndTheirReplaysAgreeAtEveryCheckpoint) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* script;
    std::function<bool(const std::string&)> holds;
  };
  const Case cases[] = {
      {"deaths to game over",
       {"--seed", "11", "--lives", "2", "--controls", "2"},
       "",
       [](const std::string& r) { return EndField(r, "men") < 0; }},
      {"free man",
       {"--seed", "12", "--bot", "--freeman", "5000", "--lives", "0", "--frames", "2000"},
       "",
       [](const std::string& r) {  // no reserve at the start, yet it played on
         return EndField(r, "score") >= 5000 && r.find("checkpoint 600 ") != std::string::npos;
       }},
      {"wave changes",
       {"--seed", "5005", "--bot", "--difficulty", "5", "--wave", "5", "--frames", "3000"},
       "",
       [](const std::string& r) { return EndField(r, "wave") > 5; }},
      {"quit prompt: N, then Y",
       {"--seed", "3003"},
       "70 down space\n70 down right\n150 down escape\n151 up escape\n160 down n\n161 up n\n"
       "400 down escape\n401 up escape\n402 down a\n403 up a\n404 down y\n",
       [](const std::string& r) {  // ended by the second answer, not by a game over
         return r.find(" down n\n") != std::string::npos && EndField(r, "men") >= 0;
       }},
      {"window closed, prompt answered N",
       {"--seed", "21", "--controls", "0"},
       "40 down left\n300 close\n310 down n\n311 up n\n",
       [](const std::string& r) { return r.find(" close\n") != std::string::npos; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    if (*c.script) {
      Write("in.txt", c.script);
      args.insert(args.end(), {"--input", Path("in.txt")});
    }
    ASSERT_EQ(Record(args, "r.replay"), 0) << err_;
    const std::string text = Read(Path("r.replay"));
    EXPECT_TRUE(c.holds(text)) << text;
    int64_t checkpoints = 0;
    for (auto at = text.find("\ncheckpoint "); at != std::string::npos;
         at = text.find("\ncheckpoint ", at + 1))
      ++checkpoints;
    EXPECT_EQ(checkpoints, EndField(text, "frames") / 300) << "a checkpoint every 300 frames";
    ASSERT_EQ(Verify("r.replay"), 0) << err_;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out_, m, std::regex("^verified: score (-?\\d+) wave (\\d+)")));
    EXPECT_EQ(std::stoll(m[1]), EndField(text, "score"));
  }
}

// Edits that change what happened are refused with the right status and a
// message naming what differs; broken files are refused as bad replays.
TEST_F(Replays, EditedOrBrokenReplaysAreRefused) {
  ASSERT_EQ(Record({"--seed", "5005", "--bot", "--wave", "5", "--frames", "1000"}, "g.replay"), 0)
      << err_;
  const std::string good = Read(Path("g.replay"));
  auto sub = [&](const std::string& re, const std::string& by) {
    return std::regex_replace(good, std::regex(re), by, std::regex_constants::format_first_only);
  };
  ::mkfifo(Path("pipe.replay").c_str(), 0600);
  fs::create_directories(Path("folder.replay"));
  struct Case {
    const char* name;
    std::string text;  // empty: the file is left as it is
    const char* file;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {"score edited", sub("(\nend .* score )(\\d+)", "$019$02"), "e.replay", 1,
       "end score: expected"},
      {"one input changed", sub("\n(3[5-9]\\d) down (\\w+)\n", "\n$01 up $02\n"), "e.replay", 1,
       "checkpoint at frame 600"},
      {"checkpoint digest edited", sub("checkpoint 600 .", "checkpoint 600 f"), "e.replay", 1,
       "checkpoint at frame 600"},
      {"other rules version", sub("rules \\d+", "rules 77"), "e.replay", 3, "rules version 77"},
      {"truncated", good.substr(0, good.rfind('\n', good.size() / 2) + 1), "e.replay", 2,
       "truncated"},
      {"frames backwards", sub("\n(\\d+) (down|up) ", "\n999 $2 "), "e.replay", 2, "backwards"},
      {"unknown key", sub(" down (\\w+)\n", " down warp\n"), "e.replay", 2, "unknown key"},
      {"joystick out of range", sub("\nstart ", "\n5 joy x 2\nstart "), "e.replay", 2, "-1 to 1"},
      {"huge number", sub("random \\d+", "random 99999999999999999999"), "e.replay", 2,
       "generator state"},
      {"NUL byte", sub("\nstart", std::string("\n\0start", 6)), "e.replay", 2, "NUL"},
      {"garbled", "swarmbreak replay 1\nrules 1\n\x01\x02zz\n", "e.replay", 2, "unknown record"},
      {"not a replay", "hello\n", "e.replay", 2, "not a replay"},
      {"oversized", std::string(33 << 20, '\n'), "e.replay", 2, "larger than"},
      {"a folder", "", "folder.replay", 2, "folder"},
      {"a named pipe", "", "pipe.replay", 2, "not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.text.empty()) Write(c.file, c.text);
    EXPECT_EQ(Verify(c.file), c.status) << err_;
    EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << "one line: " << err_;
    EXPECT_TRUE(out_.empty());
  }
  Write("ok.replay", good);
  EXPECT_EQ(Verify("ok.replay"), 0) << err_;
}

// The golden cases' inputs recorded as replays: recording changes no digest,
// and every replay verifies.
TEST_F(Replays, GoldenCasesVerifyAsReplaysWithTheirDigestsUnchanged) {
  const fs::path cases = fs::path(SB_SOURCE_DIR) / "tests/golden/cases";
  const std::string expected = Read((fs::path(SB_SOURCE_DIR) / "tests/golden/expected.txt"));
  int n = 0;
  for (const auto& e : fs::directory_iterator(cases)) {
    if (e.path().extension() != ".args") continue;
    const std::string name = e.path().stem().string();
    std::vector<std::string> args;
    std::istringstream in(Read(e.path().string()));
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line.substr(0, line.find('#')));
      for (std::string w; words >> w;) args.push_back(w);
    }
    if (std::find(args.begin(), args.end(), "flow") != args.end()) continue;  // no one game
    SCOPED_TRACE(name);
    if (fs::exists(cases / (name + ".input")))
      args.insert(args.end(), {"--input", (cases / (name + ".input")).string()});
    ASSERT_EQ(Record(args, name + ".replay"), 0) << err_;
    EXPECT_NE(expected.find(name + " " + out_.substr(7, 16)), std::string::npos) << out_;
    EXPECT_EQ(Verify(name + ".replay"), 0) << err_;
    ++n;
  }
  EXPECT_GE(n, 6);
}

}  // namespace

namespace {

// A whole program run with the game's replay keeping: later games in one
// session start from state earlier games left (wave counts, colours, the
// generator), and their replays still verify; the kept ones stay at ten.
TEST_F(Replays, EveryGameOfASessionVerifies) {
  const fs::path game = dir_ / "game";
  fs::create_directories(game / "scores");
  fs::create_directory_symlink(fs::path(SB_GAME_DIR) / "images", game / "images");
  fs::create_directory_symlink(fs::path(SB_GAME_DIR) / "sounds", game / "sounds");
  std::ofstream table(game / "scores/hiscores.dat");
  for (int i = 10; i >= 1; --i) table << i << "\r\n1\r\nLOW\r\n";
  table.close();
  ASSERT_EQ(Sim({"--mode", "flow", "--bot", "--seed", "9", "--lives", "0", "--difficulty", "5",
                 "--frames", "12000", "--no-draw", "--keep-replays", "--assets", game.string()}),
            0)
      << err_;
  std::vector<fs::path> files = {game / "replays/last.replay"};
  for (const auto& e : fs::directory_iterator(game / "scores/replays")) files.push_back(e.path());
  EXPECT_GE(files.size(), 4u);
  EXPECT_LE(files.size(), 11u);
  for (const fs::path& f : files) {
    SCOPED_TRACE(f.string());
    EXPECT_EQ(Sim({"--verify", f.string(), "--assets", game.string()}), 0) << err_;
  }
}

// Watching a replay in the live program leaves its settings, table and
// generator as they were, and shows the whole game.
TEST_F(Replays, WatchingLeavesTheLiveGameAsItWas) {
  ASSERT_EQ(Record({"--seed", "11", "--lives", "2", "--controls", "2"}, "w.replay"), 0) << err_;
  sb::Replay r;
  sb::ReplayError e;
  ASSERT_TRUE(sb::ReadReplayFile(Path("w.replay"), r, e)) << e.what;
  fs::current_path(SB_GAME_DIR);
  auto P = sb::MakeHeadlessPlatform();
  sb::Game g(*P);
  const int64_t seed = 5;
  ASSERT_TRUE(sb::StartUp(g, &seed));
  g.lives = 7;
  g.difficulty = 1;
  g.hiscores[0] = 424242;
  P->Rng().Real(0, 1);
  const int32_t state = P->Rng().State();
  const uint64_t draws = P->Rng().Draws(), digest = sb::StateDigest(g);
  auto& hb = sb::Headless(*P);
  hb.on_pump = [](sb::InputState& in) { in.SetKey(13, true), in.SetKey(13, false); };
  const int before = hb.Frames();
  sb::WatchReplay(g, r);
  EXPECT_EQ(hb.Frames() - before, r.end_frames);
  EXPECT_EQ(P->Rng().State(), state);
  EXPECT_EQ(P->Rng().Draws(), draws);
  EXPECT_EQ(sb::StateDigest(g), digest);
  EXPECT_EQ(g.lives, 7);
  EXPECT_EQ(g.hiscores[0], 424242);
}

}  // namespace
