// Score files as a player's disk may hold them. Whatever the file holds,
// loading never fails, and saving the table that came of it writes a file of
// 30 CRLF lines that loads back to exactly that table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "platform/file_table.h"
#include "scores/hiscores.h"
#include "support/world.h"

using namespace sbt;

namespace {

constexpr const char* kFile = "scores/hiscores.dat";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// Deterministic junk with every byte value.
std::string Junk(size_t n) {
  std::string s;
  uint32_t x = 12345;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    s += static_cast<char>(x >> 24);
  }
  return s;
}

struct ScoreCase {
  const char* what;
  std::string bytes;
  std::function<void(const sb::Game&)> expect;
};

void AllEmpty(const sb::Game& g) {
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(g.hiscores[i], 0) << i;
    EXPECT_EQ(g.hiwaves[i], 0) << i;
    EXPECT_EQ(g.hinames[i], "") << i;
  }
}

std::vector<ScoreCase> Cases() {
  return {
      {"a one-megabyte score line", Repeat("1", 1 << 20) + "\n5\nABC\n7\n",
       [](const sb::Game& g) {
         uint32_t ones = 0;  // 111...1 in 32-bit arithmetic
         for (int i = 0; i < (1 << 20); ++i) ones = ones * 10 + 1;
         EXPECT_EQ(g.hiscores[0], static_cast<int32_t>(ones));
         EXPECT_EQ(g.hiwaves[0], 5);
         EXPECT_EQ(g.hinames[0], "ABC");
         EXPECT_EQ(g.hiscores[1], 7);
       }},
      {"a 200000-character name", "1\n2\n" + Repeat("N", 200000) + "\n3\n4\nXY\n",
       [](const sb::Game& g) {
         EXPECT_EQ(g.hinames[0], std::string(sb::FileTable::kMaxLine, 'N'));
         EXPECT_EQ(g.hiscores[1], 3);  // the rest of the long line is skipped
         EXPECT_EQ(g.hinames[1], "XY");
       }},
      {"NUL bytes", std::string("100\0 200\0AB\0C\n", 15),
       [](const sb::Game& g) {
         EXPECT_EQ(g.hiscores[0], 100);
         EXPECT_EQ(g.hiwaves[0], 200);
         EXPECT_EQ(g.hinames[0], "AB");
         EXPECT_EQ(g.hiscores[1], 0);  // "C"
       }},
      {"non-ASCII bytes",
       "5\n6\n\xC3\xA9\xFF\x80\n\xE2\x80\x93"
       "7\n",
       [](const sb::Game& g) {
         EXPECT_EQ(g.hinames[0], "\xC3\xA9\xFF\x80");
         EXPECT_EQ(g.hiscores[1], 0);  // a leading non-digit reads as 0
       }},
      {"numbers beyond 32 bits", "99999999999\n-99999999999\nBIG\n4294967296\n$123456789AB\n",
       [](const sb::Game& g) {
         EXPECT_EQ(g.hiscores[0], 1215752191);
         EXPECT_EQ(g.hiwaves[0], -1215752191);
         EXPECT_EQ(g.hiscores[1], 0);
         EXPECT_EQ(g.hiwaves[1], 0x456789AB);
       }},
      {"fewer than 30 lines", "900\n9\nONE\n800\n8\nTWO\n700",
       [](const sb::Game& g) {
         EXPECT_EQ(g.hinames[1], "TWO");
         EXPECT_EQ(g.hiscores[2], 700);
         EXPECT_EQ(g.hiwaves[2], 0);
         for (int i = 3; i < 10; ++i) EXPECT_EQ(g.hiscores[i], 0);
       }},
      {"only line feeds", std::string(5000, '\n'), AllEmpty},
      {"only carriage returns", std::string(5000, '\r'), AllEmpty},
      {"an empty file", "", AllEmpty},
      {"UTF-16 text",
       "\xFF\xFE"
       "5\0"
       "0\0\n\0",
       [](const sb::Game& g) { EXPECT_EQ(g.hiscores[0], 0); }},
      {"binary junk", Junk(8192), [](const sb::Game&) {}},
  };
}

// The saved file: exactly 30 lines, each ended by CR LF, no other CR or LF.
void ExpectThirtyCrlfLines(const std::string& bytes) {
  int lines = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
      ++lines;
      ++i;
    } else {
      ASSERT_NE(bytes[i], '\n') << "bare LF at " << i;
      ASSERT_NE(bytes[i], '\0') << "NUL at " << i;
    }
  }
  EXPECT_EQ(lines, 30);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

void ExpectSameTable(const sb::Game& a, const sb::Game& b) {
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(a.hiscores[i], b.hiscores[i]) << i;
    EXPECT_EQ(a.hiwaves[i], b.hiwaves[i]) << i;
    EXPECT_EQ(a.hinames[i], b.hinames[i]) << i;
  }
}

TEST(HostileScores, AnyFileLoadsAndSavesBackAsThirtyCrlfLinesThatLoadTheSame) {
  for (const ScoreCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    World w(kBare);
    fs::create_directory("scores");
    WriteBytes(kFile, c.bytes);
    sb::LoadScores(w.g);
    c.expect(w.g);
    sb::InsertScore(w.g, 31337, "NEW", 4);
    ASSERT_TRUE(sb::SaveScores(w.g));
    ExpectThirtyCrlfLines(ReadBytes(kFile));
    sb::Game back(*w.P);
    sb::LoadScores(back);
    ExpectSameTable(back, w.g);
  }
}

TEST(HostileScores, AFolderInPlaceOfTheFileGivesTheDefaultsAndIsLeftAlone) {
  World w(kBare);
  fs::create_directories("scores/hiscores.dat/inside");
  sb::LoadScores(w.g);
  EXPECT_EQ(w.g.hiscores[0], 50000);
  EXPECT_EQ(w.g.hinames[9], "MAX");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(sb::SaveScores(w.g));
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
  EXPECT_TRUE(fs::is_directory("scores/hiscores.dat/inside"));
  EXPECT_FALSE(fs::exists("scores/hiscores.dat.tmp"));
}

}  // namespace
