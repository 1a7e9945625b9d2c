#include "platform/web_keys.h"

#include "platform/input.h"

namespace sb {

namespace {

struct Named {
  std::string_view code;
  int vk;
};

// Keys outside the letter, digit and function-key runs.
constexpr Named kKeys[] = {
    {"Enter", 13},
    {"Escape", 27},
    {"Backspace", 8},
    {"Tab", 9},
    {"Space", 32},
    {"Minus", 189},
    {"Equal", 187},
    {"BracketLeft", 219},
    {"BracketRight", 221},
    {"Backslash", 220},
    {"Semicolon", 186},
    {"Quote", 222},
    {"Backquote", 192},
    {"Comma", 188},
    {"Period", 190},
    {"Slash", 191},
    {"IntlBackslash", 226},
    {"CapsLock", 20},
    {"PrintScreen", 44},
    {"ScrollLock", 145},
    {"Pause", 19},
    {"Insert", 45},
    {"Home", 36},
    {"PageUp", 33},
    {"Delete", 46},
    {"End", 35},
    {"PageDown", 34},
    {"ArrowRight", 39},
    {"ArrowLeft", 37},
    {"ArrowDown", 40},
    {"ArrowUp", 38},
    {"NumLock", 144},
    {"NumpadDivide", 111},
    {"NumpadMultiply", 106},
    {"NumpadSubtract", 109},
    {"NumpadAdd", 107},
    {"NumpadEnter", 13},
    {"Numpad0", 96},
    {"NumpadDecimal", 110},
    {"NumpadEqual", 187},
    {"ContextMenu", 93},
    {"ControlLeft", 162},
    {"ShiftLeft", 160},
    {"AltLeft", 164},
    {"MetaLeft", 91},
    {"ControlRight", 163},
    {"ShiftRight", 161},
    {"AltRight", 165},
    {"MetaRight", 92},
};

// The number after `prefix` when `code` is prefix + digits within [lo, hi].
int Numbered(std::string_view code, std::string_view prefix, int lo, int hi) {
  if (code.size() <= prefix.size() || code.substr(0, prefix.size()) != prefix ||
      code[prefix.size()] == '0')
    return -1;
  int n = 0;
  for (char c : code.substr(prefix.size())) {
    if (c < '0' || c > '9' || n > hi) return -1;
    n = n * 10 + (c - '0');
  }
  return n >= lo && n <= hi ? n : -1;
}

}  // namespace

int VirtualKeyFromCode(std::string_view code) {
  if (code.size() == 4 && code.substr(0, 3) == "Key" && code[3] >= 'A' && code[3] <= 'Z')
    return code[3];
  if (code.size() == 6 && code.substr(0, 5) == "Digit" && code[5] >= '0' && code[5] <= '9')
    return code[5];
  if (int f = Numbered(code, "F", 1, 24); f > 0) return 111 + f;
  if (int k = Numbered(code, "Numpad", 1, 9); k > 0) return 96 + k;
  for (const Named& k : kKeys)
    if (k.code == code) return k.vk;
  return 0;
}

int VirtualKeysOfCode(std::string_view code, std::string_view key, int codes[2]) {
  const char c = key.size() == 1 ? key[0] : 0;
  const int letter = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c >= 'A' && c <= 'Z' ? c : 0;
  return VirtualKeysOfPress(VirtualKeyFromCode(code), letter, codes);
}

}  // namespace sb
