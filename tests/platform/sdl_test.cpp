// The real back end on SDL's dummy video and audio drivers: the window,
// what reaches its surface, full screen letterboxing and the event path.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "helpers.h"
#include "platform/sdl_backend.h"

namespace {

struct Sdl : ::testing::Test {
  std::unique_ptr<sb::Platform> p;
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto backend = sb::MakeSdlBackend();
    ASSERT_NE(backend, nullptr);
    p = std::make_unique<sb::Platform>(std::move(backend));
  }
  // The pixel the window shows at (x, y), as 0x00RRGGBB.
  static uint32_t Shown(SDL_Window* w, int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    if (!s) return 0xDEADBEEF;
    Uint32 v = static_cast<const Uint32*>(s->pixels)[y * (s->pitch / 4) + x];
    Uint8 r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
  }
  static SDL_Window* OnlyWindow() {
    for (Uint32 id = 1; id < 16; ++id)
      if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    return nullptr;
  }
};

TEST_F(Sdl, WindowShowsThePresentedFrame) {
  p->OpenDisplay(640, 480, 0, 0, 0);
  ASSERT_TRUE(p->DisplayOpen());
  EXPECT_FALSE(p->FullScreen());
  SDL_Window* w = OnlyWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(w), "Vornic Application");
  p->SetColor(255, 128, 0);
  p->DrawRect(10, 20, 5, 5);
  p->Flip(0);
  EXPECT_EQ(Shown(w, 12, 22), 0xFF8000u);
  EXPECT_EQ(Shown(w, 9, 22), 0u);
  p->Flip(1);
  p->Flip(-1);
  p->CloseDisplay();
  EXPECT_FALSE(p->DisplayOpen());
}

TEST_F(Sdl, FullScreenAndResizedWindowsScaleTheFrameWithBlackBars) {
  p->OpenDisplay(640, 480, 32, 0, 0);
  ASSERT_TRUE(p->DisplayOpen());
  EXPECT_TRUE(p->FullScreen());
  p->SetColor(255, 255, 255);
  p->DrawRect(0, 0, 640, 480);
  p->Flip(0);
  SDL_Window* w = OnlyWindow();
  ASSERT_NE(w, nullptr);
  int ww = 0, wh = 0;
  SDL_GetWindowSize(w, &ww, &wh);
  EXPECT_EQ(Shown(w, ww / 2, wh / 2), 0xFFFFFFu);
  EXPECT_EQ(Shown(w, ww - 1, wh - 1), 0xFFFFFFu);

  // Back to a (resizable) window, stretched wide: the frame keeps its shape
  // in the middle, with black bars left and right.
  p->OpenDisplay(640, 480, 0, 0, 0);
  ASSERT_TRUE(p->DisplayOpen());
  EXPECT_FALSE(p->FullScreen());
  w = OnlyWindow();
  SDL_SetWindowSize(w, 1000, 480);
  p->SetColor(255, 255, 255);
  p->DrawRect(0, 0, 640, 480);
  p->Flip(0);
  SDL_GetWindowSize(w, &ww, &wh);
  ASSERT_EQ(ww, 1000);
  EXPECT_EQ(Shown(w, 179, 240), 0u);
  EXPECT_EQ(Shown(w, 180, 240), 0xFFFFFFu);
  EXPECT_EQ(Shown(w, 819, 479), 0xFFFFFFu);
  EXPECT_EQ(Shown(w, 820, 0), 0u);
}

TEST_F(Sdl, KeyEventsCountPressesButNotRepeats) {
  p->OpenDisplay(640, 480, 0, 0, 0);
  ASSERT_TRUE(p->DisplayOpen());
  auto key = [](Uint32 type, SDL_Scancode sc, int repeat) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = sc;
    e.key.repeat = Uint8(repeat);
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
  };
  key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 0);
  key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 1);
  key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 1);
  EXPECT_EQ(p->KeyDown(32), 1);
  EXPECT_EQ(p->KeyPresses(32), 1);
  key(SDL_KEYUP, SDL_SCANCODE_SPACE, 0);
  key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 0);
  key(SDL_KEYUP, SDL_SCANCODE_SPACE, 0);
  key(SDL_KEYDOWN, SDL_SCANCODE_LEFT, 0);
  EXPECT_EQ(p->KeyPresses(32), 1);
  EXPECT_EQ(p->KeyDown(37), 1);

  SDL_Event focus{};
  focus.type = SDL_WINDOWEVENT;
  focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  SDL_PushEvent(&focus);
  EXPECT_EQ(p->KeyDown(37), 0);

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_EQ(p->CloseRequested(), 1);
  EXPECT_EQ(p->CloseRequested(), 0);
  EXPECT_EQ(p->JoyButtonDown(1, 0), 0);  // no joystick: nothing held
  EXPECT_EQ(p->JoyXDir(0), 0);
}

TEST_F(Sdl, LettersAskedForByNameFollowTheLayoutAndTheRestThePosition) {
  const std::tuple<SDL_Scancode, SDL_Keycode, std::vector<int>> cases[] = {
      {SDL_SCANCODE_Z, SDLK_y, {89, 90}},  // German: Y where Z is on US keys
      {SDL_SCANCODE_Y, SDLK_z, {}},        // and Z where Y is
      {SDL_SCANCODE_S, SDLK_o, {79, 83}},  // an O on the S key: fire by place
      {SDL_SCANCODE_E, SDLK_f, {69}},
      {SDL_SCANCODE_Y, 0x43d, {89}},  // a Cyrillic layout keeps Y in its place
  };
  for (const auto& [sc, sym, codes] : cases) {
    SDL_Event e{SDL_KEYDOWN};
    e.key.keysym = {sc, sym, 0, 0};
    SDL_PushEvent(&e);
    std::vector<int> down;
    for (int code = 1; code < 256; ++code)
      if (p->KeyDown(code)) down.push_back(code);
    EXPECT_EQ(down, codes) << sc;
    e.type = SDL_KEYUP;
    SDL_PushEvent(&e);
    EXPECT_EQ(p->KeyDown(codes.empty() ? 89 : codes[0]), 0);
  }
}

// SDL's virtual joysticks stand in for hardware: hot-plugged while running,
// read through the platform, and unplugged again.
struct VirtualStick {
  int index = -1;
  SDL_Joystick* js = nullptr;
  VirtualStick(SDL_JoystickType type, int axes, int buttons, int hats) {
    index = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
    if (index >= 0) js = SDL_JoystickOpen(index);
  }
  ~VirtualStick() {
    if (js) SDL_JoystickClose(js);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
  }
};

TEST_F(Sdl, ControllerFaceButtonsGoByPositionAndStickOrPadSteer) {
  VirtualStick pad(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                   SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_NE(pad.js, nullptr) << SDL_GetError();
  ASSERT_TRUE(SDL_IsGameController(pad.index));
  EXPECT_EQ(p->JoyButtonDown(1, 0), 0);  // the pump notices the new device
  SDL_JoystickSetVirtualButton(pad.js, SDL_CONTROLLER_BUTTON_X, 1);  // left face button
  SDL_JoystickSetVirtualButton(pad.js, SDL_CONTROLLER_BUTTON_Y, 1);  // top face button
  SDL_JoystickSetVirtualAxis(pad.js, SDL_CONTROLLER_AXIS_LEFTX, -20000);
  SDL_JoystickSetVirtualAxis(pad.js, SDL_CONTROLLER_AXIS_LEFTY, 10000);  // under a third
  EXPECT_EQ(pt::ButtonsDown(*p), "010010");
  EXPECT_EQ(p->JoyXDir(0), -1);
  EXPECT_EQ(p->JoyYDir(0), 0);
  SDL_JoystickSetVirtualAxis(pad.js, SDL_CONTROLLER_AXIS_LEFTX, 0);
  SDL_JoystickSetVirtualButton(pad.js, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1);
  SDL_JoystickSetVirtualButton(pad.js, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
  EXPECT_EQ(p->JoyXDir(0), 1);
  EXPECT_EQ(p->JoyYDir(0), 1);
}

TEST_F(Sdl, PlainJoystickUsesRawButtonsAndItsHatAndCanBeUnplugged) {
  auto stick = std::make_unique<VirtualStick>(SDL_JOYSTICK_TYPE_ARCADE_STICK, 0, 6, 1);
  ASSERT_NE(stick->js, nullptr) << SDL_GetError();
  if (SDL_IsGameController(stick->index)) GTEST_SKIP() << "SDL maps this stick as a controller";
  EXPECT_EQ(p->JoyButtonDown(1, 0), 0);
  SDL_JoystickSetVirtualButton(stick->js, 1, 1);
  SDL_JoystickSetVirtualButton(stick->js, 4, 1);  // beyond the four the game reads
  SDL_JoystickSetVirtualHat(stick->js, 0, SDL_HAT_LEFTUP);
  EXPECT_EQ(pt::ButtonsDown(*p), "001000");
  EXPECT_EQ(p->JoyXDir(0), -1);
  EXPECT_EQ(p->JoyYDir(0), -1);
  stick.reset();
  EXPECT_EQ(p->JoyButtonDown(2, 0), 0);
  EXPECT_EQ(p->JoyXDir(0), 0);
}

TEST(SdlNoDisplay, OpenDisplayFailsQuietlyAndTheGameCarriesOn) {
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto backend = sb::MakeSdlBackend();
  ASSERT_NE(backend, nullptr);
  sb::Platform p(std::move(backend));
  testing::internal::CaptureStderr();
  p.OpenDisplay(640, 480, 0, 0, 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(p.DisplayOpen());
  EXPECT_FALSE(p.FullScreen());
  // Nothing printed here: start-up says it once, with this reason.
  EXPECT_EQ(err, "");
  EXPECT_FALSE(p.WhyNoDisplay().empty());
  p.SetColor(9, 9, 9);
  p.DrawRect(0, 0, 4, 4);
  p.Flip(0);
  EXPECT_EQ(pt::Px(p, 1, 1), 0x090909u);
  EXPECT_EQ(p.KeyPresses(32), 0);
}

TEST_F(Sdl, ClockAndSoundRunWithoutATrueDevice) {
  uint32_t t0 = p->Millis();
  p->Delay(20);
  EXPECT_GE(p->Millis() - t0, 20u);
  int s = p->GetMixer().AddSound(std::vector<int16_t>(100, 500));
  p->PlaySound(s);
  p->PlaySound(0);
  EXPECT_EQ(p->GetMixer().Started(), 1u);
}

}  // namespace
