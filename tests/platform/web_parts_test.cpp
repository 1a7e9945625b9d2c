// The browser build's own readers and key map, held to the desktop's: the
// plain BMP/WAV decoders against SDL's on every generated file and on broken
// ones, and KeyboardEvent.code against the SDL back end's scancode map.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "core/catalogue.h"
#include "helpers.h"
#include "platform/decode.h"
#include "platform/sdl_backend.h"
#include "platform/web_keys.h"

namespace {

const std::string kGame = SB_GAME_DIR;

void ExpectSameBmp(const std::string& path, bool want_ok) {
  sb::Bitmap sdl, plain;
  const bool a = sb::DecodeBmp(path, sdl), b = sb::plain::DecodeBmp(path, plain);
  EXPECT_EQ(a, want_ok) << path;
  EXPECT_EQ(b, want_ok) << path;
  if (!a || !b) return;
  EXPECT_EQ(plain.w, sdl.w) << path;
  EXPECT_EQ(plain.h, sdl.h) << path;
  EXPECT_TRUE(plain.px == sdl.px) << path;
}

std::vector<int16_t> DecodeWith(bool (*decode)(std::vector<uint8_t>&, std::vector<int16_t>&),
                                std::vector<uint8_t> bytes, bool& ok) {
  std::vector<int16_t> out;
  ok = decode(bytes, out);
  return out;
}

TEST(PlainDecoders, GiveSdlsPixelsAndSamplesForEveryGeneratedFile) {
  std::set<std::string> images = {"icon.bmp"};
  for (const sb::ImageCut& c : sb::kImageCuts) images.insert(std::string(c.file));
  for (const std::string& f : images) ExpectSameBmp(kGame + "/images/" + f, true);
  for (const char* name : sb::kSoundNames) {
    const auto bytes = pt::ReadBytes(kGame + "/sounds/" + name + ".wav");
    bool sdl_ok = false, plain_ok = false;
    const auto sdl = DecodeWith(sb::DecodeWav, bytes, sdl_ok);
    const auto plain = DecodeWith(sb::plain::DecodeWav, bytes, plain_ok);
    ASSERT_TRUE(sdl_ok && plain_ok) << name;
    EXPECT_FALSE(sdl.empty()) << name;
    EXPECT_TRUE(plain == sdl) << name;
  }
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

TEST(PlainDecoders, RefuseTheBrokenBmpsSdlRefuses) {
  pt::TempDir dir;
  const auto good = pt::ReadBytes(kGame + "/images/arrow.bmp");
  ASSERT_GT(good.size(), 54u);
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> change;
    bool ok;
  };
  const Case cases[] = {
      {"as made", [](auto&) {}, true},
      {"header cut", [](auto& b) { b.resize(30); }, false},
      {"no magic", [](auto& b) { b[0] = 'X'; }, false},
      {"too wide", [](auto& b) { Put32(b, 18, 100000); }, false},
      {"too many pixels", [](auto& b) { Put32(b, 18, 8192), Put32(b, 22, 8192); }, false},
      {"unknown method", [](auto& b) { Put32(b, 30, 4); }, false},
      {"top row first", [](auto& b) { Put32(b, 22, uint32_t(-int32_t(b[22] | b[23] << 8))); },
       true},
      {"empty", [](auto& b) { b.clear(); }, false},
  };
  for (const Case& c : cases) {
    auto bytes = good;
    c.change(bytes);
    pt::WriteBytes(dir / "x.bmp", bytes);
    SCOPED_TRACE(c.what);
    ExpectSameBmp(dir / "x.bmp", c.ok);
  }
}

TEST(PlainDecoders, ReadTheOtherPcmFormsAndRefuseBrokenWavsLikeSdl) {
  std::vector<uint8_t> ramp;  // 2000 bytes: 8-bit values, or 16-bit words
  for (int i = 0; i < 2000; ++i) ramp.push_back(uint8_t(i * 37));
  auto sound = pt::Wav(1, 44100, 16, ramp);
  auto cut_fmt = sound;
  cut_fmt.resize(30);
  auto no_data = sound;
  std::memcpy(no_data.data() + 36, "junk", 4);
  auto not_pcm = sound;
  not_pcm[20] = 3;
  auto long_data = sound;
  Put32(long_data, 40, 0x7FFFFFFF);  // more than the file holds: what is there is read
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool ok;
    int tolerance;  // per sample, against SDL's conversion
  };
  const Case cases[] = {
      {"16-bit mono", sound, true, 0},
      {"claims more data than it has", long_data, true, 0},
      {"8-bit mono", pt::Wav(1, 44100, 8, ramp), true, 256},
      {"16-bit stereo", pt::Wav(2, 44100, 16, ramp), true, 1},
      {"8-bit stereo", pt::Wav(2, 44100, 8, ramp), true, 256},
      {"format cut", cut_fmt, false, 0},
      {"no data chunk", no_data, false, 0},
      {"not PCM", not_pcm, false, 0},
      {"zero rate", pt::Wav(1, 0, 16, ramp), false, 0},
      {"24-bit", pt::Wav(1, 44100, 24, ramp), true, -1},  // -1: may differ, must not crash
      {"noise", std::vector<uint8_t>(500, 0xA5), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool sdl_ok = false, plain_ok = false;
    const auto sdl = DecodeWith(sb::DecodeWav, c.bytes, sdl_ok);
    const auto plain = DecodeWith(sb::plain::DecodeWav, c.bytes, plain_ok);
    EXPECT_EQ(sdl_ok, c.ok);
    if (c.tolerance < 0) continue;
    EXPECT_EQ(plain_ok, c.ok);
    if (!sdl_ok || !plain_ok) continue;
    ASSERT_EQ(plain.size(), sdl.size());
    for (size_t i = 0; i < sdl.size(); ++i)
      ASSERT_NEAR(plain[i], sdl[i], c.tolerance) << "sample " << i;
  }
  // Another rate is brought to the mixer's: the same length as SDL's.
  bool sdl_ok = false, plain_ok = false;
  const auto half = pt::Wav(1, 22050, 16, ramp);
  const auto sdl = DecodeWith(sb::DecodeWav, half, sdl_ok);
  const auto plain = DecodeWith(sb::plain::DecodeWav, half, plain_ok);
  ASSERT_TRUE(sdl_ok && plain_ok);
  EXPECT_NEAR(double(plain.size()), double(sdl.size()), 4.0);
}

TEST(WebKeys, EveryPhysicalKeyGivesTheSdlBackEndsCode) {
  // clang-format off
#define S(name) SDL_SCANCODE_##name
  const std::pair<const char*, SDL_Scancode> keys[] = {
      {"KeyA", S(A)}, {"KeyZ", S(Z)}, {"KeyY", S(Y)}, {"Digit0", S(0)}, {"Digit1", S(1)},
      {"Digit9", S(9)}, {"F1", S(F1)}, {"F12", S(F12)}, {"F13", S(F13)}, {"F24", S(F24)},
      {"Numpad0", S(KP_0)}, {"Numpad1", S(KP_1)}, {"Numpad9", S(KP_9)}, {"Enter", S(RETURN)},
      {"NumpadEnter", S(KP_ENTER)}, {"Escape", S(ESCAPE)}, {"Backspace", S(BACKSPACE)},
      {"Tab", S(TAB)}, {"Space", S(SPACE)}, {"Minus", S(MINUS)}, {"Equal", S(EQUALS)},
      {"BracketLeft", S(LEFTBRACKET)}, {"BracketRight", S(RIGHTBRACKET)},
      {"Backslash", S(BACKSLASH)}, {"Semicolon", S(SEMICOLON)}, {"Quote", S(APOSTROPHE)},
      {"Backquote", S(GRAVE)}, {"Comma", S(COMMA)}, {"Period", S(PERIOD)}, {"Slash", S(SLASH)},
      {"IntlBackslash", S(NONUSBACKSLASH)}, {"CapsLock", S(CAPSLOCK)},
      {"PrintScreen", S(PRINTSCREEN)}, {"ScrollLock", S(SCROLLLOCK)}, {"Pause", S(PAUSE)},
      {"Insert", S(INSERT)}, {"Home", S(HOME)}, {"PageUp", S(PAGEUP)}, {"Delete", S(DELETE)},
      {"End", S(END)}, {"PageDown", S(PAGEDOWN)}, {"ArrowRight", S(RIGHT)}, {"ArrowLeft", S(LEFT)},
      {"ArrowDown", S(DOWN)}, {"ArrowUp", S(UP)}, {"NumLock", S(NUMLOCKCLEAR)},
      {"NumpadDivide", S(KP_DIVIDE)}, {"NumpadMultiply", S(KP_MULTIPLY)},
      {"NumpadSubtract", S(KP_MINUS)}, {"NumpadAdd", S(KP_PLUS)}, {"NumpadDecimal", S(KP_PERIOD)},
      {"NumpadEqual", S(KP_EQUALS)}, {"ContextMenu", S(APPLICATION)}, {"ControlLeft", S(LCTRL)},
      {"ShiftLeft", S(LSHIFT)}, {"AltLeft", S(LALT)}, {"MetaLeft", S(LGUI)},
      {"ControlRight", S(RCTRL)}, {"ShiftRight", S(RSHIFT)}, {"AltRight", S(RALT)},
      {"MetaRight", S(RGUI)}};
#undef S
  // clang-format on
  for (const auto& [code, sc] : keys) {
    EXPECT_NE(sb::VirtualKeyFromScancode(sc), 0) << code;
    EXPECT_EQ(sb::VirtualKeyFromCode(code), sb::VirtualKeyFromScancode(sc)) << code;
  }
  for (const char* unknown :
       {"", "Key", "KeyAA", "Keya", "Digit", "F0", "F25", "F0001", "Numpad10", "Fn", "Lang1"})
    EXPECT_EQ(sb::VirtualKeyFromCode(unknown), 0) << unknown;
}

TEST(WebKeys, TheLettersAskedForByNameCountByTheLayoutsLetter) {
  struct Case {
    const char* code;
    const char* key;
    std::vector<int> want;
  };
  const Case cases[] = {{"KeyA", "a", {'A'}},
                        {"KeyY", "y", {'Y'}},
                        {"KeyO", "O", {'O'}},       // with Shift
                        {"KeyZ", "y", {'Z', 'Y'}},  // a layout with Y where Z is elsewhere
                        {"KeyY", "z", {}},          // ... and Z there: that key is no Y
                        {"Semicolon", "n", {186, 'N'}},
                        {"KeyN", "\xd1\x82", {'N'}},  // a layout without Latin letters
                        {"Space", " ", {32}},
                        {"Lang1", "", {}}};
  for (const Case& c : cases) {
    int codes[2] = {};
    const int n = sb::VirtualKeysOfCode(c.code, c.key, codes);
    EXPECT_EQ(std::vector<int>(codes, codes + n), c.want) << c.code << " " << c.key;
  }
}

}  // namespace
