// Keys, joystick and close requests as the game reads them through the
// platform (each query pumps the back end, where scripted input lands).
#include <gtest/gtest.h>

#include "helpers.h"
#include "platform/sdl_backend.h"

namespace {

struct Keys : ::testing::Test {
  std::unique_ptr<sb::Platform> p = sb::MakeHeadlessPlatform();
  sb::InputState& in = p->Input();
};

TEST_F(Keys, ThreePressesCountThreeThenZero) {
  for (int i = 0; i < 3; ++i) {
    in.SetKey(32, true);
    in.SetKey(32, false);
  }
  EXPECT_EQ(p->KeyPresses(32), 3);
  EXPECT_EQ(p->KeyPresses(32), 0);
  EXPECT_EQ(p->KeyPresses(33), 0);
}

TEST_F(Keys, HeldKeyRepeatingAddsNothing) {
  for (int i = 0; i < 3; ++i) in.SetKey(65, true);  // the first press and two repeats
  EXPECT_EQ(p->KeyDown(65), 1);
  EXPECT_EQ(p->KeyPresses(65), 1);
  in.SetKey(65, false);
  EXPECT_EQ(p->KeyDown(65), 0);
  EXPECT_EQ(p->KeyPresses(65), 0);
}

TEST_F(Keys, FocusChangeAndClearKeysForgetHeldKeysAndCounts) {
  in.SetKey(37, true);
  in.SetKey(27, true);
  in.SetKey(27, false);
  in.FocusChanged();
  EXPECT_EQ(p->KeyDown(37), 0);
  EXPECT_EQ(p->KeyPresses(37), 0);
  EXPECT_EQ(p->KeyPresses(27), 0);
  in.SetKey(38, true);
  in.RequestClose();
  p->ClearKeys();
  EXPECT_EQ(p->KeyDown(38), 0);
  EXPECT_EQ(p->KeyPresses(38), 0);
  EXPECT_EQ(p->CloseRequested(), 1);  // a close request survives ClearKeys
  EXPECT_EQ(p->CloseRequested(), 0);
}

TEST_F(Keys, CodesOutsideTheTableReadAsUp) {
  in.SetKey(-1, true);
  in.SetKey(256, true);
  EXPECT_EQ(p->KeyDown(-1), 0);
  EXPECT_EQ(p->KeyDown(256), 0);
  EXPECT_EQ(p->KeyPresses(1 << 30), 0);
  EXPECT_EQ(p->KeyDown(0), 0);
}

TEST_F(Keys, ScriptedInputArrivesThroughThePump) {
  auto& hb = sb::Headless(*p);
  int pumps = 0;
  hb.on_pump = [&](sb::InputState& s) {
    if (++pumps == 2) s.SetKey(13, true);
  };
  EXPECT_EQ(p->KeyDown(13), 0);
  EXPECT_EQ(p->KeyDown(13), 1);
  p->Flip(0);
  EXPECT_EQ(pumps, 3);
}

TEST_F(Keys, JoystickOnPortZeroOnly) {
  EXPECT_EQ(p->JoyButtonDown(1, 0), 0);
  EXPECT_EQ(p->JoyXDir(0), 0);
  in.SetJoyButton(1, true);
  in.SetJoyButton(4, true);
  in.SetJoyButton(7, true);  // beyond the six buttons read (face buttons, Back, Start)
  in.SetJoyAxes(-7, 1);
  EXPECT_EQ(pt::ButtonsDown(*p), "010010");
  EXPECT_EQ(p->JoyButtonDown(7, 0), 0);
  EXPECT_EQ(pt::ButtonsDown(*p, 1), "000000");
  EXPECT_EQ(p->JoyXDir(0), -1);
  EXPECT_EQ(p->JoyYDir(0), 1);
  EXPECT_EQ(p->JoyYDir(1), 0);
}

TEST(KeyCodes, PhysicalKeysMapToTheGamesVirtualKeys) {
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_A), 65);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_Z), 90);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_0), 48);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_9), 57);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_ESCAPE), 27);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_SPACE), 32);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_RETURN), 13);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_KP_ENTER), 13);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_LEFT), 37);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_UP), 38);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_RIGHT), 39);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_DOWN), 40);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_F1), 112);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_F10), 121);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_F11), 122);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_F12), 123);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_KP_0), 96);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_KP_9), 105);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_KP_MULTIPLY), 106);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_LSHIFT), 160);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 161);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_LCTRL), 162);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_RCTRL), 163);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_PAGEDOWN), 34);
  EXPECT_EQ(sb::VirtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
    const int vk = sb::VirtualKeyFromScancode(sc);
    ASSERT_TRUE(vk >= 0 && vk < sb::InputState::kKeys) << sc;
  }
}

}  // namespace
