// The top-ten table: parsing, loading, insertion and the crash-safe save.
#include "scores/hiscores.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <functional>

#include "support/world.h"

using namespace sbt;

namespace {

constexpr const char* kFile = "scores/hiscores.dat";

// The bytes the game writes for the default table.
std::string DefaultFileBytes() {
  std::string s;
  for (int i = 0; i < 10; ++i)
    s += std::to_string((10 - i) * 5000) + "\r\n" + std::to_string(10 - i) + "\r\nMAX\r\n";
  return s;
}

void ExpectRow(const sb::Game& g, int i, int32_t score, int32_t wave, const std::string& name) {
  EXPECT_EQ(g.hiscores[i], score) << "row " << i;
  EXPECT_EQ(g.hiwaves[i], wave) << "row " << i;
  EXPECT_EQ(g.hinames[i], name) << "row " << i;
}

void ExpectDefaultTable(const sb::Game& g) {
  for (int i = 0; i < 10; ++i) ExpectRow(g, i, (10 - i) * 5000, 10 - i, "MAX");
}

// A world whose folder has the (empty) scores folder the table lives in.
struct WithScoresFolder : World {
  WithScoresFolder() : World(kBare) { fs::create_directory("scores"); }
};

// Runs f in a child process without root's privileges (so file modes bite
// even when the tests run as root); true when f returned true.
bool AsUnprivileged(const std::function<bool()>& f) {
  std::error_code ec;
  fs::permissions(fs::current_path(), fs::perms::all, ec);
  fs::permissions("scores", fs::perms::all, ec);
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    _exit(f() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// --- text to integer ---

TEST(StrToInt, LenientDecimalHexAndBinary) {
  const std::pair<const char*, int32_t> cases[] = {
      {"50000", 50000},
      {"", 0},
      {"   ", 0},
      {"abc", 0},
      {"-", 0},
      {" \t\r\n\v\f42", 42},
      {"+7", 7},
      {"-12", -12},
      {"123abc", 123},
      {"12 34", 12},
      {"--5", 0},
      {"- 5", 0},
      {"$ff", 255},
      {"$7FFFFFFF", INT_MAX},
      {"-$10", -16},
      {"$g", 0},
      {"%101", 5},
      {"%102", 2},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", INT_MIN},  // wraps like 32-bit arithmetic
      {"4294967295", -1},
      {"4294967296", 0},
      {"4294967301", 5},
      {"99999999999999999999999999999", static_cast<int32_t>(0x9FFFFFFFu)},
      {"$123456789", 0x23456789},
      {"\xA0"
       "5",
       0},  // a Latin-1 no-break space is not white space
  };
  for (auto [text, want] : cases) EXPECT_EQ(sb::StrToInt(text), want) << '"' << text << '"';
}

// --- loading ---

TEST(LoadScores, NoFileGivesTheDefaultTableAndLeavesTheSpareRow) {
  WithScoresFolder w;
  w.g.hiscores[10] = 77;
  sb::LoadScores(w.g);
  ExpectDefaultTable(w.g);
  EXPECT_EQ(w.g.hiscores[10], 77);
}

TEST(LoadScores, LineEndingsDoNotMatter) {
  std::string crlf = DefaultFileBytes();
  crlf.replace(crlf.find("MAX"), 3, "AB ");  // trailing space is part of the name
  std::string lf, bare;
  for (char c : crlf)
    if (c != '\r') lf += c;
  bare = lf.substr(0, lf.size() - 1);  // no final line end
  std::string mixed = lf;
  mixed.insert(mixed.find('\n'), "\r\r");
  for (const std::string& bytes : {crlf, lf, bare, mixed}) {
    WithScoresFolder w;
    WriteBytes(kFile, bytes);
    sb::LoadScores(w.g);
    EXPECT_EQ(w.g.hinames[0], "AB ");
    EXPECT_EQ(w.g.hiscores[0], 50000);
    ExpectRow(w.g, 9, 5000, 1, "MAX");
  }
}

TEST(LoadScores, ShortOrOddFilesAreTakenAsTheyStand) {
  WithScoresFolder w;
  // Four lines: row 0 in full, row 1's score, then nothing. A zero byte ends a line.
  WriteBytes(kFile, std::string("  900 points\n$1F\nZ\xE9Q\n-5\n") + '\0' + "junk");
  w.g.hinames[5] = "old";
  sb::LoadScores(w.g);
  ExpectRow(w.g, 0, 900, 31, "Z\xE9Q");  // Latin-1 byte kept
  ExpectRow(w.g, 1, -5, 0, "junk");
  for (int i = 2; i < 10; ++i) ExpectRow(w.g, i, 0, 0, "");
}

TEST(LoadScores, AReadOnlyFileGivesTheDefaults) {
  WithScoresFolder w;
  WriteBytes(kFile, "1\r\n1\r\nRO\r\n");
  fs::permissions(kFile, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(AsUnprivileged([&] {
    sb::LoadScores(w.g);
    return w.g.hiscores[0] == 50000 && w.g.hinames[0] == "MAX" && w.g.hiscores[9] == 5000;
  }));
}

// --- insertion ---

TEST(InsertScore, EqualScoresRankBelowOlderOnes) {
  World w(kBare);
  sb::DefaultScores(w.g);
  w.g.hinames[1] = "OLD";
  w.g.hinames[8] = "R8";
  sb::InsertScore(w.g, 45000, "NEW", 4);
  EXPECT_EQ(w.g.hinames[1], "OLD");
  ExpectRow(w.g, 2, 45000, 4, "NEW");
  for (int i = 3; i < 10; ++i) {
    EXPECT_EQ(w.g.hiscores[i], (10 - i + 1) * 5000) << i;
    EXPECT_EQ(w.g.hiwaves[i], 10 - i + 1) << i;
  }
  EXPECT_EQ(w.g.hinames[9], "R8");
  EXPECT_EQ(w.g.lowscore, 10000);
}

TEST(InsertScore, ATopScoreShiftsEveryRowAndAnEqualTenthGoesToTheSpareRow) {
  World w(kBare);
  sb::DefaultScores(w.g);
  sb::InsertScore(w.g, 60000, "TOP", 12);
  EXPECT_EQ(w.g.hiscores[0], 60000);
  EXPECT_EQ(w.g.hiscores[1], 50000);
  EXPECT_EQ(w.g.hiscores[9], 10000);
  EXPECT_EQ(w.g.lowscore, 10000);

  sb::InsertScore(w.g, 10000, "EQ", 1);
  EXPECT_EQ(w.g.hiscores[9], 10000);
  EXPECT_NE(w.g.hinames[9], "EQ");
  EXPECT_EQ(w.g.hinames[10], "EQ");
  EXPECT_EQ(w.g.lowscore, 10000);

  // An all-zero table: a score of 0 never enters it.
  World z(kBare);
  sb::InsertScore(z.g, 0, "ZER", 1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(z.g.hinames[i], "");
}

// --- saving ---

TEST(SaveScores, WritesThirtyCrlfLinesByteExactAndRoundTrips) {
  WithScoresFolder w;
  sb::DefaultScores(w.g);
  EXPECT_TRUE(sb::SaveScores(w.g));
  EXPECT_EQ(ReadBytes(kFile), DefaultFileBytes());

  w.g.hinames[3] = "B \xC4";
  w.g.hinames[4] = "  ";
  w.g.hiscores[5] = -7;
  w.g.hiscores[6] = INT_MIN;
  EXPECT_TRUE(sb::SaveScores(w.g));
  const std::string bytes = ReadBytes(kFile);
  EXPECT_NE(bytes.find("\r\nB \xC4\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n-2147483648\r\n"), std::string::npos);
  sb::Game back(*w.P);
  sb::LoadScores(back);
  for (int i = 0; i < 10; ++i) ExpectRow(back, i, w.g.hiscores[i], w.g.hiwaves[i], w.g.hinames[i]);
  EXPECT_FALSE(fs::exists("scores/hiscores.dat.tmp"));
}

TEST(SaveScores, CreatesAMissingScoresFolder) {
  World w(kBare);
  sb::DefaultScores(w.g);
  EXPECT_TRUE(sb::SaveScores(w.g));
  EXPECT_EQ(ReadBytes(kFile), DefaultFileBytes());
}

TEST(SaveScores, ASaveCutShortBeforeTheRenameLeavesTheOldTable) {
  // A run that died after writing part of the temporary file: the table on
  // disk is the old one, whole; the next save replaces both.
  WithScoresFolder w;
  std::string old = DefaultFileBytes();
  old.replace(0, 5, "77777");
  WriteBytes(kFile, old);
  WriteBytes("scores/hiscores.dat.tmp", "123\r\n4\r\nHA");
  sb::LoadScores(w.g);
  EXPECT_EQ(w.g.hiscores[0], 77777);
  EXPECT_EQ(w.g.hinames[9], "MAX");
  w.g.hiscores[0] = 88888;
  EXPECT_TRUE(sb::SaveScores(w.g));
  EXPECT_EQ(ReadBytes(kFile).substr(0, 7), "88888\r\n");
  EXPECT_EQ(ReadBytes(kFile).size(), old.size());
  EXPECT_FALSE(fs::exists("scores/hiscores.dat.tmp"));
}

TEST(SaveScores, AFailedSaveKeepsTheOldTableAndSaysSo) {
  WithScoresFolder w;
  WriteBytes(kFile, DefaultFileBytes());
  fs::create_directory("scores/hiscores.dat.tmp");  // the temporary file cannot be made
  w.g.hiscores[0] = 1;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(sb::SaveScores(w.g));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(ReadBytes(kFile), DefaultFileBytes());

  // A "scores" that is a file, not a folder.
  World f(kBare);
  WriteBytes("scores", "not a folder");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(sb::SaveScores(f.g));
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
}

TEST(SaveScores, AReadOnlyTableIsLeftAlone) {
  WithScoresFolder w;
  WriteBytes(kFile, DefaultFileBytes());
  fs::permissions(kFile, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  sb::DefaultScores(w.g);
  w.g.hiscores[0] = 99999;
  EXPECT_TRUE(AsUnprivileged([&] {
    testing::internal::CaptureStderr();
    const bool saved = sb::SaveScores(w.g);
    const std::string err = testing::internal::GetCapturedStderr();
    return !saved && !err.empty() && !fs::exists("scores/hiscores.dat.tmp");
  }));
  EXPECT_EQ(ReadBytes(kFile), DefaultFileBytes());
}

TEST(SaveScores, QuittingWithAnUnsavableTableStillEndsNormally) {
  World w(kBare);
  ASSERT_TRUE(w.Start());
  fs::remove_all("scores");
  WriteBytes("scores", "in the way");
  w.g.quitgame = 1;
  testing::internal::CaptureStderr();
  sb::RunScreenLoop(w.g);
  sb::ShutDown(w.g);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("not saved"), std::string::npos);
  EXPECT_FALSE(w.hb.WindowOpen());
}

}  // namespace
