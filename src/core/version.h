// Versions a replay carries.
#pragma once

namespace sb {

// The rules version: raise it whenever the golden digests change, that is
// whenever a change alters what the game does with the same input. Replays
// of another rules version are refused rather than replayed wrongly.
inline constexpr int kRulesVersion = 1;

#ifndef SB_GAME_VERSION
#define SB_GAME_VERSION "1.0.0"
#endif
// The program's version (the project version of the build).
inline constexpr const char* kGameVersion = SB_GAME_VERSION;

}  // namespace sb
