// What the game loads from its folder: every image with the cells it cuts
// from it, and every sound. The asset generator makes exactly these files.
#pragma once

#include <array>
#include <string_view>

namespace sb {

struct ImageCut {
  std::string_view file;      // under images/
  int cw, ch, frames;         // frames 1 with cw = ch = 0: a single image of any size
  std::string_view failname;  // as the missing-image line names it
};

// In load order.
inline constexpr std::array<ImageCut, 23> kImageCuts = {{
    {"player.bmp", 7, 12, 79, "player.bmp"},
    {"hulks.bmp", 13, 16, 48, "hulk.bmp"},
    {"grunts.bmp", 9, 13, 12, "grunts.bmp"},
    {"progs.bmp", 8, 16, 108, "progs.bmp"},
    {"brains.bmp", 13, 16, 72, "brains.bmp"},
    {"cruises.bmp", 3, 3, 8, "cruises.bmp"},
    {"spheroids.bmp", 13, 13, 14, "spheroids.bmp"},
    {"enforcers.bmp", 9, 11, 8, "enforcers.bmp"},
    {"quarks.bmp", 13, 13, 14, "quarks.bmp"},
    {"tanks.bmp", 13, 16, 8, "tanks.bmp"},
    {"balls.bmp", 5, 5, 4, "balls.bmp"},
    {"pluses.bmp", 7, 7, 8, "pluses.bmp"},
    {"electrodes.bmp", 18, 9, 50, "electrodes.bmp"},
    {"humans.bmp", 8, 15, 36, "humans.bmp"},
    {"shots.bmp", 8, 8, 9, "shots.bmp"},
    {"death.bmp", 13, 12, 8, "death.bmp"},
    {"bits.bmp", 12, 1, 120, "bits.bmp"},
    {"bits.bmp", 1, 12, 120, "bits.bmp"},
    {"points.bmp", 12, 6, 30, "points.bmp"},
    {"kelfont.bmp", 6, 7, 80, "kelfont.bmp"},
    {"arrow.bmp", 0, 0, 1, "arrow.bmp"},
    {"tessik.bmp", 0, 0, 1, "tessik.bmp"},
    {"zantrel.bmp", 22, 1, 270, "zantrel.bmp"},
}};

// Base names of the sounds (file sounds/<name>.wav), in the order of the
// request flags.
inline constexpr std::array<const char*, 27> kSoundNames = {
    "shotborn", "newwave",    "playerhit", "bonus",       "gruntborn", "gruntwalk",   "grunthit",
    "hulkhit",  "brainborn",  "brainhit",  "humansaved",  "humanhit",  "progborn",    "proghit",
    "prog",     "cruiseborn", "spheroid",  "spheroidhit", "enforcer",  "enforcerhit", "plusborn",
    "quark",    "quarkhit",   "tank",      "tankhit",     "ballborn",  "electrodehit"};

}  // namespace sb
