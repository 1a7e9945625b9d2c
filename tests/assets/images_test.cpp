// The generated images, loaded the way the game loads them: every catalogue
// row with its exact cut and count, no used cell empty, the wave-label
// glyphs narrow enough for their fixed places, and animation cells that
// really animate.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "platform/headless_backend.h"
#include "platform/image_store.h"
#include "support.h"

namespace {

struct Row {
  const char* file;
  int cw, ch, frames;  // 0 x 0: a single image
};

// The game's image catalogue, in load order.
const Row kCatalogue[] = {
    {"player.bmp", 7, 12, 79},     {"hulks.bmp", 13, 16, 48},   {"grunts.bmp", 9, 13, 12},
    {"progs.bmp", 8, 16, 108},     {"brains.bmp", 13, 16, 72},  {"cruises.bmp", 3, 3, 8},
    {"spheroids.bmp", 13, 13, 14}, {"enforcers.bmp", 9, 11, 8}, {"quarks.bmp", 13, 13, 14},
    {"tanks.bmp", 13, 16, 8},      {"balls.bmp", 5, 5, 4},      {"pluses.bmp", 7, 7, 8},
    {"electrodes.bmp", 18, 9, 50}, {"humans.bmp", 8, 15, 36},   {"shots.bmp", 8, 8, 9},
    {"death.bmp", 13, 12, 8},      {"bits.bmp", 12, 1, 120},    {"bits.bmp", 1, 12, 120},
    {"points.bmp", 12, 6, 30},     {"kelfont.bmp", 6, 7, 80},   {"arrow.bmp", 0, 0, 1},
    {"tessik.bmp", 0, 0, 1},       {"zantrel.bmp", 22, 1, 270},
};

struct Images : ::testing::Test {
  std::unique_ptr<sb::Platform> p = sb::MakeHeadlessPlatform();

  const sb::Image& Load(const std::string& file, int cw, int ch, int frames) {
    std::string path = (at::kGameDir / "images" / file).string();
    int h = cw ? p->LoadImageStrip(path, cw, ch, 0, frames, -1) : p->LoadImage(path, -1);
    EXPECT_NE(h, 0) << file;
    static const sb::Image kNone;
    const sb::Image* img = p->Images().Get(h);
    return img ? *img : kNone;
  }
  static bool Drawn(uint32_t texel) { return (texel >> 24) != 0; }
  static int DrawnCount(const sb::Frame& f) {
    return static_cast<int>(std::count_if(f.texels.begin(), f.texels.end(), Drawn));
  }
  // Columns [lo, hi) of the drawn pixels of a cell; lo = hi = 0 when empty.
  static std::pair<int, int> Columns(const sb::Image& img, int cell) {
    int lo = img.cw, hi = 0;
    for (int y = 0; y < img.ch; ++y)
      for (int x = 0; x < img.cw; ++x)
        if (Drawn(img.frames[cell].texels[y * img.cw + x])) {
          lo = std::min(lo, x);
          hi = std::max(hi, x + 1);
        }
    return hi ? std::make_pair(lo, hi) : std::make_pair(0, 0);
  }
};

TEST_F(Images, EveryCatalogueRowLoadsWithItsCutAndCountAndNoSpareCellsAreMissing) {
  for (const Row& r : kCatalogue) {
    SCOPED_TRACE(r.file);
    const sb::Image& img = Load(r.file, r.cw, r.ch, r.frames);
    ASSERT_EQ(static_cast<int>(img.frames.size()), r.frames);
    if (r.cw) {
      EXPECT_EQ(img.cw, r.cw);
      EXPECT_EQ(img.ch, r.ch);
    }
  }
}

TEST_F(Images, SingleImagesFitTheirPlaces) {
  // The emblem is drawn at (240, 160) at scale 2 between the title (ending at
  // y 118) and the text at y 260: at most 80 x 45.
  const sb::Image& logo = Load("tessik.bmp", 0, 0, 1);
  EXPECT_LE(logo.cw, 80);
  EXPECT_LE(logo.ch, 45);
  // The arrow stands in the 40 pixels left of its line, 2 above it.
  const sb::Image& arrow = Load("arrow.bmp", 0, 0, 1);
  EXPECT_LE(arrow.cw * 2, 40);
  EXPECT_LE(arrow.ch * 2, 20);
}

TEST_F(Images, NoUsedCellIsEmpty) {
  for (const Row& r : kCatalogue) {
    SCOPED_TRACE(r.file);
    const sb::Image& img = Load(r.file, r.cw, r.ch, r.frames);
    for (int c = 0; c < static_cast<int>(img.frames.size()); ++c) {
      // Shot cell 4 would be a shot standing still, which is never fired.
      if (std::string(r.file) == "shots.bmp" && c == 4) continue;
      EXPECT_GT(DrawnCount(img.frames[c]), 0) << "cell " << c;
    }
  }
}

TEST_F(Images, TheUnusedShotCellStaysEmptyAndTheOthersPointTheirWay) {
  const sb::Image& img = Load("shots.bmp", 8, 8, 9);
  EXPECT_EQ(DrawnCount(img.frames[4]), 0);
  // Bounding box of a cell: horizontal bolts are wider than tall, vertical
  // ones taller than wide.
  auto box = [&](int cell) {
    int x0 = 8, y0 = 8, x1 = 0, y1 = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if (Drawn(img.frames[cell].texels[y * 8 + x])) {
          x0 = std::min(x0, x);
          y0 = std::min(y0, y);
          x1 = std::max(x1, x + 1);
          y1 = std::max(y1, y + 1);
        }
    return std::make_pair(x1 - x0, y1 - y0);
  };
  for (int cell : {3, 5}) EXPECT_GT(box(cell).first, box(cell).second) << cell;
  for (int cell : {1, 7}) EXPECT_GT(box(cell).second, box(cell).first) << cell;
}

TEST_F(Images, BlackIsTheOnlyTransparentColourAndNoDrawnPixelIsBlack) {
  // A drawn pixel of exactly (0, 0, 0) would vanish under the mask.
  for (const Row& r : kCatalogue) {
    SCOPED_TRACE(r.file);
    const sb::Image& img = Load(r.file, r.cw, r.ch, r.frames);
    for (const sb::Frame& f : img.frames)
      for (uint32_t t : f.texels) {
        if (Drawn(t)) {
          ASSERT_NE(t & 0xFFFFFF, 0u);
        }
      }
  }
}

// The master palette's ramps, darkest first, as images/palette.pal lists them.
std::vector<std::vector<uint32_t>> MasterRamps() {
  std::vector<std::vector<uint32_t>> ramps;
  std::istringstream in(at::ReadText(at::kAssets / "images" / "palette.pal"));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string name;
    int r, g, b;
    if (!(words >> name) || name[0] == '#' || name == "end") continue;
    if (name == "ramp")
      ramps.emplace_back();
    else if (words >> r >> g >> b && !ramps.empty())
      ramps.back().push_back(static_cast<uint32_t>(r << 16 | g << 8 | b));
  }
  return ramps;
}

TEST_F(Images, EveryPixelComesFromTheMasterPaletteWhoseShadesShiftInHue) {
  std::set<uint32_t> master;
  for (const auto& ramp : MasterRamps()) {
    master.insert(ramp.begin(), ramp.end());
    // Along a ramp colours get lighter, and the light end is warmer (less
    // blue in the mix) than the dark end.
    auto sum = [](uint32_t c) { return (c >> 16) + ((c >> 8) & 255) + (c & 255); };
    auto blue = [&](uint32_t c) { return (c & 255) / static_cast<double>(sum(c)); };
    for (size_t i = 1; i < ramp.size(); ++i) EXPECT_GT(sum(ramp[i]), sum(ramp[i - 1])) << i;
    if (ramp.size() > 2) {
      EXPECT_LT(blue(ramp.back()), blue(ramp.front()));
    }
  }
  EXPECT_GE(master.size(), 16u);
  EXPECT_LE(master.size(), 32u);
  for (const Row& r : kCatalogue) {
    SCOPED_TRACE(r.file);
    const sb::Image& img = Load(r.file, r.cw, r.ch, r.frames);
    for (size_t c = 0; c < img.frames.size(); ++c)
      for (uint32_t t : img.frames[c].texels)
        if (Drawn(t)) {
          ASSERT_TRUE(master.count(t & 0xFFFFFF)) << "cell " << c << " " << std::hex << t;
        }
  }
}

TEST_F(Images, EveryExplosionStripCarriesPixelsUnderBothCuts) {
  const sb::Image& rows = Load("bits.bmp", 12, 1, 120);
  const sb::Image& cols = Load("bits.bmp", 1, 12, 120);
  for (int c = 0; c < 120; ++c) {
    EXPECT_GT(DrawnCount(rows.frames[c]), 0) << "row strip " << c;
    EXPECT_GT(DrawnCount(cols.frames[c]), 0) << "column strip " << c;
  }
  // Both cuts read the same picture: row k of picture r holds, at column i,
  // the pixel that column i of that picture holds at row k.
  for (int r = 0; r < 10; ++r)
    for (int k = 0; k < 12; ++k)
      for (int i = 0; i < 12; ++i)
        ASSERT_EQ(rows.frames[12 * r + k].texels[i], cols.frames[12 * r + i].texels[k]);
}

TEST_F(Images, WaveLabelGlyphsFitTheirFixedPlaces) {
  // The label puts W at x 0, A at 6, V at 10, E at 14 and digits every 4
  // pixels from 16 to 28; glyphs start at their cell's left edge.
  const sb::Image& font = Load("kelfont.bmp", 6, 7, 80);
  auto width = [&](int cell) {
    auto c = Columns(font, cell);
    EXPECT_EQ(c.first, 0) << "glyph " << cell << " does not start at the left edge";
    return c.second;
  };
  for (int d = 0; d <= 9; ++d) EXPECT_LE(width(d), 3) << "digit " << d;
  EXPECT_LE(width(10), 4);  // A
  EXPECT_LE(width(31), 4);  // V
  EXPECT_LE(width(14), 4);  // E
  EXPECT_LE(width(32), 6);  // W
  // Score digits of the text font stand 12 display pixels (6 texels) apart:
  // a digit wider than 5 would touch its neighbour.
  for (int d = 40; d <= 49; ++d) EXPECT_LE(Columns(font, d).second, 5) << "text digit " << d - 40;
}

TEST_F(Images, TheTwoFontSetsHoldDifferentGlyphsForEveryCharacter) {
  const sb::Image& font = Load("kelfont.bmp", 6, 7, 80);
  std::set<std::vector<uint32_t>> text_glyphs;
  for (int c = 40; c < 80; ++c) text_glyphs.insert(font.frames[c].texels);
  EXPECT_EQ(text_glyphs.size(), 40u) << "two text glyphs are identical";
  std::set<std::vector<uint32_t>> small_glyphs;
  for (int c = 0; c < 40; ++c) small_glyphs.insert(font.frames[c].texels);
  EXPECT_EQ(small_glyphs.size(), 40u) << "two small glyphs are identical";
}

// Walking cells: the three steps of a facing differ, the four facings differ
// and the colour sets differ.
void ExpectWalkBlocks(const sb::Image& img, int sets, int per_set) {
  for (int s = 0; s < sets; ++s)
    for (int f = 0; f < per_set / 3; ++f) {
      int base = s * per_set + 3 * f;
      EXPECT_NE(img.frames[base].texels, img.frames[base + 1].texels) << base;
      EXPECT_NE(img.frames[base + 1].texels, img.frames[base + 2].texels) << base;
      EXPECT_NE(img.frames[base].texels, img.frames[base + 2].texels) << base;
      for (int g = f + 1; g < per_set / 3; ++g)
        EXPECT_NE(img.frames[base + 1].texels, img.frames[s * per_set + 3 * g + 1].texels)
            << "facings " << f << " and " << g << " of set " << s;
    }
  for (int s = 1; s < sets; ++s)
    EXPECT_NE(img.frames[1].texels, img.frames[s * per_set + 1].texels) << "set " << s;
}

TEST_F(Images, WalkCyclesFacingsAndColourSetsAllDiffer) {
  {
    SCOPED_TRACE("player");
    ExpectWalkBlocks(Load("player.bmp", 7, 12, 79), 6, 12);
  }
  {
    SCOPED_TRACE("humans");
    ExpectWalkBlocks(Load("humans.bmp", 8, 15, 36), 3, 12);
  }
  {
    SCOPED_TRACE("hulks");
    ExpectWalkBlocks(Load("hulks.bmp", 13, 16, 48), 4, 12);
  }
  {
    SCOPED_TRACE("brains");
    ExpectWalkBlocks(Load("brains.bmp", 13, 16, 72), 5, 12);
  }
  {
    SCOPED_TRACE("grunts");
    ExpectWalkBlocks(Load("grunts.bmp", 9, 13, 12), 4, 3);
  }
}

TEST_F(Images, GrowingKindsGrowAndDyingElectrodesShrink) {
  // Spheroids and quarks: size a covers 2a + 1 pixels across, centred on
  // the cell's middle pixel, in both colour sets.
  for (const char* file : {"spheroids.bmp", "quarks.bmp"}) {
    const sb::Image& img = Load(file, 13, 13, 14);
    for (int set = 0; set < 2; ++set)
      for (int a = 0; a <= 6; ++a) {
        auto c = Columns(img, a + 7 * set);
        EXPECT_EQ(c.first, 6 - a) << file << " size " << a;
        EXPECT_EQ(c.second, 7 + a) << file << " size " << a;
      }
  }
  const sb::Image& el = Load("electrodes.bmp", 18, 9, 50);
  for (int d = 0; d < 10; ++d) {
    for (int stage = 1; stage <= 4; ++stage)
      EXPECT_LE(DrawnCount(el.frames[d + 10 * stage]), DrawnCount(el.frames[d + 10 * (stage - 1)]))
          << "design " << d << " stage " << stage;
    // Designs 0-7 are half width; 8 and 9 use the whole cell.
    auto c = Columns(el, d);
    if (d < 8) {
      EXPECT_LE(c.second, 9) << d;
    } else {
      EXPECT_GT(c.second, 9) << d;
    }
  }
  for (const char* file : {"enforcers.bmp", "tanks.bmp"}) {
    const sb::Image& img = Load(file, file[0] == 'e' ? 9 : 13, file[0] == 'e' ? 11 : 16, 8);
    for (int c = 5; c <= 7; ++c)
      EXPECT_GT(DrawnCount(img.frames[c]), DrawnCount(img.frames[c - 1])) << file << " " << c;
  }
}

TEST_F(Images, TrailCopiesOfProgsAreDimmerThanTheProg) {
  const sb::Image& img = Load("progs.bmp", 8, 16, 108);
  auto brightness = [&](int cell) {
    long sum = 0;
    for (uint32_t t : img.frames[cell].texels)
      if (Drawn(t)) sum += ((t >> 16) & 255) + ((t >> 8) & 255) + (t & 255);
    return sum;
  };
  for (int c = 0; c < 36; ++c) {
    EXPECT_LT(brightness(c), brightness(c + 36)) << c;
    EXPECT_LT(brightness(c + 36), brightness(c + 72)) << c;
  }
}

TEST_F(Images, IconsAreMadeFromTheEmblem) {
  const sb::Image& icon = Load("icon.bmp", 0, 0, 1);
  const sb::Image& logo = Load("tessik.bmp", 0, 0, 1);
  ASSERT_EQ(icon.cw, 32);
  ASSERT_EQ(icon.ch, 32);
  // The icon is a 32 x 32 piece of the emblem, somewhere within it.
  bool found = false;
  for (int oy = 0; oy + 32 <= logo.ch && !found; ++oy)
    for (int ox = 0; ox + 32 <= logo.cw && !found; ++ox) {
      bool same = true;
      for (int y = 0; y < 32 && same; ++y)
        for (int x = 0; x < 32 && same; ++x)
          same = icon.frames[0].texels[y * 32 + x] ==
                 logo.frames[0].texels[(oy + y) * logo.cw + ox + x];
      found = same;
    }
  EXPECT_TRUE(found);
  EXPECT_GT(DrawnCount(icon.frames[0]), 32 * 32 / 2) << "the icon should be mostly drawn";
  for (const auto& [dir, side] : {std::pair{"48x48", 48u}, std::pair{"128x128", 128u}}) {
    auto png = at::ReadBytes(at::kGameDir / "icons" / dir / "swarmbreak.png");
    ASSERT_GT(png.size(), 33u) << dir;
    EXPECT_EQ(at::Be32(png, 16), side);
    EXPECT_EQ(at::Be32(png, 20), side);
    EXPECT_EQ(png[25], 6) << "icons carry transparency (RGBA)";
  }
}

}  // namespace
