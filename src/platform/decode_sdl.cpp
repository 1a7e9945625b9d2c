// The desktop's decoders: SDL's BMP and WAV readers and its audio converter.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/decode.h"
#include "platform/image_store.h"
#include "platform/mixer.h"

namespace sb {

namespace {

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// SDL allocates what a chunk header claims before reading the chunk, so a
// few bytes claiming 4 GB become a 4 GB allocation. Cuts every declared
// length to the bytes the file really holds.
void ClampChunkLengths(std::vector<uint8_t>& b) {
  const size_t n = b.size();
  size_t pos;
  if (n >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0) {
    if (ReadLe32(&b[4]) > n - 8) PutLe32(&b[4], static_cast<uint32_t>(n - 8));
    pos = 12;
  } else if (n >= 4 && std::memcmp(b.data(), "WAVE", 4) == 0) {
    pos = 4;  // SDL also reads chunks without the RIFF header
  } else {
    return;
  }
  while (pos + 8 <= n) {
    size_t len = ReadLe32(&b[pos + 4]);
    const size_t avail = n - (pos + 8);
    if (len > avail) {
      len = avail;
      PutLe32(&b[pos + 4], static_cast<uint32_t>(len));
    }
    pos += 8 + len + (len & 1);
  }
}

}  // namespace

bool DecodeBmp(const std::string& path, Bitmap& out) {
  SDL_RWops* rw = SDL_RWFromFile(path.c_str(), "rb");
  if (!rw) return false;
  uint8_t hdr[kBmpHeaderBytes] = {};
  const size_t got = SDL_RWread(rw, hdr, 1, sizeof hdr);
  if (!HeaderAcceptable(hdr, got) || SDL_RWseek(rw, 0, RW_SEEK_SET) != 0) {
    SDL_RWclose(rw);
    return false;
  }
  SDL_Surface* raw = SDL_LoadBMP_RW(rw, 1);
  if (!raw) return false;
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(raw);
  if (!s) return false;
  bool ok = SizeAcceptable(s->w, s->h);
  if (ok) {
    out.w = s->w;
    out.h = s->h;
    out.px.resize(static_cast<size_t>(s->w) * s->h);
    if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y) {
      const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                          static_cast<size_t>(y) * s->pitch);
      uint32_t* dst = out.px.data() + static_cast<size_t>(y) * s->w;
      // Source alpha is ignored: the mask colour alone decides transparency.
      for (int x = 0; x < s->w; ++x) dst[x] = src[x] & 0xFFFFFFu;
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
  }
  SDL_FreeSurface(s);
  return ok;
}

bool DecodeWav(std::vector<uint8_t>& bytes, std::vector<int16_t>& out) {
  ClampChunkLengths(bytes);
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return false;
  SDL_AudioSpec spec;
  Uint8* buf = nullptr;
  Uint32 len = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len)) return false;
  SDL_AudioCVT cvt;
  int built =
      SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, Mixer::kRate);
  int frame_bytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
  if (built < 0 || frame_bytes <= 0 ||
      uint64_t{len} * static_cast<uint64_t>(std::max(cvt.len_mult, 1)) > kMaxConvertBytes) {
    SDL_FreeWAV(buf);
    return false;
  }
  len -= len % static_cast<Uint32>(frame_bytes);  // drop a torn last frame
  std::vector<Uint8> work(static_cast<size_t>(len) *
                          static_cast<size_t>(std::max(cvt.len_mult, 1)));
  if (len > 0) std::memcpy(work.data(), buf, len);
  SDL_FreeWAV(buf);
  size_t out_bytes = len;
  if (built == 1 && len > 0) {
    cvt.buf = work.data();
    cvt.len = static_cast<int>(len);
    if (SDL_ConvertAudio(&cvt) != 0) return false;
    out_bytes = static_cast<size_t>(cvt.len_cvt);
  }
  out.assign(out_bytes / 2, 0);
  if (!out.empty()) std::memcpy(out.data(), work.data(), out.size() * 2);
  return true;
}

}  // namespace sb
