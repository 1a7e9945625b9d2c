// Byte streams on files, the file helpers and the random generator.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>

#include "helpers.h"

namespace {

struct Files : ::testing::Test {
  pt::TempDir dir;
  std::unique_ptr<sb::Platform> p = sb::MakeHeadlessPlatform();
  std::vector<std::string> ReadAll(const std::string& path) {
    std::vector<std::string> lines;
    int f = p->OpenFile(path, true, false);
    EXPECT_NE(f, 0);
    while (!p->Eof(f)) lines.push_back(p->ReadLine(f));
    EXPECT_TRUE(p->CloseFile(f));
    return lines;
  }
};

TEST_F(Files, ReadLineDropsCarriageReturnsStopsAtNulAndKeepsHighBytes) {
  pt::WriteBytes(dir / "in.txt", {'a', '\r', 'b', '\n', 'c', 'd', 0, 'e', '\n', 0xE9, 0xFF, 0x80,
                                  '\r', '\n', '\n', 'l', 'a', 's', 't'});
  auto lines = ReadAll(dir / "in.txt");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "ab");
  EXPECT_EQ(lines[1], "cd");
  EXPECT_EQ(lines[2], "e");
  EXPECT_EQ(lines[3], "\xE9\xFF\x80");
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "last");  // no final newline, still whole
}

TEST_F(Files, ReadingPastTheEndGivesEmptyLines) {
  pt::WriteBytes(dir / "in.txt", {'o', 'n', 'e', '\n'});
  int f = p->OpenFile(dir / "in.txt", true, false);
  EXPECT_FALSE(p->Eof(f));
  EXPECT_EQ(p->ReadLine(f), "one");
  EXPECT_TRUE(p->Eof(f));
  EXPECT_EQ(p->ReadLine(f), "");
  EXPECT_TRUE(p->Eof(f));
  EXPECT_TRUE(p->CloseFile(f));
}

TEST_F(Files, WriteLineWritesLowBytesThenCrLf) {
  int f = p->WriteFile(dir / "out.txt");
  ASSERT_NE(f, 0);
  p->WriteLine(f, "Hi");
  p->WriteLine(f, std::string("\xE9\x00z", 3));
  p->WriteLine(f, "");
  EXPECT_TRUE(p->Eof(f));  // nothing to read on a write stream, and no harm done
  EXPECT_EQ(p->ReadLine(f), "");
  EXPECT_TRUE(p->CloseFile(f));
  EXPECT_EQ(pt::ReadBytes(dir / "out.txt"),
            (std::vector<uint8_t>{'H', 'i', 13, 10, 0xE9, 0, 'z', 13, 10, 13, 10}));
  // Writing again truncates.
  f = p->WriteFile(dir / "out.txt");
  p->WriteLine(f, "x");
  EXPECT_TRUE(p->CloseFile(f));
  EXPECT_EQ(ReadAll(dir / "out.txt"), std::vector<std::string>{"x"});
}

TEST_F(Files, UpdateStreamsReadAndWriteInTurn) {
  pt::WriteBytes(dir / "u.txt", {'a', '\n', 'b', '\n'});
  int f = p->OpenFile(dir / "u.txt", true, true);
  ASSERT_NE(f, 0);
  EXPECT_EQ(p->ReadLine(f), "a");
  p->WriteLine(f, "Z");  // overwrites "b\n" and runs on
  EXPECT_TRUE(p->Eof(f));
  EXPECT_TRUE(p->CloseFile(f));
  EXPECT_EQ(pt::ReadBytes(dir / "u.txt"), (std::vector<uint8_t>{'a', '\n', 'Z', 13, 10}));
}

TEST_F(Files, OverlongLinesAreCutButFullyConsumed) {
  std::vector<uint8_t> b(200000, 'q');
  b.push_back('\n');
  b.push_back('n');
  pt::WriteBytes(dir / "long.txt", b);
  int f = p->OpenFile(dir / "long.txt", true, false);
  EXPECT_EQ(p->ReadLine(f).size(), 64u * 1024u);
  EXPECT_EQ(p->ReadLine(f), "n");
  p->CloseFile(f);
}

TEST_F(Files, OpeningNeedsAnExistingFileAndStreamsAreDistinct) {
  EXPECT_EQ(p->OpenFile(dir / "none.txt", true, false), 0);
  EXPECT_FALSE(p->FileExists(dir / "none.txt"));
  EXPECT_EQ(p->OpenFile(dir.path.string(), true, false), 0);  // a folder is no file
  EXPECT_EQ(p->WriteFile(dir / "no/such/folder.txt"), 0);
  int a = p->WriteFile(dir / "a.txt");
  int b = p->WriteFile(dir / "b.txt");
  EXPECT_NE(a, 0);
  EXPECT_NE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_TRUE(p->CloseFile(a));
  EXPECT_FALSE(p->CloseFile(a));  // already closed
  EXPECT_FALSE(p->CloseFile(0));
  EXPECT_TRUE(p->CloseFile(b));
  EXPECT_EQ(p->ReadLine(a), "");
  EXPECT_TRUE(p->Eof(a));
  p->WriteLine(a, "ignored");
}

TEST_F(Files, WriteErrorsShowWhenClosing) {
  int f = p->WriteFile("/dev/full");
  if (f == 0) GTEST_SKIP() << "no /dev/full";
  for (int i = 0; i < 10000; ++i) p->WriteLine(f, "0123456789");
  EXPECT_FALSE(p->CloseFile(f));
}

TEST_F(Files, ReadOnlyFilesAreNotWritable) {
  pt::WriteBytes(dir / "ro.txt", {'x'});
  chmod((dir / "ro.txt").c_str(), 0444);
  if (geteuid() == 0) GTEST_SKIP() << "root may write anything";
  EXPECT_FALSE(p->FileWritable(dir / "ro.txt"));
  EXPECT_EQ(p->OpenFile(dir / "ro.txt", true, true), 0);
  EXPECT_NE(p->OpenFile(dir / "ro.txt", true, false), 0);
}

TEST_F(Files, RenameReplacesAndDirectoriesAreMadeOnce) {
  EXPECT_TRUE(p->MakeDirectory(dir / "scores"));
  EXPECT_TRUE(p->MakeDirectory(dir / "scores"));
  EXPECT_FALSE(p->MakeDirectory(dir / "x/y"));
  pt::WriteBytes(dir / "scores/new", {'n'});
  pt::WriteBytes(dir / "scores/old", {'o'});
  EXPECT_TRUE(p->FileWritable(dir / "scores/old"));
  EXPECT_TRUE(p->RenameFile(dir / "scores/new", dir / "scores/old"));
  EXPECT_FALSE(p->FileExists(dir / "scores/new"));
  EXPECT_EQ(pt::ReadBytes(dir / "scores/old"), std::vector<uint8_t>{'n'});
  EXPECT_TRUE(p->RemoveFile(dir / "scores/old"));
  EXPECT_FALSE(p->RemoveFile(dir / "scores/old"));
}

TEST(Random, KnownSequenceAfterSeedOne) {
  auto p = sb::MakeHeadlessPlatform();
  p->SeedRandom(1);
  EXPECT_NEAR(p->RandomReal(0, 1), 0.000089908690, 5e-13);
  EXPECT_NEAR(p->RandomReal(0, 1), 0.405410420645, 5e-13);
  EXPECT_NEAR(p->RandomReal(0, 1), 0.871822809866, 5e-13);
}

TEST(Random, DegenerateSeedsFallBackToTheInitialState) {
  auto p = sb::MakeHeadlessPlatform();
  EXPECT_EQ(p->Rng().State(), 0x1234);
  for (int32_t seed : {0, 0x7FFFFFFF, int32_t(0xFFFFFFFF), int32_t(0x80000000)}) {
    p->SeedRandom(seed);
    EXPECT_EQ(p->Rng().State(), 0x1234) << seed;
  }
  p->SeedRandom(int32_t(0x80000005));
  EXPECT_EQ(p->Rng().State(), 5);
}

TEST(Random, ReversedBoundsStayInTheHalfOpenRange) {
  auto p = sb::MakeHeadlessPlatform();
  p->SeedRandom(99);
  for (int i = 0; i < 10000; ++i) {
    double v = p->RandomReal(5, 1);
    ASSERT_GE(v, 1.0);
    ASSERT_LT(v, 5.0);
  }
}

TEST(Clock, HeadlessDelayAdvancesMillisWithoutSleeping) {
  auto p = sb::MakeHeadlessPlatform();
  auto& hb = sb::Headless(*p);
  int delays = 0;
  hb.on_delay = [&](int) { ++delays; };
  hb.SetMillis(0xFFFFFFF0u);
  p->Delay(35);
  EXPECT_EQ(p->Millis(), 0x13u);  // wraps like a 32-bit tick counter
  p->Delay(-10);
  EXPECT_EQ(p->Millis(), 0x13u);
  EXPECT_EQ(delays, 1);
}

}  // namespace
