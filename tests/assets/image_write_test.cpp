// The BMP and PNG writers: what they write reads back as the same pixels.
#include "platform/image_write.h"

#include <gtest/gtest.h>

#include "platform/image_store.h"
#include "support.h"

#ifdef SB_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

std::vector<uint32_t> Pattern(int w, int h) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      px[static_cast<size_t>(y) * w + x] = (static_cast<uint32_t>(x * 37 + y) & 255) << 16 |
                                           (static_cast<uint32_t>(y * 11) & 255) << 8 |
                                           (static_cast<uint32_t>(x ^ y) & 255);
  return px;
}

struct Chunk {
  std::string type;
  std::vector<uint8_t> data;
  bool crc_ok;
};

std::vector<Chunk> Chunks(const std::vector<uint8_t>& png) {
  std::vector<Chunk> out;
  size_t pos = 8;
  while (pos + 12 <= png.size()) {
    uint32_t len = at::Be32(png, pos);
    if (pos + 12 + len > png.size()) break;
    Chunk c;
    c.type.assign(png.begin() + pos + 4, png.begin() + pos + 8);
    c.data.assign(png.begin() + pos + 8, png.begin() + pos + 8 + len);
    c.crc_ok = at::Be32(png, pos + 8 + len) == sb::Crc32(png.data() + pos + 4, len + 4);
    out.push_back(c);
    pos += 12 + len;
  }
  return out;
}

// Inflates a zlib stream made of stored blocks, checking the block framing
// and the Adler-32 trailer; empty on any fault.
std::vector<uint8_t> InflateStored(const std::vector<uint8_t>& z, int* blocks) {
  std::vector<uint8_t> out;
  if (z.size() < 6 || (z[0] * 256 + z[1]) % 31 != 0 || (z[0] & 15) != 8) return {};
  size_t pos = 2;
  bool last = false;
  *blocks = 0;
  while (!last) {
    if (pos + 5 > z.size()) return {};
    last = z[pos] & 1;
    if ((z[pos] >> 1) != 0) return {};  // not a stored block
    uint32_t len = z[pos + 1] | (z[pos + 2] << 8), nlen = z[pos + 3] | (z[pos + 4] << 8);
    if ((len ^ 0xffff) != nlen || pos + 5 + len > z.size()) return {};
    out.insert(out.end(), z.begin() + pos + 5, z.begin() + pos + 5 + len);
    pos += 5 + len;
    ++*blocks;
  }
  if (pos + 4 != z.size() || at::Be32(z, pos) != sb::Adler32(out.data(), out.size())) return {};
  return out;
}

TEST(ImageWrite, BmpReadsBackThroughTheGamesLoaderWithRowPadding) {
  at::TempDir tmp;
  for (int w : {1, 2, 3, 5, 8}) {  // every row-padding case
    auto px = Pattern(w, 3);
    px[0] = 0;  // black survives as black
    std::string path = (tmp / ("p" + std::to_string(w) + ".bmp")).string();
    ASSERT_TRUE(sb::WriteBmp(path, px.data(), w, 3));
    sb::Bitmap bmp;
    ASSERT_TRUE(sb::LoadBmp(path, bmp)) << w;
    EXPECT_EQ(bmp.w, w);
    EXPECT_EQ(bmp.h, 3);
    EXPECT_EQ(bmp.px, px) << w;
    auto bytes = at::ReadBytes(path);
    EXPECT_EQ(at::Le(bytes, 28, 2), 24u) << "24 bits per pixel";
    EXPECT_EQ(at::Le(bytes, 30, 4), 0u) << "uncompressed";
    EXPECT_LT(static_cast<int32_t>(at::Le(bytes, 22, 4)), 1 << 30) << "bottom-up (positive height)";
    EXPECT_EQ(bytes.size(), 54u + ((w * 3 + 3) / 4 * 4) * 3);
  }
}

TEST(ImageWrite, PngHasValidChunksAndStoredDataThatDecodesToThePixels) {
  // 200 x 120 RGB is 72 120 bytes of scanlines: more than one stored block.
  const int w = 200, h = 120;
  auto px = Pattern(w, h);
  auto png = sb::EncodePng(px.data(), w, h);
  const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  ASSERT_GT(png.size(), 8u);
  EXPECT_TRUE(std::equal(sig, sig + 8, png.begin()));
  auto chunks = Chunks(png);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(chunks[1].type, "IDAT");
  EXPECT_EQ(chunks[2].type, "IEND");
  for (const Chunk& c : chunks) EXPECT_TRUE(c.crc_ok) << c.type;
  ASSERT_EQ(chunks[0].data.size(), 13u);
  EXPECT_EQ(at::Be32(chunks[0].data, 0), static_cast<uint32_t>(w));
  EXPECT_EQ(at::Be32(chunks[0].data, 4), static_cast<uint32_t>(h));
  EXPECT_EQ(chunks[0].data[8], 8);  // bit depth
  EXPECT_EQ(chunks[0].data[9], 2);  // RGB
  int blocks = 0;
  auto raw = InflateStored(chunks[1].data, &blocks);
  ASSERT_EQ(raw.size(), static_cast<size_t>(h) * (1 + w * 3));
  EXPECT_EQ(blocks, 2);
#ifdef SB_HAVE_ZLIB
  // Independent check of the stream with the system's inflater.
  std::vector<uint8_t> z(raw.size());
  uLongf zlen = z.size();
  ASSERT_EQ(uncompress(z.data(), &zlen, chunks[1].data.data(), chunks[1].data.size()), Z_OK);
  EXPECT_EQ(z, raw);
#endif
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = raw.data() + static_cast<size_t>(y) * (1 + w * 3);
    ASSERT_EQ(row[0], 0) << "filter type none";
    for (int x = 0; x < w; ++x) {
      uint32_t c = (row[1 + 3 * x] << 16) | (row[2 + 3 * x] << 8) | row[3 + 3 * x];
      ASSERT_EQ(c, px[static_cast<size_t>(y) * w + x]) << x << "," << y;
    }
  }
}

TEST(ImageWrite, RgbaPngKeepsTheAlphaChannel) {
  std::vector<uint32_t> px = {0xFF102030, 0x00000000, 0x80FFFFFF, 0xFF000000};
  auto chunks = Chunks(sb::EncodePngRgba(px.data(), 2, 2));
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].data[9], 6);  // RGBA
  int blocks = 0;
  auto raw = InflateStored(chunks[1].data, &blocks);
  ASSERT_EQ(raw.size(), 2u * (1 + 2 * 4));
  EXPECT_EQ(std::vector<uint8_t>(raw.begin() + 1, raw.begin() + 9),
            (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xFF, 0, 0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(raw.begin() + 10, raw.end()),
            (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0xFF}));
}

TEST(ImageWrite, ChecksumsMatchTheirKnownValues) {
  const uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(sb::Crc32(text, 9), 0xCBF43926u);
  EXPECT_EQ(sb::Adler32(text, 9), 0x091E01DEu);
  EXPECT_EQ(sb::Adler32(text, 0), 1u);
}

TEST(ImageWrite, BadArgumentsAndUnwritablePathsFailWithoutLeavingAFile) {
  at::TempDir tmp;
  uint32_t one = 0xFFFFFF;
  EXPECT_FALSE(sb::WriteBmp((tmp / "a.bmp").string(), &one, 0, 1));
  EXPECT_FALSE(sb::WritePng((tmp / "a.png").string(), &one, 1, -1));
  EXPECT_FALSE(sb::WritePng((tmp / "b.png").string(), nullptr, 1, 1));
  EXPECT_FALSE(std::filesystem::exists(tmp / "a.bmp"));
  EXPECT_FALSE(std::filesystem::exists(tmp / "a.png"));
  EXPECT_FALSE(sb::WriteBmp((tmp / "no" / "dir.bmp").string(), &one, 1, 1));
  EXPECT_FALSE(sb::WritePng((tmp / "no" / "dir.png").string(), &one, 1, 1));
}

}  // namespace
