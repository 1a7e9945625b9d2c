// The generator on good and bad sources: a broken or missing source stops
// it with the file and line named and nothing written, and the same
// sources always make the same bytes.
#include <gtest/gtest.h>

#include "support.h"

namespace {

namespace fs = std::filesystem;

struct Generator : ::testing::Test {
  at::TempDir tmp;
  fs::path assets = tmp / "assets";
  fs::path out = tmp / "out";

  void SetUp() override { fs::copy(at::kAssets, assets, fs::copy_options::recursive); }

  at::RunResult Run() {
    return at::RunAssetgen("--assets \"" + assets.string() + "\" --out \"" + out.string() + "\"",
                           tmp.path);
  }

  // Replaces the first line (at or after line `from`) that equals `line`
  // after trimming; returns its 1-based number, 0 if there is none.
  int ReplaceLine(const fs::path& file, const std::string& line, const std::string& with,
                  int from = 1) {
    std::string text = at::ReadText(file), result;
    int n = 0, found = 0;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string l = text.substr(pos, end - pos);
      ++n;
      std::string t = l;
      t.erase(0, t.find_first_not_of(" \t"));
      t.erase(t.find_last_not_of(" \t") + 1);
      if (!found && n >= from && t == line) {
        found = n;
        l = with;
      }
      result += l + "\n";
      pos = end + 1;
    }
    at::WriteText(file, result);
    return found;
  }

  int LineOf(const fs::path& file, const std::string& line) {
    std::string text = at::ReadText(file);
    int n = 0;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      ++n;
      if (text.substr(pos, end - pos) == line) return n;
      pos = end + 1;
    }
    return 0;
  }

  void ExpectFailure(const at::RunResult& r, const std::string& where, const std::string& what) {
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find(where), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(what), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out / "images")) << "a failed run must write nothing";
    EXPECT_FALSE(fs::exists(out / "sounds"));
  }
};

TEST_F(Generator, GoodSourcesMakeExactlyWhatTheBuildMade) {
  at::RunResult r = Run();
  ASSERT_EQ(r.exit_code, 0) << r.err;
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(out)) {
    if (!e.is_regular_file()) continue;
    ++files;
    fs::path rel = fs::relative(e.path(), out);
    EXPECT_EQ(at::ReadBytes(e.path()), at::ReadBytes(at::kGameDir / rel)) << rel;
  }
  // 22 images, the window icon, 27 sounds, two desktop icons and the
  // scalable one.
  EXPECT_EQ(files, 22 + 1 + 27 + 3);
}

TEST_F(Generator, AMissingSoundSourceIsNamed) {
  fs::remove(assets / "sounds" / "tank.sfx");
  ExpectFailure(Run(), "tank.sfx", "missing");
}

TEST_F(Generator, AMissingImageSourceIsNamed) {
  fs::remove(assets / "images" / "hulks.art");
  ExpectFailure(Run(), "hulks.art", "missing");
}

TEST_F(Generator, AStrayRowWidthIsReportedAtItsLine) {
  fs::path f = assets / "images" / "grunts.art";
  int sprite = LineOf(f, "sprite step1");
  ASSERT_GT(sprite, 0);
  int line = ReplaceLine(f, "..VEVEV..", "..VEVEV.", sprite);
  ASSERT_GT(line, 0);
  ExpectFailure(Run(), "grunts.art:" + std::to_string(line) + ":", "wide");
}

// One edited line in a source: the run fails naming the file, the line and
// what is wrong with it.
struct BadLine {
  const char* file;  // under the assets folder
  const char* line;  // as it stands, trimmed
  const char* with;
  const char* what;  // in the message
};

void PrintTo(const BadLine& b, std::ostream* os) {
  *os << b.file << ": " << b.with;
}

struct OneBadLine : Generator, ::testing::WithParamInterface<BadLine> {};

TEST_P(OneBadLine, IsReportedAtItsLine) {
  const BadLine& b = GetParam();
  const int line = ReplaceLine(assets / b.file, b.line, b.with);
  ASSERT_GT(line, 0);
  ExpectFailure(Run(), fs::path(b.file).filename().string() + ":" + std::to_string(line) + ":",
                b.what);
}

INSTANTIATE_TEST_SUITE_P(
    Generator, OneBadLine,
    ::testing::Values(
        BadLine{"images/balls.art", "oOPOo", "oOQOo", "'Q'"},  // not in the palette
        // colours come from the master palette, by name; black is not one
        BadLine{"images/balls.art", "o magenta", "o fuchsia", "'fuchsia' is not a colour"},
        BadLine{"images/balls.art", "o magenta", "o 170 30 150", "palette.pal"},
        BadLine{"images/palette.pal", "white 255 255 255", "white 0 0 0", "transparent"},
        BadLine{"images/palette.pal", "red   216  44  60", "red 216 44", "NAME R G B"},
        BadLine{"images/arrow.art", "cells 0 arrow arrow : bevel", "cells 0 arrow arrow : dim 0.5",
                "whole number"},
        BadLine{"images/pluses.art", "across 8", "acros 8", "acros"},  // unknown directive
        BadLine{"sounds/bonus.sfx", "loudness -11", "loudness 0", "'loudness' value 0 is outside"},
        // a voice of 2 s makes the sound too long
        BadLine{"sounds/prog.sfx", "env 0.001 0.01 0.04", "length 2", "outside"}));

TEST_F(Generator, ACellLeftUndefinedIsReported) {
  fs::path f = assets / "images" / "balls.art";
  ASSERT_GT(ReplaceLine(f, "cells 0 shell b0 b1 b2 b3", "cells 0 shell b0 b1 b2"), 0);
  ExpectFailure(Run(), "balls.art", "cell 3");
}

TEST_F(Generator, AnEmptyAssetFolderIsAnErrorNotACrash) {
  fs::remove_all(assets);
  fs::create_directories(assets);
  at::RunResult r = Run();
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("missing"), std::string::npos) << r.err;
}

TEST_F(Generator, TheContactSheetShowsTheImagesAndFailsWithoutThem) {
  fs::path sheet = tmp / "sheet.png";
  at::RunResult r = at::RunAssetgen("--contact-sheet \"" + sheet.string() + "\" --images \"" +
                                        (at::kGameDir / "images").string() + "\"",
                                    tmp.path);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  auto png = at::ReadBytes(sheet);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png[1], 'P');
  EXPECT_GT(at::Be32(png, 16), 1000u);  // wide enough for cells at 4x
  r = at::RunAssetgen(
      "--contact-sheet \"" + sheet.string() + "\" --images \"" + (tmp / "nowhere").string() + "\"",
      tmp.path);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("player.bmp"), std::string::npos) << r.err;
}

}  // namespace
