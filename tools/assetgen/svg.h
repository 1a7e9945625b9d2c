// The desktop icon as a scalable picture: the emblem's pixel art traced into
// SVG squares, so it stays sharp at any size.
#pragma once

#include <string>

#include "art.h"

namespace assetgen {

// The SVG text of a picture: one path per colour, each pixel a unit square
// (runs of a row and identical runs below them merged into rectangles),
// transparent where the picture is clear (0).
std::string PixelSvg(const Pixels& pic);

// Writes PixelSvg(icon) to path, making its folder; false if it cannot.
bool WriteIconSvg(const std::string& path, const Pixels& icon);

}  // namespace assetgen
