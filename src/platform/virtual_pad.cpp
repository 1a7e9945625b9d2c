#include "platform/virtual_pad.h"

#include <SDL.h>

#include <cstdlib>
#include <sstream>

namespace sb {

std::unique_ptr<VirtualPad> VirtualPad::FromEnvironment() {
  const char* path = std::getenv("SWARMBREAK_TEST_PAD");
  if (!path || !*path) return nullptr;
  return std::make_unique<VirtualPad>(path);
}

VirtualPad::VirtualPad(const std::string& path) {
  file_ = std::fopen(path.c_str(), "r");
  if (!file_)
    std::fprintf(stderr, "swarmbreak: cannot read the test pad file '%s'\n", path.c_str());
}

VirtualPad::~VirtualPad() {
  Detach();
  if (file_) std::fclose(file_);
}

void VirtualPad::Poll() {
  if (!file_) return;
  std::clearerr(file_);  // the test appends after we met the end
  char buf[256];
  while (std::fgets(buf, sizeof buf, file_)) {
    partial_ += buf;
    if (partial_.empty() || partial_.back() != '\n') continue;  // the rest comes later
    partial_.pop_back();
    Run(partial_);
    partial_.clear();
  }
}

void VirtualPad::Detach() {
  if (joystick_) SDL_JoystickClose(static_cast<SDL_Joystick*>(joystick_));
  if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
  joystick_ = nullptr;
  index_ = -1;
}

void VirtualPad::Run(const std::string& line) {
  std::istringstream in(line);
  std::string verb, name;
  in >> verb >> name;
  auto* js = static_cast<SDL_Joystick*>(joystick_);
  bool ok = true;
  if (verb == "attach" && index_ < 0) {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                       SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index_ >= 0 && !SDL_IsGameController(index_)) {
      // Buttons and axes in the controller layer's own order.
      char guid[64];
      SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index_), guid, sizeof guid);
      std::string m = std::string(guid) + ",Swarmbreak test pad";
      for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
        m += std::string(",") +
             SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(b)) + ":b" +
             std::to_string(b);
      for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a)
        m += std::string(",") +
             SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(a)) + ":a" +
             std::to_string(a);
      SDL_GameControllerAddMapping(m.c_str());
    }
    joystick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
    ok = joystick_ != nullptr;
  } else if (verb == "detach") {
    Detach();
  } else if ((verb == "press" || verb == "release") && js) {
    const SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(name.c_str());
    ok = b != SDL_CONTROLLER_BUTTON_INVALID &&
         SDL_JoystickSetVirtualButton(js, b, verb == "press" ? SDL_PRESSED : SDL_RELEASED) == 0;
  } else if (verb == "axis" && js) {
    const SDL_GameControllerAxis a = SDL_GameControllerGetAxisFromString(name.c_str());
    long v = 0;
    ok = a != SDL_CONTROLLER_AXIS_INVALID && (in >> v) &&
         SDL_JoystickSetVirtualAxis(js, a,
                                    static_cast<Sint16>(v < -32768  ? -32768
                                                        : v > 32767 ? 32767
                                                                    : v)) == 0;
  } else if (!verb.empty()) {
    ok = false;
  }
  if (!ok)
    std::fprintf(stderr, "swarmbreak: test pad: cannot '%s': %s\n", line.c_str(), SDL_GetError());
}

}  // namespace sb
