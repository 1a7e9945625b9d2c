#include "platform/sdl_backend.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/virtual_pad.h"

namespace sb {

int VirtualKeyFromScancode(int sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 65 + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return 49 + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 112 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return 124 + (sc - SDL_SCANCODE_F13);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return 97 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_0:
      return 48;
    case SDL_SCANCODE_RETURN:
      return 13;
    case SDL_SCANCODE_ESCAPE:
      return 27;
    case SDL_SCANCODE_BACKSPACE:
      return 8;
    case SDL_SCANCODE_TAB:
      return 9;
    case SDL_SCANCODE_SPACE:
      return 32;
    case SDL_SCANCODE_MINUS:
      return 189;
    case SDL_SCANCODE_EQUALS:
      return 187;
    case SDL_SCANCODE_LEFTBRACKET:
      return 219;
    case SDL_SCANCODE_RIGHTBRACKET:
      return 221;
    case SDL_SCANCODE_BACKSLASH:
      return 220;
    case SDL_SCANCODE_NONUSHASH:
      return 220;
    case SDL_SCANCODE_SEMICOLON:
      return 186;
    case SDL_SCANCODE_APOSTROPHE:
      return 222;
    case SDL_SCANCODE_GRAVE:
      return 192;
    case SDL_SCANCODE_COMMA:
      return 188;
    case SDL_SCANCODE_PERIOD:
      return 190;
    case SDL_SCANCODE_SLASH:
      return 191;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return 226;
    case SDL_SCANCODE_CAPSLOCK:
      return 20;
    case SDL_SCANCODE_PRINTSCREEN:
      return 44;
    case SDL_SCANCODE_SCROLLLOCK:
      return 145;
    case SDL_SCANCODE_PAUSE:
      return 19;
    case SDL_SCANCODE_INSERT:
      return 45;
    case SDL_SCANCODE_HOME:
      return 36;
    case SDL_SCANCODE_PAGEUP:
      return 33;
    case SDL_SCANCODE_DELETE:
      return 46;
    case SDL_SCANCODE_END:
      return 35;
    case SDL_SCANCODE_PAGEDOWN:
      return 34;
    case SDL_SCANCODE_RIGHT:
      return 39;
    case SDL_SCANCODE_LEFT:
      return 37;
    case SDL_SCANCODE_DOWN:
      return 40;
    case SDL_SCANCODE_UP:
      return 38;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return 144;
    case SDL_SCANCODE_KP_DIVIDE:
      return 111;
    case SDL_SCANCODE_KP_MULTIPLY:
      return 106;
    case SDL_SCANCODE_KP_MINUS:
      return 109;
    case SDL_SCANCODE_KP_PLUS:
      return 107;
    case SDL_SCANCODE_KP_ENTER:
      return 13;
    case SDL_SCANCODE_KP_0:
      return 96;
    case SDL_SCANCODE_KP_PERIOD:
      return 110;
    case SDL_SCANCODE_KP_EQUALS:
      return 187;
    case SDL_SCANCODE_APPLICATION:
      return 93;
    case SDL_SCANCODE_LCTRL:
      return 162;
    case SDL_SCANCODE_LSHIFT:
      return 160;
    case SDL_SCANCODE_LALT:
      return 164;
    case SDL_SCANCODE_LGUI:
      return 91;
    case SDL_SCANCODE_RCTRL:
      return 163;
    case SDL_SCANCODE_RSHIFT:
      return 161;
    case SDL_SCANCODE_RALT:
      return 165;
    case SDL_SCANCODE_RGUI:
      return 92;
    default:
      return 0;
  }
}

int VirtualKeysOfKey(int scancode, int keycode, int codes[2]) {
  const bool latin = keycode >= 'a' && keycode <= 'z';
  return VirtualKeysOfPress(VirtualKeyFromScancode(scancode), latin ? keycode - 'a' + 'A' : 0,
                            codes);
}

namespace {

// A stick counts as deflected beyond a third of its range.
constexpr int kDeadZone = 32767 / 3;

int AxisDir(int v) {
  return v > kDeadZone ? 1 : v < -kDeadZone ? -1 : 0;
}

class SdlBackend : public Backend {
 public:
  SdlBackend() {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {
      joy_ok_ = true;
      if (const char* f = std::getenv("SDL_GAMECONTROLLERCONFIG_FILE"); f && *f)
        SDL_GameControllerAddMappingsFromFile(f);
      OpenFirstJoystick();
      test_pad_ = VirtualPad::FromEnvironment();
    }
  }

  ~SdlBackend() override {
    if (audio_) SDL_CloseAudioDevice(audio_);
    CloseJoystick();
    test_pad_.reset();
    CloseWindow();
    SDL_Quit();
  }

  bool OpenWindow(bool fullscreen) override {
    CloseWindow();
    if (!video_) {
      const char* x = std::getenv("DISPLAY");
      const char* w = std::getenv("WAYLAND_DISPLAY");
      const char* asked_first = SDL_GetHint(SDL_HINT_VIDEODRIVER);
      if (!(x && *x) && !(w && *w) && !(asked_first && *asked_first)) {
        SDL_SetError("neither DISPLAY nor WAYLAND_DISPLAY is set");
        return Fail();
      }
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return Fail();
      // Without a display server SDL falls back to drivers that show
      // nothing; a game nobody can see is no display, unless asked for.
      const char* drv = SDL_GetCurrentVideoDriver();
      const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
      if (drv && (SDL_strcmp(drv, "offscreen") == 0 || SDL_strcmp(drv, "dummy") == 0) &&
          !(asked && SDL_strstr(asked, drv))) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no display server found");
        return Fail();
      }
      video_ = true;
    }
    Uint32 flags = SDL_WINDOW_RESIZABLE | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    window_ = SDL_CreateWindow("Vornic Application", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kScreenW, kScreenH, flags);
    if (!window_) return Fail();
    if (SDL_Surface* icon = SDL_LoadBMP("images/icon.bmp")) {
      SDL_SetWindowIcon(window_, icon);
      SDL_FreeSurface(icon);
    }
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) {
      Fail();
      CloseWindow();
      return false;
    }
    // SDL's software renderer would copy each frame three times (into the
    // texture, a clear, onto the window surface); without a GPU the frame
    // goes straight onto the window surface instead, once.
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE)) {
      SDL_DestroyRenderer(renderer_);
      renderer_ = nullptr;
      if (!SDL_GetWindowSurface(window_)) {
        Fail();
        CloseWindow();
        return false;
      }
      return Opened();
    }
    // Upload in the window's own layout when it is one of ours (no
    // conversion); 0x00RRGGBB is both XRGB8888 and ARGB8888 without alpha.
    Uint32 fmt = SDL_GetWindowPixelFormat(window_);
    if (fmt != SDL_PIXELFORMAT_RGB888) fmt = SDL_PIXELFORMAT_ARGB8888;
    texture_ = SDL_CreateTexture(renderer_, fmt, SDL_TEXTUREACCESS_STREAMING, kScreenW, kScreenH);
    if (!texture_) {
      Fail();
      CloseWindow();
      return false;
    }
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    return Opened();
  }

  bool Opened() {
    fullscreen_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_ShowCursor(SDL_DISABLE);  // over our window only: the game has no use for a pointer
    // The sound device opens once there is something to see, so a start
    // without a display says only that.
    if (mixer_ && !audio_) OpenAudio();
    SDL_StopTextInput();  // keys only: no input-method pop-ups
    vsync_ = false;
    return true;
  }

  void CloseWindow() override {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    fullscreen_ = false;
  }

  bool IsFullScreen() const override { return window_ && fullscreen_; }

  void Present(const uint32_t* pixels, int sync) override {
    if (!window_) return;
    if (!renderer_) {
      PresentToSurface(pixels);
      return;
    }
    const bool want = sync == 1 || (sync == -1 && fullscreen_);
    if (want != vsync_) {
      SDL_RenderSetVSync(renderer_, want ? 1 : 0);
      vsync_ = want;
    }
    SDL_UpdateTexture(texture_, nullptr, pixels, kScreenW * 4);
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(renderer_, &ow, &oh);
    const SDL_Rect dst = Letterbox(ow, oh);
    // Bars only when the frame does not cover the whole output.
    if (dst.w != ow || dst.h != oh) {
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
    }
    if (dst.w > 0 && dst.h > 0) SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
    SDL_RenderPresent(renderer_);
  }

  // As large as fits with the aspect kept, centred.
  static SDL_Rect Letterbox(int ow, int oh) {
    SDL_Rect dst{0, 0, 0, 0};
    if (ow <= 0 || oh <= 0) return dst;
    if (int64_t{ow} * kScreenH >= int64_t{oh} * kScreenW) {
      dst.h = oh;
      dst.w = static_cast<int>(int64_t{oh} * kScreenW / kScreenH);
    } else {
      dst.w = ow;
      dst.h = static_cast<int>(int64_t{ow} * kScreenH / kScreenW);
    }
    dst.x = (ow - dst.w) / 2;
    dst.y = (oh - dst.h) / 2;
    return dst;
  }

  // No GPU: one copy onto the window surface when it is 640x480 in our
  // layout (the usual window), else a scaled blit with black bars.
  void PresentToSurface(const uint32_t* pixels) {
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    if (!s) return;
    const Uint32 fmt = s->format->format;
    if (s->w == kScreenW && s->h == kScreenH &&
        (fmt == SDL_PIXELFORMAT_RGB888 || fmt == SDL_PIXELFORMAT_ARGB8888)) {
      if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return;
      auto* out = static_cast<uint8_t*>(s->pixels);
      if (s->pitch == kScreenW * 4) {
        std::memcpy(out, pixels, size_t{kScreenW} * kScreenH * 4);
      } else {
        for (int y = 0; y < kScreenH; ++y)
          std::memcpy(out + static_cast<size_t>(y) * s->pitch, pixels + size_t{kScreenW} * y,
                      size_t{kScreenW} * 4);
      }
      if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    } else {
      SDL_Surface* frame =
          SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), kScreenW, kScreenH, 32,
                                             kScreenW * 4, SDL_PIXELFORMAT_RGB888);
      if (!frame) return;
      SDL_Rect dst = Letterbox(s->w, s->h);
      SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
      if (dst.w > 0 && dst.h > 0) SDL_BlitScaled(frame, nullptr, s, &dst);
      SDL_FreeSurface(frame);
    }
    SDL_UpdateWindowSurface(window_);
  }

  void PumpEvents(InputState& input) override {
    if (!video_ && !joy_ok_) return;
    if (test_pad_) test_pad_->Poll();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT:
          input.RequestClose();
          break;
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) input.RequestClose();
          if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) input.SetFocus(false);
          if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) input.SetFocus(true);
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED) Reshow();
          break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
          if (e.key.repeat) break;  // auto-repeat is not a press
          if (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_RETURN &&
              (e.key.keysym.mod & KMOD_ALT)) {
            ToggleFullScreen();  // Alt+Enter, as on any desktop game; not a key for the game
            break;
          }
          {
            int codes[2];
            const int n = VirtualKeysOfKey(e.key.keysym.scancode, e.key.keysym.sym, codes);
            for (int i = 0; i < n; ++i) input.SetKey(codes[i], e.type == SDL_KEYDOWN);
          }
          break;
        case SDL_JOYDEVICEADDED:
          if (!joy_) OpenFirstJoystick();
          break;
        case SDL_JOYDEVICEREMOVED:
          if (joy_ && e.jdevice.which == joy_id_) {
            CloseJoystick();
            OpenFirstJoystick();
          }
          break;
        default:
          break;
      }
    }
    ReadJoystick(input);
  }

  uint32_t Millis() override { return SDL_GetTicks(); }
  void Delay(int ms) override {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
  }

  void StartAudio(Mixer& mixer) override {
    mixer_ = &mixer;
    if (window_) OpenAudio();
  }

  void OpenAudio() {
    if (audio_ || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;  // silent, not an error
    SDL_AudioSpec want{};
    want.freq = Mixer::kRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 1024;
    want.callback = &SdlBackend::AudioCallback;
    want.userdata = mixer_;
    SDL_AudioSpec have{};
    audio_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // SDL converts if it must
    if (audio_) SDL_PauseAudioDevice(audio_, 0);
  }
  void LockAudio() override {
    if (audio_) SDL_LockAudioDevice(audio_);
  }
  void UnlockAudio() override {
    if (audio_) SDL_UnlockAudioDevice(audio_);
  }

 private:
  static void AudioCallback(void* mixer, Uint8* stream, int len) {
    static_cast<Mixer*>(mixer)->Mix(reinterpret_cast<int16_t*>(stream), len / 2);
  }

  // Kept for the one message the game prints.
  bool Fail() {
    why_ = SDL_GetError();
    return false;
  }
  std::string WhyNoWindow() const override { return why_; }

  // The window was uncovered: show the last frame again (while the game
  // waits, nothing else would).
  void Reshow() {
    if (!window_) return;
    if (renderer_ && texture_) {
      int ow = 0, oh = 0;
      SDL_GetRendererOutputSize(renderer_, &ow, &oh);
      const SDL_Rect dst = Letterbox(ow, oh);
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
      if (dst.w > 0 && dst.h > 0) SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
      SDL_RenderPresent(renderer_);
    } else if (!renderer_) {
      SDL_UpdateWindowSurface(window_);
    }
  }

  void ToggleFullScreen() {
    if (!window_) return;
    const bool want = !fullscreen_;
    if (SDL_SetWindowFullscreen(window_, want ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
    fullscreen_ = want;
  }

  void OpenFirstJoystick() {
    for (int i = 0; i < SDL_NumJoysticks() && !joy_; ++i) {
      if (SDL_IsGameController(i)) {
        pad_ = SDL_GameControllerOpen(i);
        if (pad_) joy_ = SDL_GameControllerGetJoystick(pad_);
      }
      if (!joy_) joy_ = SDL_JoystickOpen(i);
    }
    joy_id_ = joy_ ? SDL_JoystickInstanceID(joy_) : -1;
  }

  void CloseJoystick() {
    if (pad_)
      SDL_GameControllerClose(pad_);
    else if (joy_)
      SDL_JoystickClose(joy_);
    pad_ = nullptr;
    joy_ = nullptr;
    joy_id_ = -1;
  }

  void ReadJoystick(InputState& in) {
    int b[6] = {0, 0, 0, 0, 0, 0}, x = 0, y = 0;
    if (pad_) {
      // Face buttons by position: left, bottom, right, top.
      b[0] = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_X);
      b[1] = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_A);
      b[2] = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_B);
      b[3] = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_Y);
      b[4] = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_BACK);
      b[5] = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_START);
      x = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) -
          SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
      y = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_DOWN) -
          SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_UP);
      if (x == 0) x = AxisDir(SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX));
      if (y == 0) y = AxisDir(SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_LEFTY));
    } else if (joy_) {
      const int nb = SDL_JoystickNumButtons(joy_);
      for (int i = 0; i < 4 && i < nb; ++i) b[i] = SDL_JoystickGetButton(joy_, i);
      if (SDL_JoystickNumAxes(joy_) >= 2) {
        x = AxisDir(SDL_JoystickGetAxis(joy_, 0));
        y = AxisDir(SDL_JoystickGetAxis(joy_, 1));
      }
      if (x == 0 && y == 0 && SDL_JoystickNumHats(joy_) > 0) {
        Uint8 h = SDL_JoystickGetHat(joy_, 0);
        x = ((h & SDL_HAT_RIGHT) ? 1 : 0) - ((h & SDL_HAT_LEFT) ? 1 : 0);
        y = ((h & SDL_HAT_DOWN) ? 1 : 0) - ((h & SDL_HAT_UP) ? 1 : 0);
      }
    }
    for (int i = 0; i < 6; ++i) in.SetJoyButton(i + 1, b[i] != 0);
    in.SetJoyAxes(x, y);
  }

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool video_ = false, fullscreen_ = false, vsync_ = false, joy_ok_ = false;
  std::string why_;
  Mixer* mixer_ = nullptr;
  std::unique_ptr<VirtualPad> test_pad_;
  SDL_AudioDeviceID audio_ = 0;
  SDL_GameController* pad_ = nullptr;
  SDL_Joystick* joy_ = nullptr;
  SDL_JoystickID joy_id_ = -1;
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() {
  if (SDL_Init(0) != 0) {
    std::fprintf(stderr, "swarmbreak: cannot start SDL: %s\n", SDL_GetError());
    return nullptr;
  }
  return std::make_unique<SdlBackend>();
}

}  // namespace sb
