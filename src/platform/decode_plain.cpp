// Decoders without SDL, for the browser build: BMP through stb_image (BMP
// only), WAV by a small reader of PCM chunks. Same caps as the desktop's.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/decode.h"
#include "platform/image_store.h"
#include "platform/mixer.h"

#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_FAILURE_USERMSG
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace sb::plain {

namespace {

// The largest BMP file a picture within the caps can need: 32 bits per
// pixel, a full palette, the largest headers.
constexpr uint64_t kMaxBmpFileBytes = uint64_t(kMaxImagePixels) * 4 + kMaxImageSide * 4 + 4096;

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (out.size() + n > kMaxBmpFileBytes) break;
    out.insert(out.end(), buf, buf + n);
  }
  const bool ok = !std::ferror(f) && n == 0;
  std::fclose(f);
  return ok;
}

// One PCM sample of `bits` at p as a real in [-1, 1).
float Sample(const uint8_t* p, int bits) {
  if (bits == 8) return static_cast<float>(p[0]) / 128.0f - 1.0f;
  return static_cast<float>(static_cast<int16_t>(ReadLe16(p))) / 32768.0f;
}

}  // namespace

bool DecodeBmp(const std::string& path, Bitmap& out) {
  std::vector<uint8_t> file;
  if (!ReadFile(path, file) || !HeaderAcceptable(file.data(), file.size()) ||
      file.size() > static_cast<size_t>(INT32_MAX))
    return false;
  int w = 0, h = 0, comp = 0;
  stbi_uc* rgba =
      stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &comp, 4);
  if (!rgba) return false;
  const bool ok = SizeAcceptable(w, h);
  if (ok) {
    out.w = w;
    out.h = h;
    out.px.resize(static_cast<size_t>(w) * h);
    const stbi_uc* p = rgba;
    // Alpha is ignored: the mask colour alone decides transparency.
    for (uint32_t& px : out.px) {
      px = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
      p += 4;
    }
  }
  stbi_image_free(rgba);
  return ok;
}

bool DecodeWav(std::vector<uint8_t>& bytes, std::vector<int16_t>& out) {
  const size_t n = bytes.size();
  const uint8_t* b = bytes.data();
  if (n < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) return false;
  int channels = 0, bits = 0;
  uint32_t rate = 0;
  const uint8_t* data = nullptr;
  size_t data_len = 0;
  for (size_t pos = 12; pos + 8 <= n;) {
    const size_t avail = n - (pos + 8);
    const size_t len = std::min<size_t>(ReadLe32(b + pos + 4), avail);
    const uint8_t* body = b + pos + 8;
    if (std::memcmp(b + pos, "fmt ", 4) == 0 && len >= 16) {
      if (ReadLe16(body) != 1) return false;  // PCM only
      channels = ReadLe16(body + 2);
      rate = ReadLe32(body + 4);
      bits = ReadLe16(body + 14);
    } else if (std::memcmp(b + pos, "data", 4) == 0 && !data) {
      data = body;
      data_len = len;
    }
    pos += 8 + len + (len & 1);
  }
  if (!data || rate == 0 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16))
    return false;
  const size_t frame = static_cast<size_t>(channels) * (bits / 8);
  const size_t frames = data_len / frame;  // a torn last frame is dropped
  if (channels == 1 && bits == 16 && rate == Mixer::kRate) {
    out.resize(frames);
    for (size_t i = 0; i < frames; ++i) out[i] = static_cast<int16_t>(ReadLe16(data + 2 * i));
    return true;
  }
  // Anything else: to mono reals, then to the mixer's rate by linear steps.
  const uint64_t want = uint64_t{frames} * Mixer::kRate / rate;
  if (want * 2 > kMaxConvertBytes) return false;
  std::vector<float> mono(frames);
  for (size_t i = 0; i < frames; ++i) {
    const uint8_t* f = data + i * frame;
    mono[i] =
        channels == 1 ? Sample(f, bits) : (Sample(f, bits) + Sample(f + bits / 8, bits)) * 0.5f;
  }
  out.resize(static_cast<size_t>(want));
  for (size_t i = 0; i < out.size(); ++i) {
    const double at = static_cast<double>(i) * rate / Mixer::kRate;
    const size_t k = static_cast<size_t>(at);
    const float frac = static_cast<float>(at - static_cast<double>(k));
    const float a = mono[k], c = k + 1 < frames ? mono[k + 1] : a;
    const float v = (a + (c - a) * frac) * 32767.0f;
    out[i] = static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
  }
  return true;
}

}  // namespace sb::plain
