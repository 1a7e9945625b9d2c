// When the game shows a frame and when it waits for a key, told from what a
// back end sees. A frame is a present straight after an input pump (opening
// a display presents without one). A wait is a pause after input was polled
// with no frame shown since the last pause, or a poll loop that shows no
// frame in ten million polls. Replays, the simulator and the browser's
// scripted runs all count this way, so their frame numbers agree.
#pragma once

#include <cstdint>

namespace sb {

class FrameMoments {
 public:
  // An input pump. True when it ends a poll loop too long to be anything but
  // a wait for a key.
  bool Pumped() {
    just_pumped_ = true;
    ++pumps_since_pause_;
    if (++pumps_since_frame_ <= kBusyPollLimit) return false;
    pumps_since_frame_ = 0;
    return true;
  }
  // A present: true when it shows a frame.
  bool Presented() {
    const bool frame = just_pumped_;
    just_pumped_ = false;
    if (frame) Framed();
    return frame;
  }
  // A frame shown, where the caller knows it without looking at presents.
  void Framed() {
    flipped_since_pause_ = true;
    pumps_since_pause_ = 0;
    pumps_since_frame_ = 0;
  }
  // A pause (Delay): true when it is a wait for a key.
  bool Paused() {
    just_pumped_ = false;
    const bool waiting = !flipped_since_pause_ && pumps_since_pause_ > 0;
    flipped_since_pause_ = false;
    pumps_since_pause_ = 0;
    if (waiting) pumps_since_frame_ = 0;
    return waiting;
  }
  // A display opened: its first present shows no frame.
  void Opened() { just_pumped_ = false; }

 private:
  static constexpr int64_t kBusyPollLimit = 10'000'000;
  bool just_pumped_ = false;
  bool flipped_since_pause_ = false;
  int64_t pumps_since_pause_ = 0;
  int64_t pumps_since_frame_ = 0;
};

}  // namespace sb
