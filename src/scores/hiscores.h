// The top-ten table and "scores/hiscores.dat".
#pragma once

#include <string>
#include <vector>

#include "core/game.h"

namespace sb {

void DefaultScores(Game& g);
void LoadScores(Game& g);
void InsertScore(Game& g, int32_t score, const std::string& name, int32_t wave);
// False when the table could not be saved (the old file is left intact).
bool SaveScores(Game& g);
// The steps of SaveScores in order; kLineWritten comes once per line (30).
enum class SaveStep { kBegin, kTempOpened, kLineWritten, kTempClosed, kRenamed };
// Test seam: called at every step when set, so a test can stop the process
// there and check that the table on disk is always whole. Null in the game.
extern void (*g_save_step_hook)(SaveStep step);

// Writes `lines` to `path` through the file `temp`: written in full, flushed
// to the disk and then renamed over `path`, so `path` is always whole. The
// temp file is removed on failure. `step` (may be null) sees every step.
enum class WriteFault { kNone, kCreate, kWrite, kRename };
WriteFault WriteLinesSafely(Platform& P, const std::string& path, const std::string& temp,
                            const std::vector<std::string>& lines, void (*step)(SaveStep));

// Text to integer: leading white space, optional sign, decimal digits ('$'
// hexadecimal, '%' binary); wraps like 32-bit arithmetic; 0 without digits.
int32_t StrToInt(const std::string& s);

}  // namespace sb
