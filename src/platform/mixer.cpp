#include "platform/mixer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/decode.h"

namespace sb {

namespace {
// A sound effect of more than a few minutes is a broken file.
constexpr int64_t kMaxFileBytes = 16 << 20;
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
  if (st.st_size <= 0 || st.st_size > kMaxFileBytes) return 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return 0;
  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
  const bool read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  std::vector<int16_t> samples;
  if (!read || !DecodeWav(bytes, samples)) return 0;
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
  gain_ = 1;  // unheard time: the limiter has long recovered
}

void Mixer::Mix(int16_t* out, int n) {
  if (n <= 0) return;
  // Sum the block and peek kLookAhead samples further into the playing
  // voices; the buffers only grow when a longer block than ever arrives.
  const size_t block = static_cast<size_t>(n), total = block + kLookAhead;
  acc_.assign(total, 0);
  for (Voice& v : voices_) {
    const auto& smp = v.sound->samples;
    size_t k = std::min(total, smp.size() - v.pos);
    const int16_t* src = smp.data() + v.pos;
    for (size_t i = 0; i < k; ++i) acc_[i] += src[i];
    v.pos += std::min(k, block);
  }
  std::erase_if(voices_, [](const Voice& v) { return v.pos >= v.sound->samples.size(); });

  need_.resize(total);
  bool over = false;
  for (size_t i = 0; i < total; ++i) {
    const int32_t a = std::abs(acc_[i]);
    need_[i] = a > kCeiling ? static_cast<double>(kCeiling) / a : 1.0;
    over |= a > kCeiling;
  }
  if (!over && gain_ == 1) {  // the common case: the plain sum
    for (size_t i = 0; i < block; ++i) out[i] = static_cast<int16_t>(acc_[i]);
    return;
  }
  for (size_t i = 0; i < block; ++i) {
    // The gain falls along a straight line to what the peak ahead needs...
    double target = 1;
    for (size_t j = 0; j <= kLookAhead; ++j) {
      const double r = need_[i + j];
      if (r < 1) target = std::min(target, r + (1 - r) * static_cast<double>(j) / kLookAhead);
    }
    // ... and rises back slowly, snapping to 1 once that is inaudible.
    double g = gain_ + (1 - gain_) / kRelease;
    if (1 - g < 1.0 / 65536) g = 1;
    gain_ = std::min(target, g);
    if (gain_ == 1) {
      out[i] = static_cast<int16_t>(std::clamp(acc_[i], -32768, 32767));
    } else {
      const double s = std::round(acc_[i] * gain_);
      out[i] = static_cast<int16_t>(std::clamp(s, -double{kCeiling}, double{kCeiling}));
    }
  }
}

}  // namespace sb
