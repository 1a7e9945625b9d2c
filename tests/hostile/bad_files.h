// Builders for the hand-made files of the hostile-file tests: BMPs and WAVs
// with every header field at a known place, so a case can break exactly one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostile {

// Offsets of the BMP header fields the cases change.
inline constexpr size_t kBmpDataOffset = 10;
inline constexpr size_t kBmpWidth = 18;
inline constexpr size_t kBmpHeight = 22;
inline constexpr size_t kBmpBpp = 28;
inline constexpr size_t kBmpCompression = 30;
inline constexpr size_t kBmpColoursUsed = 46;
inline constexpr size_t kBmpHeaderSize = 54;

// Appended byte by byte and spliced in with replace: GCC 12 at -O3 misreads
// indexed stores into a string it cannot size as an overflow
// (-Wstringop-overflow).
inline std::string LeBytes(uint32_t v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}
inline void Put16(std::string& s, size_t at, uint32_t v) {
  s.replace(at, 2, LeBytes(v, 2));
}
inline void Put32(std::string& s, size_t at, uint32_t v) {
  s.replace(at, 4, LeBytes(v, 4));
}
inline std::string Le16(uint32_t v) {
  return LeBytes(v, 2);
}
inline std::string Le32(uint32_t v) {
  return LeBytes(v, 4);
}

// Every pixel non-black, and distinct per cell of `cellw` columns, so a
// loaded strip can be compared frame by frame.
inline uint32_t TestColour(int x, int y, int cellw) {
  return 0x400000u + static_cast<uint32_t>((x / cellw) * 0x050000 + (x % cellw) * 0x0300 + y);
}

// An uncompressed BMP (BITMAPINFOHEADER). bpp 24 or 32 store TestColour;
// bpp 1 and 8 use a palette of non-black entries. height < 0: rows top-down.
inline std::string MakeBmp(int w, int height, int bpp, int cellw = 9) {
  const int h = height < 0 ? -height : height;
  const int ncolours = bpp <= 8 ? 1 << bpp : 0;
  std::string pal;
  for (int i = 0; i < ncolours; ++i) {
    pal += static_cast<char>(40 + i % 200);
    pal += static_cast<char>(1 + i / 2);
    pal += static_cast<char>(200 - i % 100);
    pal += '\0';
  }
  const size_t row = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  std::string px(row * h, '\0');
  for (int y = 0; y < h; ++y) {
    const int fy = height < 0 ? y : h - 1 - y;  // file row y holds image row fy
    char* r = px.data() + row * y;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = TestColour(x, fy, cellw);
      if (bpp == 24 || bpp == 32) {
        const size_t at = static_cast<size_t>(x) * (bpp / 8);
        r[at] = static_cast<char>(c & 0xFF);
        r[at + 1] = static_cast<char>((c >> 8) & 0xFF);
        r[at + 2] = static_cast<char>((c >> 16) & 0xFF);
      } else if (bpp == 8) {
        r[x] = static_cast<char>((x + fy) % 256);
      } else if (bpp == 1) {
        if ((x + fy) % 3 == 0) r[x / 8] = static_cast<char>(r[x / 8] | (0x80 >> (x % 8)));
      }
    }
  }
  std::string s = "BM";
  const uint32_t off = static_cast<uint32_t>(kBmpHeaderSize + pal.size());
  s += Le32(static_cast<uint32_t>(off + px.size())) + Le32(0) + Le32(off);
  s += Le32(40) + Le32(static_cast<uint32_t>(w)) + Le32(static_cast<uint32_t>(height));
  s +=
      Le16(1) + Le16(static_cast<uint32_t>(bpp)) + Le32(0) + Le32(static_cast<uint32_t>(px.size()));
  s += Le32(2835) + Le32(2835) + Le32(static_cast<uint32_t>(ncolours)) + Le32(0);
  return s + pal + px;
}

// An 8-bit run-length-encoded BMP: each row as runs of two pixels.
inline std::string MakeRle8Bmp(int w, int h) {
  std::string body;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; x += 2) {
      body += static_cast<char>(x + 2 <= w ? 2 : 1);
      body += static_cast<char>(1 + (x + y) % 200);
    }
    body += std::string("\0\0", 2);  // end of line
  }
  body += std::string("\0\1", 2);  // end of bitmap
  std::string s = MakeBmp(w, h, 8);
  s.resize(kBmpHeaderSize + 256 * 4);
  Put32(s, kBmpCompression, 1);
  Put32(s, 34, static_cast<uint32_t>(body.size()));
  Put32(s, 2, static_cast<uint32_t>(s.size() + body.size()));
  return s + body;
}

inline std::string Chunk(const std::string& tag, const std::string& body) {
  std::string s = tag + Le32(static_cast<uint32_t>(body.size())) + body;
  if (body.size() % 2) s += '\0';
  return s;
}

// The 16-byte fmt body (plus the extension size and bytes when given).
inline std::string FmtBody(int tag, int channels, int rate, int bits, int block = 0) {
  if (block == 0) block = channels * bits / 8;
  return Le16(static_cast<uint32_t>(tag)) + Le16(static_cast<uint32_t>(channels)) +
         Le32(static_cast<uint32_t>(rate)) + Le32(static_cast<uint32_t>(rate * block)) +
         Le16(static_cast<uint32_t>(block)) + Le16(static_cast<uint32_t>(bits));
}

inline std::string Riff(const std::string& chunks) {
  return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

inline std::string MakeWav(int tag, int channels, int rate, int bits, const std::string& data) {
  return Riff(Chunk("fmt ", FmtBody(tag, channels, rate, bits)) + Chunk("data", data));
}

// n frames of a 16-bit tone, `channels` interleaved copies.
inline std::string Tone16(int n, int channels) {
  std::string s;
  for (int i = 0; i < n; ++i)
    for (int c = 0; c < channels; ++c) s += Le16(static_cast<uint32_t>((i * 997) % 20000));
  return s;
}

}  // namespace hostile
