#include "platform/mixer.h"

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace sb {

namespace {
// A sound effect of more than a few minutes is a broken file.
constexpr int64_t kMaxFileBytes = 16 << 20;
// Conversion scratch, bounded by the same reasoning: a file that claims a
// sample rate of 1 Hz would otherwise ask for 44100 bytes per byte of data.
constexpr uint64_t kMaxConvertBytes = uint64_t{256} << 20;

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
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
    if (Le32(&b[4]) > n - 8) PutLe32(&b[4], static_cast<uint32_t>(n - 8));
    pos = 12;
  } else if (n >= 4 && std::memcmp(b.data(), "WAVE", 4) == 0) {
    pos = 4;  // SDL also reads chunks without the RIFF header
  } else {
    return;
  }
  while (pos + 8 <= n) {
    size_t len = Le32(&b[pos + 4]);
    const size_t avail = n - (pos + 8);
    if (len > avail) {
      len = avail;
      PutLe32(&b[pos + 4], static_cast<uint32_t>(len));
    }
    pos += 8 + len + (len & 1);
  }
}
}  // namespace

Mixer::Mixer() = default;
Mixer::~Mixer() {
  for (Sound* s : sounds_) delete s;
}

int Mixer::AddSound(std::vector<int16_t> samples) {
  auto* s = new Sound{std::move(samples)};
  sounds_.push_back(s);
  started_of_.push_back(0);
  return static_cast<int>(sounds_.size());
}

const Mixer::Sound* Mixer::GetSound(int handle) const {
  if (handle <= 0 || handle > static_cast<int>(sounds_.size())) return nullptr;
  return sounds_[static_cast<size_t>(handle) - 1];
}

int Mixer::LoadSound(const std::string& path) {
  // Only a regular file: opening a named pipe would wait for a writer forever.
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
  if (!file) return 0;
  Sint64 size = SDL_RWsize(file);
  if (size <= 0 || size > kMaxFileBytes) {
    SDL_RWclose(file);
    return 0;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  const bool read = SDL_RWread(file, bytes.data(), 1, bytes.size()) == bytes.size();
  SDL_RWclose(file);
  if (!read) return 0;
  ClampChunkLengths(bytes);
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return 0;
  SDL_AudioSpec spec;
  Uint8* buf = nullptr;
  Uint32 len = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len)) return 0;
  SDL_AudioCVT cvt;
  int built =
      SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, kRate);
  int frame_bytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
  if (built < 0 || frame_bytes <= 0 ||
      uint64_t{len} * static_cast<uint64_t>(std::max(cvt.len_mult, 1)) > kMaxConvertBytes) {
    SDL_FreeWAV(buf);
    return 0;
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
    if (SDL_ConvertAudio(&cvt) != 0) return 0;
    out_bytes = static_cast<size_t>(cvt.len_cvt);
  }
  std::vector<int16_t> samples(out_bytes / 2);
  if (!samples.empty()) std::memcpy(samples.data(), work.data(), samples.size() * 2);
  return AddSound(std::move(samples));
}

void Mixer::Play(int handle) {
  const Sound* s = GetSound(handle);
  if (!s || s->samples.empty()) return;
  if (voices_.size() >= kMaxVoices) voices_.erase(voices_.begin());
  voices_.push_back(Voice{s, 0});
  ++started_;
  ++started_of_[static_cast<size_t>(handle) - 1];
}

uint64_t Mixer::Started(int handle) const {
  if (handle <= 0 || handle > static_cast<int>(started_of_.size())) return 0;
  return started_of_[static_cast<size_t>(handle) - 1];
}

void Mixer::Advance(int n) {
  if (n <= 0 || voices_.empty()) return;
  for (Voice& v : voices_)
    v.pos += std::min(static_cast<size_t>(n), v.sound->samples.size() - v.pos);
  std::erase_if(voices_, [](const Voice& v) { return v.pos >= v.sound->samples.size(); });
}

void Mixer::Mix(int16_t* out, int n) {
  if (n <= 0) return;
  acc_.assign(static_cast<size_t>(n), 0);
  for (Voice& v : voices_) {
    const auto& smp = v.sound->samples;
    size_t k = std::min(static_cast<size_t>(n), smp.size() - v.pos);
    const int16_t* src = smp.data() + v.pos;
    for (size_t i = 0; i < k; ++i) acc_[i] += src[i];
    v.pos += k;
  }
  std::erase_if(voices_, [](const Voice& v) { return v.pos >= v.sound->samples.size(); });
  for (int i = 0; i < n; ++i) out[i] = static_cast<int16_t>(std::clamp(acc_[i], -32768, 32767));
}

}  // namespace sb
