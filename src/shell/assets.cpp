#include "shell/assets.h"

#include <cstdio>

namespace sb {

namespace {

// One image of the catalogue. cellw 0 marks a single-frame image.
struct ImageEntry {
  int Images::*handle;
  const char* file;
  int cellw, cellh, frames;
  const char* failname;  // as the failure line names it
};

constexpr ImageEntry kImages[] = {
    {&Images::imgplayer, "images/player.bmp", 7, 12, 79, "player.bmp"},
    {&Images::imghulks, "images/hulks.bmp", 13, 16, 48, "hulk.bmp"},
    {&Images::imggrunts, "images/grunts.bmp", 9, 13, 12, "grunts.bmp"},
    {&Images::imgprogs, "images/progs.bmp", 8, 16, 108, "progs.bmp"},
    {&Images::imgbrains, "images/brains.bmp", 13, 16, 72, "brains.bmp"},
    {&Images::imgcruises, "images/cruises.bmp", 3, 3, 8, "cruises.bmp"},
    {&Images::imgspheroids, "images/spheroids.bmp", 13, 13, 14, "spheroids.bmp"},
    {&Images::imgenforcers, "images/enforcers.bmp", 9, 11, 8, "enforcers.bmp"},
    {&Images::imgquarks, "images/quarks.bmp", 13, 13, 14, "quarks.bmp"},
    {&Images::imgtanks, "images/tanks.bmp", 13, 16, 8, "tanks.bmp"},
    {&Images::imgballs, "images/balls.bmp", 5, 5, 4, "balls.bmp"},
    {&Images::imgpluses, "images/pluses.bmp", 7, 7, 8, "pluses.bmp"},
    {&Images::imgelectrodes, "images/electrodes.bmp", 18, 9, 50, "electrodes.bmp"},
    {&Images::imghumans, "images/humans.bmp", 8, 15, 36, "humans.bmp"},
    {&Images::imgshots, "images/shots.bmp", 8, 8, 9, "shots.bmp"},
    {&Images::imgdeath, "images/death.bmp", 13, 12, 8, "death.bmp"},
    {&Images::imgbits, "images/bits.bmp", 12, 1, 120, "bits.bmp"},
    {&Images::imgbitsv, "images/bits.bmp", 1, 12, 120, "bits.bmp"},
    {&Images::imgpoints, "images/points.bmp", 12, 6, 30, "points.bmp"},
    {&Images::imgfont, "images/kelfont.bmp", 6, 7, 80, "kelfont.bmp"},
    {&Images::imgarrow, "images/arrow.bmp", 0, 0, 1, "arrow.bmp"},
    {&Images::imglogo, "images/tessik.bmp", 0, 0, 1, "tessik.bmp"},
    {&Images::imgtitle, "images/zantrel.bmp", 22, 1, 270, "zantrel.bmp"},
};

constexpr const char* kFailPrefix = "Failed to load file: ";
constexpr const char* kFailSuffix = "Check Directory Structure.";

}  // namespace

std::string LoadAssets(Game& g) {
  std::string errormsg;
  for (const ImageEntry& e : kImages) {
    const int h = e.cellw == 0 ? g.P.LoadImage(e.file, -1)
                               : g.P.LoadImageStrip(e.file, e.cellw, e.cellh, 0, e.frames, -1);
    g.img.*e.handle = h;
    if (h == 0) errormsg += std::string(kFailPrefix) + e.failname;
  }
  // The wave label is captured into this at each wave start; never checked.
  g.img.imgwave = g.P.CreateImage(50, 8, 1, -1);
  // Sounds are optional: a missing one plays nothing.
  for (int s = 0; s < kSndCount; ++s)
    g.snd[s] = g.P.LoadSound(std::string("sounds/") + kSoundNames[s] + ".wav", 0);
  return errormsg;
}

void WriteErrorLog(Game& g, const std::string& errormsg) {
  const std::string line = errormsg + kFailSuffix;
  const int f = g.P.WriteFile("errors.log");
  if (f == 0) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return;
  }
  g.P.WriteLine(f, line);
  if (!g.P.CloseFile(f)) std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace sb
