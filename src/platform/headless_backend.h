// A back end without window, audio device or real time, for tests and the
// simulator. The clock is virtual (Delay advances Millis at once), presented
// frames and pumps are reported through hooks, input is scripted through the
// platform's InputState, and the mixed sound can be captured.
//
//   auto p = sb::MakeHeadlessPlatform();
//   auto& hb = sb::Headless(*p);
//   hb.on_pump = [&](sb::InputState& in) { if (hb.Frames() == 10) in.SetKey(32, true); };
//   hb.on_present = [&](int frame, const uint32_t* px) { ... };
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/platform.h"

namespace sb {

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  // Called at every Present with the 1-based count of presented frames and
  // the 640x480 0x00RRGGBB frame. May throw to stop a run; the exception
  // leaves Flip.
  std::function<void(int frame, const uint32_t* pixels)> on_present;
  // Called at every event pump (each Flip and each input query): the place
  // where scripted input lands.
  std::function<void(InputState& input)> on_pump;
  // Called at every Delay, after the virtual clock has advanced.
  std::function<void(int ms)> on_delay;

  // Presented frames so far (the two presents of a newly opened display
  // included).
  int Frames() const { return frames_; }
  // Sync argument of the latest Present.
  int LastSync() const { return last_sync_; }
  bool WindowOpen() const { return open_; }
  int WindowsOpened() const { return opened_; }
  // The virtual clock starts at 0; tests may move it anywhere.
  void SetMillis(uint32_t ms) { clock_ = ms; }

  // Audio capture: while on, each Delay(ms) mixes ms * 44100 / 1000 samples
  // (rounding carried over) into Captured(). Off by default: the voices then
  // only move on by as many samples, unheard, and leave when they end.
  void SetAudioCapture(bool on) { capture_ = on; }
  const std::vector<int16_t>& Captured() const { return captured_; }
  void ClearCaptured() { captured_.clear(); }
  // Writes the captured samples as a 16-bit mono 44100 Hz WAV.
  bool SaveCapturedWav(const std::string& path) const;

  bool OpenWindow(bool fullscreen) override;
  void CloseWindow() override;
  bool IsFullScreen() const override { return open_ && fullscreen_; }
  void Present(const uint32_t* pixels, int sync) override;
  void PumpEvents(InputState& input) override;
  uint32_t Millis() override { return clock_; }
  void Delay(int ms) override;
  void StartAudio(Mixer& mixer) override { mixer_ = &mixer; }

 private:
  bool open_ = false, fullscreen_ = false;
  int opened_ = 0;
  int frames_ = 0;
  int last_sync_ = 0;
  uint32_t clock_ = 0;
  Mixer* mixer_ = nullptr;
  bool capture_ = false;
  uint64_t mixed_ms_ = 0;  // ms mixed so far, for exact sample counts
  std::vector<int16_t> captured_;
};

// A platform on a fresh headless back end.
std::unique_ptr<Platform> MakeHeadlessPlatform();
// The headless back end of a platform made by MakeHeadlessPlatform.
HeadlessBackend& Headless(Platform& p);

// Saves a 640x480 frame (a presented one, or Platform::Framebuffer()) as
// PNG when the path ends in ".png", else as BMP.
bool SaveFrame(const std::string& path, const uint32_t* pixels);

// Writes 16-bit mono samples as a WAV file.
bool WriteWav16(const std::string& path, const int16_t* samples, size_t n, int rate);

}  // namespace sb
