#include "core/keys.h"

namespace sb {

namespace {

// Set-1 scan code (extended keys at 128 + code) to virtual-key code.
struct KeyEntry {
  int n, code;
};
constexpr KeyEntry kKeys[] = {
    {1, 27},   {2, 49},    {3, 50},   {4, 51},    {5, 52},    {6, 53},   {7, 54},   {8, 55},
    {9, 56},   {10, 57},   {11, 48},  {12, 189},  {13, 187},  {14, 8},   {15, 9},   {16, 81},
    {17, 87},  {18, 69},   {19, 82},  {20, 84},   {21, 89},   {22, 85},  {23, 73},  {24, 79},
    {25, 80},  {26, 219},  {27, 221}, {28, 13},   {29, 162},  {30, 65},  {31, 83},  {32, 68},
    {33, 70},  {34, 71},   {35, 72},  {36, 74},   {37, 75},   {38, 76},  {39, 186}, {40, 222},
    {41, 192}, {42, 160},  {43, 226}, {44, 90},   {45, 88},   {46, 67},  {47, 86},  {48, 66},
    {49, 78},  {50, 77},   {51, 188}, {52, 190},  {53, 191},  {54, 161}, {55, 106}, {57, 32},
    {59, 112}, {60, 113},  {61, 114}, {62, 115},  {63, 116},  {64, 117}, {65, 118}, {66, 119},
    {67, 120}, {68, 121},  {71, 103}, {72, 104},  {73, 105},  {74, 109}, {75, 100}, {76, 101},
    {77, 102}, {78, 107},  {79, 97},  {80, 98},   {81, 99},   {82, 96},  {83, 110}, {85, 122},
    {86, 123}, {141, 187}, {156, 13}, {157, 163}, {181, 111}, {183, 44}, {199, 36}, {200, 38},
    {201, 33}, {203, 37},  {205, 39}, {207, 35},  {208, 40},  {209, 34}, {210, 45}, {211, 46},
};

int CodeOf(const Game& g, int n) {
  // Numbers outside the table query "no key" rather than reading past it.
  if (n < 0 || n >= static_cast<int>(g.keytable.size())) return 0;
  return g.keytable[static_cast<size_t>(n)];
}

}  // namespace

void FillKeyTable(Game& g) {
  g.keytable.fill(0);
  for (const KeyEntry& e : kKeys) g.keytable[static_cast<size_t>(e.n)] = e.code;
}

int LegacyKeyDown(Game& g, int n) {
  return g.P.KeyDown(CodeOf(g, n));
}

int LegacyKeyHit(Game& g, int n) {
  return g.P.KeyPresses(CodeOf(g, n));
}

int FirePressed(Game& g) {
  // Every input is read on every call (no short cut), so each query pumps
  // events the same way whatever is held.
  const int keys[5] = {LegacyKeyDown(g, kKeyS), LegacyKeyDown(g, kKeyF), LegacyKeyDown(g, kKeyE),
                       LegacyKeyDown(g, kKeyD), LegacyKeyDown(g, kKeySpace)};
  const int buttons[4] = {g.P.JoyButtonDown(4, 0), g.P.JoyButtonDown(2, 0), g.P.JoyButtonDown(3, 0),
                          g.P.JoyButtonDown(1, 0)};
  for (int k : keys)
    if (k) return 1;
  for (int b : buttons)
    if (b) return 1;
  return 0;
}

}  // namespace sb
