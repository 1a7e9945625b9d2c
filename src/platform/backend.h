// What differs between the real game and a headless run: the window and
// presentation, the event source, the clock and the audio device.
#pragma once

#include <cstdint>
#include <string>

namespace sb {

class InputState;
class Mixer;

class Backend {
 public:
  virtual ~Backend() = default;
  // Opens (or re-opens) the 640x480 display, windowed or full screen. False
  // when no display can be had.
  virtual bool OpenWindow(bool fullscreen) = 0;
  virtual void CloseWindow() = 0;
  // The mode the open display is actually in.
  virtual bool IsFullScreen() const { return false; }
  // Why the last OpenWindow failed, in a few words; empty if unknown.
  virtual std::string WhyNoWindow() const { return {}; }
  // Shows the 640x480 0x00RRGGBB frame; sync as for Flip.
  virtual void Present(const uint32_t* pixels, int sync) = 0;
  // Brings the input state up to date with pending events.
  virtual void PumpEvents(InputState& input) = 0;
  virtual uint32_t Millis() = 0;
  virtual void Delay(int ms) = 0;
  // Starts feeding the mixer to an audio device, if there is one.
  virtual void StartAudio(Mixer& mixer) = 0;
  // Held around changes to the mixer's voices while audio may be running.
  virtual void LockAudio() {}
  virtual void UnlockAudio() {}
};

}  // namespace sb
