#include "platform/image_write.h"

#include <array>
#include <cstdio>

namespace sb {
namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(v & 0xff);
  b.push_back((v >> 8) & 0xff);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xffff);
  Put16(b, v >> 16);
}
void Put32Be(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back((v >> 24) & 0xff);
  b.push_back((v >> 16) & 0xff);
  b.push_back((v >> 8) & 0xff);
  b.push_back(v & 0xff);
}

bool ValidSize(const uint32_t* pixels, int w, int h) {
  // Keep the row and file sizes well inside 32 bits.
  return pixels != nullptr && w > 0 && h > 0 && w <= 32768 && h <= 32768;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
}

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  Put32Be(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(type[i]));
  out.insert(out.end(), data.begin(), data.end());
  Put32Be(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t n) {
  const auto& t = CrcTable();
  uint32_t c = 0xffffffffu;
  for (size_t i = 0; i < n; ++i) c = t[(c ^ data[i]) & 0xff] ^ (c >> 8);
  return c ^ 0xffffffffu;
}

uint32_t Adler32(const uint8_t* data, size_t n) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < n; ++i) {
    a = (a + data[i]) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

std::vector<uint8_t> EncodeBmp(const uint32_t* pixels, int w, int h) {
  std::vector<uint8_t> b;
  if (!ValidSize(pixels, w, h)) return b;
  const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t image = stride * static_cast<uint32_t>(h);
  b.reserve(54 + image);
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + image);  // file size
  Put32(b, 0);           // reserved
  Put32(b, 54);          // pixel data offset
  Put32(b, 40);          // BITMAPINFOHEADER
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h));  // positive: bottom-up rows
  Put16(b, 1);                         // planes
  Put16(b, 24);                        // bits per pixel
  Put32(b, 0);                         // BI_RGB
  Put32(b, image);
  Put32(b, 2835);  // 72 dpi
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = h - 1; y >= 0; --y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      b.push_back(row[x] & 0xff);
      b.push_back((row[x] >> 8) & 0xff);
      b.push_back((row[x] >> 16) & 0xff);
    }
    for (uint32_t p = static_cast<uint32_t>(w) * 3; p < stride; ++p) b.push_back(0);
  }
  return b;
}

namespace {

std::vector<uint8_t> Png(const uint32_t* pixels, int w, int h, bool alpha) {
  std::vector<uint8_t> out;
  if (!ValidSize(pixels, w, h)) return out;
  static const uint8_t kSig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  out.assign(kSig, kSig + 8);

  std::vector<uint8_t> ihdr;
  Put32Be(ihdr, static_cast<uint32_t>(w));
  Put32Be(ihdr, static_cast<uint32_t>(h));
  ihdr.push_back(8);              // bit depth
  ihdr.push_back(alpha ? 6 : 2);  // colour type: RGBA or RGB
  ihdr.push_back(0);              // deflate
  ihdr.push_back(0);              // adaptive filtering
  ihdr.push_back(0);              // no interlace
  PutChunk(out, "IHDR", ihdr);

  // Raw scanlines, each with filter byte 0.
  std::vector<uint8_t> raw;
  const size_t channels = alpha ? 4 : 3;
  raw.reserve(static_cast<size_t>(h) * (1 + static_cast<size_t>(w) * channels));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    const uint32_t* row = pixels + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      raw.push_back((row[x] >> 16) & 0xff);
      raw.push_back((row[x] >> 8) & 0xff);
      raw.push_back(row[x] & 0xff);
      if (alpha) raw.push_back((row[x] >> 24) & 0xff);
    }
  }

  // zlib stream of stored deflate blocks (at most 65535 bytes each).
  std::vector<uint8_t> z;
  z.push_back(0x78);
  z.push_back(0x01);
  size_t pos = 0;
  do {
    size_t len = raw.size() - pos;
    if (len > 65535) len = 65535;
    bool last = pos + len == raw.size();
    z.push_back(last ? 1 : 0);
    Put16(z, static_cast<uint32_t>(len));
    Put16(z, static_cast<uint32_t>(~len & 0xffff));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + len);
    pos += len;
  } while (pos < raw.size());
  Put32Be(z, Adler32(raw.data(), raw.size()));
  PutChunk(out, "IDAT", z);
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int w, int h) {
  return Png(pixels, w, h, false);
}

std::vector<uint8_t> EncodePngRgba(const uint32_t* pixels, int w, int h) {
  return Png(pixels, w, h, true);
}

bool WriteBmp(const std::string& path, const uint32_t* pixels, int w, int h) {
  return WriteFile(path, EncodeBmp(pixels, w, h));
}

bool WritePng(const std::string& path, const uint32_t* pixels, int w, int h) {
  return WriteFile(path, EncodePng(pixels, w, h));
}

bool WritePngRgba(const std::string& path, const uint32_t* pixels, int w, int h) {
  return WriteFile(path, EncodePngRgba(pixels, w, h));
}

}  // namespace sb
