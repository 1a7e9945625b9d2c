// The contact sheet: every cell of every generated image, enlarged, on a
// checkerboard, labelled with file and cell number, for reviewing the art.
#pragma once

#include <string>

#include "art.h"

namespace assetgen {

// Reads an uncompressed 24- or 32-bit BMP; false when it cannot.
bool ReadBmp(const std::string& path, Pixels& out);

// Writes the sheet for the images in images_dir (only the file named by
// `only`, when it is not empty), headed by the master palette's ramps when
// one is given; returns an error message, empty on success.
std::string WriteContactSheet(const std::string& out_png, const std::string& images_dir,
                              const std::string& only = {}, const MasterPalette* palette = nullptr);

}  // namespace assetgen
