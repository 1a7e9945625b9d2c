// A test-only game controller: when SWARMBREAK_TEST_PAD names a file, the
// SDL back end reads commands appended to it at every event pump and works
// SDL's virtual joystick with them, so a test drives the real controller
// path (hot-plug events, mapping, button reads) without a device:
//
//   attach                      plugs a controller in
//   detach                      pulls it out
//   press|release BUTTON        a, b, x, y, back, start, dpup, dpleft, ...
//   axis AXIS VALUE             leftx, lefty, ... and -32768..32767
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace sb {

class VirtualPad {
 public:
  // Null unless the environment asks for one.
  static std::unique_ptr<VirtualPad> FromEnvironment();
  explicit VirtualPad(const std::string& path);
  ~VirtualPad();
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  // Carries out the commands added to the file since the last call.
  void Poll();

 private:
  void Run(const std::string& line);
  void Detach();

  std::FILE* file_ = nullptr;
  std::string partial_;
  int index_ = -1;            // device index while attached
  void* joystick_ = nullptr;  // our handle on it (SDL_Joystick*)
};

}  // namespace sb
