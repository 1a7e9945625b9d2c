// Pixel-art sources (*.art): palettes, character-grid sprites and the rules
// that place them into the cells of one image.
//
//   cell W H            cell size in pixels
//   frames N            number of cells
//   across K            cells per row of the written image (default: all)
//   palette P [from Q]  ... end    lines "C NAME" (a colour of the master
//                                  palette) or "C ramp NAME NAME..." (bands
//                                  of those colours, top to bottom)
//   sprite S [W H]      ... end    one character per pixel, '.' transparent
//   derive S T OPS      a sprite made from sprite T by grid ops
//                       (flip, flipv, shift DX DY, swap A B)
//   group G ITEMS       a name for a list of sprites
//   cells N P ITEMS [: OPS]   sprites (or groups) into cells N, N+1, ...;
//                       an item "a+b" is sprite a with sprite b laid over it,
//                       coloured by palette P, then pixel ops (flip, flipv,
//                       shift DX DY, dim N, bright N, scale F, ghost, ghostodd,
//                       bevel, outline, outline8, shadow NAME DX DY)
//   blank N...          cells that are left empty on purpose
//   icon X Y W H        region used for the window and desktop icons
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "source.h"

namespace assetgen {

// Outline colour: black itself is transparent in the game. The master
// palette must hold it.
inline constexpr uint32_t kNearBlack = 0x101018;

// The colours every image is drawn in (images/palette.pal): ramps of named
// colours from dark to light, each colour in one ramp.
//   ramp NAME ... end   lines "NAME R G B", darkest first
class MasterPalette {
 public:
  static MasterPalette Parse(const Source& src);
  bool Has(const std::string& name) const { return index_.count(name) != 0; }
  uint32_t Rgb(const std::string& name) const { return colours_[index_.at(name)].rgb; }
  bool Contains(uint32_t rgb) const;
  // `steps` along the colour's ramp, lighter when positive, stopping at its
  // ends; a colour outside the palette is returned unchanged.
  uint32_t Step(uint32_t rgb, int steps) const;
  size_t Size() const { return colours_.size(); }
  struct Entry {
    std::string name;
    uint32_t rgb;
    int ramp, pos;
  };
  // In the file's order: ramp by ramp, darkest first.
  const std::vector<Entry>& Colours() const { return colours_; }

 private:
  std::vector<Entry> colours_;
  std::vector<std::vector<size_t>> ramps_;
  std::map<std::string, size_t> index_;
};

struct Pixels {
  int w = 0, h = 0;
  std::vector<uint32_t> px;  // 0x00RRGGBB, 0 = transparent
  Pixels() = default;
  Pixels(int w_, int h_) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_, 0) {}
  uint32_t& At(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
  uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
  bool Empty() const;
};

struct ArtImage {
  std::string name;  // file name, e.g. "player.bmp"
  int cw = 0, ch = 0, frames = 0, across = 0;
  std::vector<Pixels> cells;
  std::vector<bool> blank;  // cells declared empty on purpose
  bool has_icon = false;
  int icon_x = 0, icon_y = 0, icon_w = 0, icon_h = 0;

  // The whole image with cells laid out left to right, top to bottom.
  Pixels Compose() const;
};

// Parses and renders one source in the master palette's colours; out_name
// is the file to write.
ArtImage BuildArt(const Source& src, const std::string& out_name, const MasterPalette& master);

}  // namespace assetgen
