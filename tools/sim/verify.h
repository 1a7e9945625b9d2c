// Checking replays headless: one file, or every top-ten entry of a game folder.
#pragma once

#include <cstdio>
#include <string>

namespace sim {

// Exit status: 0 verified, 1 differs, 2 bad replay or files, 3 other rules.
int VerifyFile(const std::string& path, const std::string& assets, std::FILE* out, std::FILE* err);
// 0 when no entry with a replay failed, 1 otherwise, 2 when the folder is unusable.
int VerifyTable(const std::string& dir, std::FILE* out, std::FILE* err);

}  // namespace sim
