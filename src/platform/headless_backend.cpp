#include "platform/headless_backend.h"

#include <cstdio>

#include "platform/image_write.h"
#include "platform/mixer.h"

namespace sb {

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

bool HeadlessBackend::OpenWindow(bool fullscreen) {
  open_ = true;
  fullscreen_ = fullscreen;
  ++opened_;
  return true;
}

void HeadlessBackend::CloseWindow() {
  open_ = false;
}

void HeadlessBackend::Present(const uint32_t* pixels, int sync) {
  ++frames_;
  last_sync_ = sync;
  if (on_present) on_present(frames_, pixels);
}

void HeadlessBackend::PumpEvents(InputState& input) {
  if (on_pump) on_pump(input);
}

void HeadlessBackend::Delay(int ms) {
  if (ms < 0) return;
  clock_ += static_cast<uint32_t>(ms);
  if (mixer_) {
    // The sound goes on while the clock runs: mixed into the capture when
    // it is on, else just played through, so finished voices leave.
    const uint64_t before = mixed_ms_ * Mixer::kRate / 1000;
    mixed_ms_ += static_cast<uint64_t>(ms);
    const uint64_t n = mixed_ms_ * Mixer::kRate / 1000 - before;
    if (capture_) {
      const size_t at = captured_.size();
      captured_.resize(at + n);
      mixer_->Mix(captured_.data() + at, static_cast<int>(n));
    } else {
      mixer_->Advance(static_cast<int>(n));
    }
  }
  if (on_delay) on_delay(ms);
}

namespace {
void Put32(std::FILE* f, uint32_t v) {
  const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  std::fwrite(b, 1, 4, f);
}
void Put16(std::FILE* f, uint16_t v) {
  const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
  std::fwrite(b, 1, 2, f);
}
}  // namespace

bool WriteWav16(const std::string& path, const int16_t* samples, size_t n, int rate) {
  if (n > (0xFFFFFFFFu - 36) / 2) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const uint32_t data = static_cast<uint32_t>(n * 2);
  std::fwrite("RIFF", 1, 4, f);
  Put32(f, 36 + data);
  std::fwrite("WAVEfmt ", 1, 8, f);
  Put32(f, 16);
  Put16(f, 1);  // PCM
  Put16(f, 1);  // mono
  Put32(f, static_cast<uint32_t>(rate));
  Put32(f, static_cast<uint32_t>(rate) * 2);
  Put16(f, 2);
  Put16(f, 16);
  std::fwrite("data", 1, 4, f);
  Put32(f, data);
  for (size_t i = 0; i < n; ++i) Put16(f, static_cast<uint16_t>(samples[i]));
  bool ok = !std::ferror(f);
  return std::fclose(f) == 0 && ok;
}

bool HeadlessBackend::SaveCapturedWav(const std::string& path) const {
  return WriteWav16(path, captured_.data(), captured_.size(), Mixer::kRate);
}

bool SaveFrame(const std::string& path, const uint32_t* pixels) {
  const bool png = path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0;
  return png ? WritePng(path, pixels, kScreenW, kScreenH)
             : WriteBmp(path, pixels, kScreenW, kScreenH);
}

std::unique_ptr<Platform> MakeHeadlessPlatform() {
  return std::make_unique<Platform>(std::make_unique<HeadlessBackend>());
}

HeadlessBackend& Headless(Platform& p) {
  return static_cast<HeadlessBackend&>(p.GetBackend());
}

}  // namespace sb
