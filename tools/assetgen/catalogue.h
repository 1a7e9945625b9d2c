// What the game loads: every image with the cell cuts the game makes of it,
// and every sound. The generator refuses to finish unless each one is made.
#pragma once

#include <array>
#include <string_view>

namespace assetgen {

struct ImageCut {
  std::string_view file;  // under images/
  int cw, ch, frames;     // frames 1 with cw = ch = 0: a single image of any size
};

inline constexpr std::array<ImageCut, 23> kImageCuts = {{
    {"player.bmp", 7, 12, 79},     {"hulks.bmp", 13, 16, 48},   {"grunts.bmp", 9, 13, 12},
    {"progs.bmp", 8, 16, 108},     {"brains.bmp", 13, 16, 72},  {"cruises.bmp", 3, 3, 8},
    {"spheroids.bmp", 13, 13, 14}, {"enforcers.bmp", 9, 11, 8}, {"quarks.bmp", 13, 13, 14},
    {"tanks.bmp", 13, 16, 8},      {"balls.bmp", 5, 5, 4},      {"pluses.bmp", 7, 7, 8},
    {"electrodes.bmp", 18, 9, 50}, {"humans.bmp", 8, 15, 36},   {"shots.bmp", 8, 8, 9},
    {"death.bmp", 13, 12, 8},      {"bits.bmp", 12, 1, 120},    {"bits.bmp", 1, 12, 120},
    {"points.bmp", 12, 6, 30},     {"kelfont.bmp", 6, 7, 80},   {"arrow.bmp", 0, 0, 1},
    {"tessik.bmp", 0, 0, 1},       {"zantrel.bmp", 22, 1, 270},
}};

inline constexpr std::array<std::string_view, 27> kSounds = {
    "shotborn", "newwave",    "playerhit", "bonus",       "gruntborn", "gruntwalk",    "grunthit",
    "hulkhit",  "brainborn",  "brainhit",  "humansaved",  "humanhit",  "progborn",     "proghit",
    "prog",     "cruiseborn", "spheroid",  "spheroidhit", "enforcer",  "enforcerhit",  "plusborn",
    "quark",    "quarkhit",   "tank",      "tankhit",     "ballborn",  "electrodehit",
};

// Sound limits every recipe must meet.
inline constexpr double kMinSeconds = 0.03;
inline constexpr double kMaxSeconds = 1.5;
inline constexpr double kMaxPeakDb = -1.0;

}  // namespace assetgen
