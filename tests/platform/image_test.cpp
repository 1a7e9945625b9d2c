// Loading images: the strip cell rule, BMP variants SDL reads, masking, and
// files that must fail cleanly.
#include <gtest/gtest.h>

#include "helpers.h"
#include "platform/image_write.h"

namespace {

uint32_t CellColour(int i) {
  return 0x102030u + uint32_t(i) * 0x010305u;
}

struct Strip : ::testing::Test {
  pt::TempDir dir;
  std::unique_ptr<sb::Platform> p = sb::MakeHeadlessPlatform();
  std::string path = dir / "strip.bmp";
  // A w x h image of 7x12 cells, each filled with its own colour.
  void Write(int w, int h) {
    const int across = w / 7;
    ASSERT_TRUE(pt::SaveBmp24(path, w, h, [&](int x, int y) {
      return (x / 7 < across && y / 12 < h / 12) ? CellColour((y / 12) * across + x / 7) : 0u;
    }));
  }
};

TEST_F(Strip, SeventyByTwentyFourHoldsTwentyCellsNotTwentyOne) {
  Write(70, 24);
  EXPECT_NE(p->LoadImageStrip(path, 7, 12, 0, 20, -1), 0);
  EXPECT_EQ(p->LoadImageStrip(path, 7, 12, 0, 21, -1), 0);
  EXPECT_EQ(p->LoadImageStrip(path, 7, 12, 19, 2, -1), 0);
  EXPECT_NE(p->LoadImageStrip(path, 7, 12, 19, 1, -1), 0);
}

TEST_F(Strip, CellsRunAlongRowsThenDownAndLeftoverPixelsAreIgnored) {
  Write(75, 30);  // 10 across, 2 down; 5 and 6 pixels left over
  int img = p->LoadImageStrip(path, 7, 12, 5, 10, -1);
  ASSERT_NE(img, 0);
  sb::Image* im = p->Images().Get(img);
  ASSERT_EQ(im->frames.size(), 10u);
  EXPECT_EQ(im->cw, 7);
  EXPECT_EQ(im->ch, 12);
  for (int f = 0; f < 10; ++f) {
    EXPECT_EQ(im->frames[f].texels[0], CellColour(5 + f) | sb::kOpaque) << f;
    EXPECT_EQ(im->frames[f].texels[83], CellColour(5 + f) | sb::kOpaque) << f;
  }
  EXPECT_EQ(p->LoadImageStrip(path, 7, 12, 0, 21, -1), 0);
}

TEST_F(Strip, NonsenseCellArgumentsFail) {
  Write(70, 24);
  EXPECT_EQ(p->LoadImageStrip(path, 0, 12, 0, 1, -1), 0);
  EXPECT_EQ(p->LoadImageStrip(path, 7, -12, 0, 1, -1), 0);
  EXPECT_EQ(p->LoadImageStrip(path, 7, 12, -1, 2, -1), 0);
  EXPECT_EQ(p->LoadImageStrip(path, 7, 12, 0, 0, -1), 0);
  EXPECT_EQ(p->LoadImageStrip(path, 71, 12, 0, 1, -1), 0);
  EXPECT_EQ(p->LoadImageStrip(path, 7, 12, 0x7FFFFFFF, 1, -1), 0);
}

// The same 3x2 picture (red, blue, black / blue, black, red) in several
// encodings.
const uint32_t kPicture[6] = {0xFF0000, 0x0000FF, 0, 0x0000FF, 0, 0xFF0000};

std::vector<uint8_t> FourBitTopDown() {
  std::vector<uint8_t> b = {'B', 'M', 0, 0, 0, 0, 0,  0, 0,    0,    118,  0,    0, 0,
                            40,  0,   0, 0, 3, 0, 0,  0, 0xFE, 0xFF, 0xFF, 0xFF,  // w 3, h -2
                            1,   0,   4, 0, 0, 0, 0,  0, 0,    0,    0,    0,    0, 0,
                            0,   0,   0, 0, 0, 0, 16, 0, 0,    0,    0,    0,    0, 0};
  const uint8_t pal[16][4] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}};  // BGRx
  for (auto& e : pal) b.insert(b.end(), e, e + 4);
  const uint8_t rows[2][4] = {{0x12, 0x00, 0, 0}, {0x20, 0x10, 0, 0}};
  for (auto& r : rows) b.insert(b.end(), r, r + 4);
  b[2] = uint8_t(b.size());
  return b;
}

void ExpectPicture(sb::Platform& p, int img, bool masked) {
  ASSERT_NE(img, 0);
  sb::Image* im = p.Images().Get(img);
  ASSERT_EQ(im->cw, 3);
  ASSERT_EQ(im->ch, 2);
  for (int i = 0; i < 6; ++i) {
    uint32_t want = (masked && kPicture[i] == 0) ? 0u : kPicture[i] | sb::kOpaque;
    EXPECT_EQ(im->frames[0].texels[i], want) << i;
  }
}

TEST(LoadImage, ReadsPalettedTopDownAndTrueColourBottomUpAlike) {
  pt::TempDir dir;
  auto p = sb::MakeHeadlessPlatform();
  pt::WriteBytes(dir / "four.bmp", FourBitTopDown());
  ExpectPicture(*p, p->LoadImage(dir / "four.bmp", -1), true);

  ASSERT_TRUE(
      pt::SaveBmp24(dir / "rgb.bmp", 3, 2, [](int x, int y) { return kPicture[y * 3 + x]; }));
  ExpectPicture(*p, p->LoadImage(dir / "rgb.bmp", -1), true);
  ExpectPicture(*p, p->LoadImage(dir / "rgb.bmp", 0), false);  // unmasked: black stays

  SDL_Surface* s8 = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 8, SDL_PIXELFORMAT_INDEX8);
  SDL_Color cols[3] = {{0, 0, 0, 255}, {255, 0, 0, 255}, {0, 0, 255, 255}};
  SDL_SetPaletteColors(s8->format->palette, cols, 0, 3);
  const uint8_t idx[6] = {1, 2, 0, 2, 0, 1};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      static_cast<uint8_t*>(s8->pixels)[y * s8->pitch + x] = idx[y * 3 + x];
  ASSERT_EQ(SDL_SaveBMP(s8, (dir / "eight.bmp").c_str()), 0);
  SDL_FreeSurface(s8);
  ExpectPicture(*p, p->LoadImage(dir / "eight.bmp", -1), true);

  // 32-bit with an alpha channel: alpha is ignored, only black is the mask.
  SDL_Surface* s32 = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int i = 0; i < 6; ++i)
    static_cast<uint32_t*>(s32->pixels)[(i / 3) * (s32->pitch / 4) + i % 3] =
        kPicture[i] | (i == 0 ? 0x00000000u : 0x80000000u);
  ASSERT_EQ(SDL_SaveBMP(s32, (dir / "argb.bmp").c_str()), 0);
  SDL_FreeSurface(s32);
  ExpectPicture(*p, p->LoadImage(dir / "argb.bmp", -1), true);
}

TEST(LoadImage, BrokenFilesGiveNoImage) {
  pt::TempDir dir;
  auto p = sb::MakeHeadlessPlatform();
  EXPECT_EQ(p->LoadImage(dir / "missing.bmp", -1), 0);
  EXPECT_EQ(p->LoadImageStrip(dir / "missing.bmp", 7, 12, 0, 1, -1), 0);

  pt::WriteBytes(dir / "empty.bmp", {});
  EXPECT_EQ(p->LoadImage(dir / "empty.bmp", -1), 0);

  ASSERT_TRUE(pt::SaveBmp24(dir / "good.bmp", 40, 40, [](int x, int) { return uint32_t(x); }));
  auto good = pt::ReadBytes(dir / "good.bmp");
  pt::WriteBytes(dir / "cut.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 300));
  EXPECT_EQ(p->LoadImage(dir / "cut.bmp", -1), 0);

  uint32_t px[4] = {1, 2, 3, 4};
  ASSERT_TRUE(sb::WritePng(dir / "png.bmp", px, 2, 2));
  EXPECT_EQ(p->LoadImage(dir / "png.bmp", -1), 0);

  // Headers claiming huge or empty pictures are refused before any pixel is
  // allocated.
  auto header = FourBitTopDown();
  auto with_size = [&](int32_t w, int32_t h) {
    auto b = header;
    for (int i = 0; i < 4; ++i) {
      b[18 + i] = uint8_t(uint32_t(w) >> (8 * i));
      b[22 + i] = uint8_t(uint32_t(h) >> (8 * i));
    }
    pt::WriteBytes(dir / "sized.bmp", b);
    return p->LoadImage(dir / "sized.bmp", -1);
  };
  EXPECT_NE(with_size(3, -2), 0);
  EXPECT_EQ(with_size(16385, 1), 0);
  EXPECT_EQ(with_size(1, -16385), 0);
  EXPECT_EQ(with_size(0x7FFFFFFF, 0x7FFFFFFF), 0);
  EXPECT_EQ(with_size(3, int32_t(0x80000000)), 0);
  EXPECT_EQ(with_size(0, 2), 0);
  EXPECT_EQ(with_size(-3, 2), 0);

  EXPECT_EQ(p->LoadImage(dir.path.string(), -1), 0);  // a folder
}

TEST(CreateImage, BlankAndBounded) {
  auto p = sb::MakeHeadlessPlatform();
  int img = p->CreateImage(50, 8, 1, -1);
  ASSERT_NE(img, 0);
  sb::Image* im = p->Images().Get(img);
  EXPECT_EQ(im->frames[0].texels, std::vector<uint32_t>(400, 0u));
  EXPECT_NE(p->CreateImage(50, 8, 1, -1), img);
  EXPECT_EQ(p->CreateImage(0, 8, 1, -1), 0);
  EXPECT_EQ(p->CreateImage(8, 8, 0, -1), 0);
  EXPECT_EQ(p->CreateImage(16384, 16384, 1 << 20, -1), 0);
  EXPECT_EQ(p->Images().Get(0), nullptr);
  EXPECT_EQ(p->Images().Get(img + 2), nullptr);
}

}  // namespace
