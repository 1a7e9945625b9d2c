#include "app/assets.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

namespace sb {

namespace {

// The handle each catalogue image is loaded into, in catalogue order.
constexpr int Images::*kHandles[] = {
    &Images::imgplayer,     &Images::imghulks,   &Images::imggrunts,    &Images::imgprogs,
    &Images::imgbrains,     &Images::imgcruises, &Images::imgspheroids, &Images::imgenforcers,
    &Images::imgquarks,     &Images::imgtanks,   &Images::imgballs,     &Images::imgpluses,
    &Images::imgelectrodes, &Images::imghumans,  &Images::imgshots,     &Images::imgdeath,
    &Images::imgbits,       &Images::imgbitsv,   &Images::imgpoints,    &Images::imgfont,
    &Images::imgarrow,      &Images::imglogo,    &Images::imgtitle,
};
static_assert(std::size(kHandles) == kImageCuts.size(), "a handle for every image");

constexpr const char* kFailPrefix = "Failed to load file: ";
constexpr const char* kFailSuffix = "Check Directory Structure.";

}  // namespace

std::string LoadAssets(Game& g) {
  std::string errormsg;
  for (size_t i = 0; i < kImageCuts.size(); ++i) {
    const ImageCut& c = kImageCuts[i];
    const std::string file = "images/" + std::string(c.file);
    const int h =
        c.cw == 0 ? g.P.LoadImage(file, -1) : g.P.LoadImageStrip(file, c.cw, c.ch, 0, c.frames, -1);
    g.img.*kHandles[i] = h;
    if (h == 0) errormsg += std::string(kFailPrefix) + std::string(c.failname);
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
  // The player sees the same line at once, and where the game looked.
  std::error_code ec;
  const std::string here = std::filesystem::current_path(ec).string();
  std::fprintf(stderr, "%s\nswarmbreak: looked for images/ in %s\n", line.c_str(),
               ec ? "the current folder" : here.c_str());
  const int f = g.P.WriteFile("errors.log");
  if (f == 0) return;
  g.P.WriteLine(f, line);
  if (!g.P.CloseFile(f))
    std::fprintf(stderr, "swarmbreak: errors.log could not be written in %s\n", here.c_str());
}

}  // namespace sb
