// Command line of swarmbreak-sim.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class Mode { kGame, kFlow };

struct ShotRequest {
  int64_t frame = 0;
  std::string path;
};

struct Options {
  Mode mode = Mode::kGame;
  std::optional<int64_t> seed;
  std::optional<int64_t> frames;
  std::optional<int> difficulty, lives, controls, sound, freeman, wave;
  bool invincible = false;
  std::string input;  // script path
  bool bot = false;
  std::string trace;
  std::vector<ShotRequest> shots;
  int64_t shots_every = 0;  // 0: off
  std::string shots_dir;
  bool digest = false;
  bool no_draw = false;
  std::string audio;
  std::string assets;
  std::string record;         // write the game's replay here
  std::string verify;         // replay to verify
  std::string verify_table;   // game folder whose top-ten replays to verify
  bool keep_replays = false;  // flow: replays kept as the game keeps them
};

enum class ParseResult { kRun, kHelp, kError };

// Pure parsing and range checks; file checks come later (PrepareFiles).
ParseResult ParseOptions(const std::vector<std::string>& args, Options& o, std::string& err);

const char* UsageText();

}  // namespace sim
