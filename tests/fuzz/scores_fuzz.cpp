// The high-score file from the player's disk: arbitrary bytes as
// "scores/hiscores.dat", loaded, a score inserted, saved, loaded again.
// Input: 4 bytes score, 1 byte wave, 3 bytes name, then the file.
// Whatever the file held, the saved table is 30 CRLF lines that load back
// to exactly the table in memory.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/game.h"
#include "fuzz_common.h"
#include "platform/file_table.h"
#include "platform/headless_backend.h"
#include "scores/hiscores.h"

namespace {

constexpr const char* kFile = "scores/hiscores.dat";

std::string ReadAll(const char* path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// The file's lines as the game reads them: ended by LF, NUL or the end,
// CRs dropped, cut at the line limit.
std::vector<std::string> ModelLines(const uint8_t* p, size_t n) {
  std::vector<std::string> lines;
  std::string cur;
  size_t i = 0;
  while (lines.size() < 30) {
    if (i >= n) {
      lines.push_back(cur);
      cur.clear();
      continue;
    }
    const uint8_t c = p[i++];
    if (c == 10 || c == 0) {
      lines.push_back(cur);
      cur.clear();
    } else if (c != 13 && cur.size() < sb::FileTable::kMaxLine) {
      cur.push_back(static_cast<char>(c));
    }
  }
  return lines;
}

char NameChar(uint8_t b) {
  return b % 27 == 26 ? ' ' : static_cast<char>('A' + b % 27);
}

}  // namespace

// The game reads and writes "scores/" relative to its working folder.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (chdir(fuzz::ScratchDir().c_str()) != 0) std::abort();
  if (mkdir("scores", 0755) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<sb::Platform> platform = sb::MakeHeadlessPlatform();
  fuzz::Bytes in(data, size);
  const int32_t score = static_cast<int32_t>(in.U32());
  const int32_t wave = in.U8();
  std::string name;
  for (int i = 0; i < 3; ++i) name += NameChar(in.U8());
  if (!fuzz::WriteFileBytes(kFile, in.Rest(), in.RestSize())) return 0;

  sb::Game g(*platform);
  sb::LoadScores(g);
  const std::vector<std::string> lines = ModelLines(in.Rest(), in.RestSize());
  for (int i = 0; i < 10; ++i) {
    FUZZ_CHECK(g.hiscores[i] == sb::StrToInt(lines[3 * i]));
    FUZZ_CHECK(g.hiwaves[i] == sb::StrToInt(lines[3 * i + 1]));
    FUZZ_CHECK(g.hinames[i] == lines[3 * i + 2]);
  }

  bool sorted = true;
  for (int i = 1; i < 10; ++i) sorted = sorted && g.hiscores[i] <= g.hiscores[i - 1];
  sb::InsertScore(g, score, name, wave);
  FUZZ_CHECK(g.lowscore == g.hiscores[9]);
  for (int i = 1; sorted && i < 10; ++i) FUZZ_CHECK(g.hiscores[i] <= g.hiscores[i - 1]);

  FUZZ_CHECK(sb::SaveScores(g));
  std::string want;
  for (int i = 0; i < 10; ++i)
    want += std::to_string(g.hiscores[i]) + "\r\n" + std::to_string(g.hiwaves[i]) + "\r\n" +
            g.hinames[i] + "\r\n";
  FUZZ_CHECK(ReadAll(kFile) == want);
  FUZZ_CHECK(access("scores/hiscores.dat.tmp", F_OK) != 0);

  sb::Game back(*platform);
  sb::LoadScores(back);
  for (int i = 0; i < 10; ++i) {
    FUZZ_CHECK(back.hiscores[i] == g.hiscores[i]);
    FUZZ_CHECK(back.hiwaves[i] == g.hiwaves[i]);
    FUZZ_CHECK(back.hinames[i] == g.hinames[i]);
  }
  return 0;
}
