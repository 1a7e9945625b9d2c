// A recorded game as text, one record per line (docs/REPLAYS.md): where it
// starts (versions, generator, settings and state), every input change with
// the frame that first sees it, a digest every 300 frames, the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input.h"

namespace sb {

inline constexpr const char* kReplayMagic = "swarmbreak replay";
inline constexpr int kReplayFormat = 1;
inline constexpr int64_t kCheckpointEvery = 300;
// Limits a reader holds to, whatever the file says.
inline constexpr int64_t kReplayMaxBytes = 32 << 20;
inline constexpr int64_t kReplayMaxLines = 2'000'000;
inline constexpr int64_t kReplayMaxFrame = 1'000'000'000;

struct ReplayInput {
  int64_t frame = 0;
  InputChange change;
  int line = 0;
};

// `set NAME VALUE` (a scalar of the game), `player NAME VALUE` (a field of
// the player record) or `wave N NAME VALUE` (a field of wave record N, from
// 1); applied by name when the game starts.
struct ReplayValue {
  bool player = false;
  int wave = 0;
  std::string name, value;
  int line = 0;
};

struct ReplayCheckpoint {
  int64_t frame = 0;
  uint64_t digest = 0;
};

struct Replay {
  int format = kReplayFormat;
  int rules = 0;
  std::string game;  // program version that recorded it
  bool has_random = false;
  int32_t rng_state = 0;
  uint64_t rng_draws = 0;
  int32_t startwave = 1;
  int curwave = -1;  // record the current-wave reference points at (from 1; 0 none; -1 as loaded)
  std::vector<ReplayValue> values;
  bool has_start = false;
  uint64_t start_digest = 0;
  std::vector<ReplayInput> inputs;
  std::vector<ReplayCheckpoint> checkpoints;
  // The end line; the fields after `frames` are optional by hand.
  bool has_end = false;
  bool cut = false;  // the recording was cut off at `frames` (not a game's end)
  int64_t end_frames = 0;
  bool has_score = false, has_wave = false, has_men = false, has_digest = false;
  int32_t score = 0, wave = 0, men = 0;
  uint64_t end_digest = 0;
  std::string name;  // the name entered for a top-ten score, if any
  int end_line = 0;
};

struct ReplayError {
  int line = 0;  // 0: the file as a whole
  std::string what;
};

// Key names, shared with the simulator's scripts: left right up down space
// escape enter, a-z, the digits 0-9 (one digit: the digit key), and any
// other code as a number of two or more digits (09 is Tab).
std::string ReplayKeyName(int code);
int ReplayKeyCode(std::string_view name);  // 0 when unknown

// Parses a whole replay; false with the first fault.
bool ParseReplay(std::string_view text, Replay& out, ReplayError& err);
// "FILE:LINE: what" (no line for faults of the file as a whole).
std::string ReplayErrorText(const std::string& path, const ReplayError& e);
// Reads a file: a regular file only (no folder, pipe or device), capped.
bool ReadReplayFile(const std::string& path, Replay& out, ReplayError& err);

// Text pieces of a replay, as the recorder writes them.
std::string ReplayInputLine(int64_t frame, const InputChange& c);
std::string Hex64(uint64_t v);

}  // namespace sb
