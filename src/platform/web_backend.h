// The browser back end (WebAssembly build only): the frame drawn into the
// page's canvas, keys by physical position (KeyboardEvent.code), the Gamepad
// API for the joystick port, Web Audio fed by our mixer, and Delay as a
// sleep that hands control back to the page (Asyncify), so the screens' own
// frame loops run unchanged. The page's script (web/page.js) owns the DOM
// side: it queues events, scales the canvas and starts the audio context.
//
// A scripted run (the page's test mode) replaces the keyboard and pads with
// an input script in the simulator's format, counts frames the way the
// simulator does and runs on a virtual clock, so its frames match the
// simulator's for the same seed and script.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/frame_moments.h"
#include "script.h"

namespace sb {

struct WebScript {
  std::vector<sim::Change> changes;
  std::vector<int64_t> shots;  // frames handed to the page as RGBA
  int64_t frames = 0;          // stop after this frame; 0: no limit
};

class WebBackend : public Backend {
 public:
  // Keyboard, pads and the real clock without a script.
  explicit WebBackend(std::unique_ptr<WebScript> script = nullptr);
  ~WebBackend() override;

  // Called after every presented frame (the page's status line, tests).
  std::function<void()> on_present;

  bool OpenWindow(bool fullscreen) override;
  void CloseWindow() override {}
  bool IsFullScreen() const override;
  void Present(const uint32_t* pixels, int sync) override;
  void PumpEvents(InputState& input) override;
  uint32_t Millis() override;
  void Delay(int ms) override;
  void StartAudio(Mixer& mixer) override { mixer_ = &mixer; }

  // A scripted run's input for its first frame, set before the game starts
  // (as the simulator does).
  void Begin(InputState& input);
  // Frames presented by Flip so far (a scripted run's frame numbers).
  int64_t Frames() const { return frame_; }

 private:
  void ReadPad(InputState& input);
  void FeedAudio();
  // Scripted runs.
  void OnFlip();
  void Wait();
  [[noreturn]] void EndScript();

  std::unique_ptr<WebScript> script_;
  std::unique_ptr<sim::ScriptPlayer> player_;
  std::unique_ptr<sim::InputSink> sink_;
  InputState* input_ = nullptr;
  Mixer* mixer_ = nullptr;
  std::vector<uint8_t> rgba_;
  std::vector<int16_t> mix_;
  double start_ms_ = 0;
  uint64_t mixed_ = 0;  // samples handed to the page (or let pass unheard)
  uint32_t clock_ = 0;  // virtual clock of a scripted run
  int64_t frame_ = 0;
  int64_t delays_ = 0;
  FrameMoments moments_;
};

}  // namespace sb
