// Image files as a player's disk may hold them: cut short, with impossible
// dimensions, in formats we do not read, or not files at all. Every such
// image counts as missing (named in errors.log, start-up ends); unusual but
// valid BMPs load and cut into the same cells as a plain one.
#include <gtest/gtest.h>

#include <functional>

#include "bad_files.h"
#include "platform/image_store.h"
#include "platform/image_write.h"
#include "support/world.h"

using namespace sbt;
using namespace hostile;

namespace {

// The catalogue image the cases replace: 12 cells of 9 x 13 in one row.
constexpr const char* kGrunts = "images/grunts.bmp";
constexpr int kW = 108, kH = 13;

std::string Plain() {
  return MakeBmp(kW, kH, 24);
}

std::string With32(std::string s, size_t at, uint32_t v) {
  Put32(s, at, v);
  return s;
}
std::string With16(std::string s, size_t at, uint32_t v) {
  Put16(s, at, v);
  return s;
}

std::string PngBytes() {
  std::vector<uint32_t> px(static_cast<size_t>(kW) * kH, 0x804020u);
  const std::vector<uint8_t> png = sb::EncodePng(px.data(), kW, kH);
  return std::string(png.begin(), png.end());
}

struct ImageCase {
  const char* what;
  std::function<std::string()> bytes;
  bool loads;
};

const ImageCase kCases[] = {
    {"header cut after 10 bytes", [] { return Plain().substr(0, 10); }, false},
    {"header cut inside the info header", [] { return Plain().substr(0, 30); }, false},
    {"pixel data missing", [] { return Plain().substr(0, kBmpHeaderSize); }, false},
    {"pixel data cut in half",
     [] {
       const std::string s = Plain();
       return s.substr(0, kBmpHeaderSize + (s.size() - kBmpHeaderSize) / 2);
     },
     false},
    {"width 0", [] { return With32(Plain(), kBmpWidth, 0); }, false},
    {"height 0", [] { return With32(Plain(), kBmpHeight, 0); }, false},
    {"negative width", [] { return With32(Plain(), kBmpWidth, static_cast<uint32_t>(-kW)); },
     false},
    {"width 100000", [] { return With32(Plain(), kBmpWidth, 100000); }, false},
    {"height 100000", [] { return With32(Plain(), kBmpHeight, 100000); }, false},
    {"height -100000", [] { return With32(Plain(), kBmpHeight, static_cast<uint32_t>(-100000)); },
     false},
    {"width and height 2^31 - 1",
     [] { return With32(With32(Plain(), kBmpWidth, 0x7FFFFFFF), kBmpHeight, 0x7FFFFFFF); }, false},
    {"JPEG compression", [] { return With32(Plain(), kBmpCompression, 4); }, false},
    {"PNG compression", [] { return With32(Plain(), kBmpCompression, 5); }, false},
    {"unknown compression", [] { return With32(Plain(), kBmpCompression, 77); }, false},
    {"bit depth 7", [] { return With16(Plain(), kBmpBpp, 7); }, false},
    {"bit depth 0", [] { return With16(Plain(), kBmpBpp, 0); }, false},
    {"pixel data beyond the end of the file",
     [] { return With32(Plain(), kBmpDataOffset, 0x7FFFFFF0); }, false},
    {"RLE8 runs past the end of the image",
     [] {
       std::string s = MakeRle8Bmp(kW, kH);
       return s.substr(0, s.size() - 2) + std::string(4000, '\xFF');
     },
     false},
    {"RLE8 data cut short",
     [] {
       const std::string s = MakeRle8Bmp(kW, kH);
       return s.substr(0, s.size() - 200);
     },
     false},
    {"a PNG file named .bmp", PngBytes, false},
    {"an empty file", [] { return std::string(); }, false},
    {"one cell short", [] { return MakeBmp(kW - 9, kH, 24); }, false},
    // Valid files in less common forms load.
    {"top-down rows", [] { return MakeBmp(kW, -kH, 24); }, true},
    {"32 bits per pixel", [] { return MakeBmp(kW, kH, 32); }, true},
    {"8-bit palette", [] { return MakeBmp(kW, kH, 8); }, true},
    {"1 bit per pixel", [] { return MakeBmp(kW, kH, 1); }, true},
    {"RLE8 compressed", [] { return MakeRle8Bmp(kW, kH); }, true},
    {"bytes after the pixel data", [] { return Plain() + std::string(5000, '\x7F'); }, true},
    {"more cells than needed", [] { return MakeBmp(kW + 50, kH * 3, 24); }, true},
    // A palette count beyond what the bit depth can index is capped.
    {"palette of 4 billion colours",
     [] { return With32(MakeBmp(kW, kH, 8), kBmpColoursUsed, 0xFFFFFFFF); }, true},
};

const char* const kGruntsMissing = "Failed to load file: grunts.bmpCheck Directory Structure.\r\n";

TEST(HostileImages, EachBadFileCountsAsMissingAndEachValidOneLoads) {
  for (const ImageCase& c : kCases) {
    SCOPED_TRACE(c.what);
    World w(kBare);
    WriteTestAssets();
    WriteBytes(kGrunts, c.bytes());
    EXPECT_EQ(sb::StartUp(w.g, &w.seed), c.loads);
    if (c.loads) {
      EXPECT_NE(w.g.img.imggrunts, 0);
      EXPECT_FALSE(fs::exists("errors.log"));
    } else {
      EXPECT_EQ(w.g.img.imggrunts, 0);
      EXPECT_NE(w.g.img.imghulks, 0);  // its neighbours are unaffected
      EXPECT_NE(w.g.img.imgprogs, 0);
      EXPECT_EQ(ReadBytes("errors.log"), kGruntsMissing);
    }
  }
}

TEST(HostileImages, AFolderOrAnUnreadableFileInPlaceOfAnImageIsMissing) {
  {
    World w(kBare);
    WriteTestAssets();
    fs::remove(kGrunts);
    fs::create_directory(kGrunts);
    EXPECT_FALSE(sb::StartUp(w.g, &w.seed));
    EXPECT_EQ(ReadBytes("errors.log"), kGruntsMissing);
  }
  {
    // A single-frame image far too large to be one of ours.
    World w(kBare);
    WriteTestAssets();
    WriteBytes("images/tessik.bmp", With32(MakeBmp(80, 40, 24), kBmpWidth, 100000));
    EXPECT_FALSE(sb::StartUp(w.g, &w.seed));
    EXPECT_EQ(ReadBytes("errors.log"),
              "Failed to load file: tessik.bmpCheck Directory Structure.\r\n");
  }
}

// Cell i of a 9-pixel-wide strip as loaded, or empty when the load failed.
std::vector<std::vector<uint32_t>> Cells(const std::string& bytes) {
  WriteBytes("strip.bmp", bytes);
  sb::ImageStore store;
  const int h = store.LoadImageStrip("strip.bmp", 9, kH, 0, 12, -1);
  std::vector<std::vector<uint32_t>> out;
  if (const sb::Image* img = store.Get(h))
    for (const sb::Frame& f : img->frames) out.push_back(f.texels);
  return out;
}

TEST(HostileImages, RowOrderAndPixelFormatDoNotChangeTheCells) {
  TempDir dir;
  const auto plain = Cells(Plain());
  ASSERT_EQ(plain.size(), 12u);
  // Cell 5, row 0, column 2 holds the colour written there.
  EXPECT_EQ(plain[5][2], TestColour(5 * 9 + 2, 0, 9) | sb::kOpaque);
  EXPECT_EQ(Cells(MakeBmp(kW, -kH, 24)), plain);
  EXPECT_EQ(Cells(MakeBmp(kW, kH, 32)), plain);
  EXPECT_EQ(Cells(Plain() + "trailing"), plain);
}

}  // namespace
