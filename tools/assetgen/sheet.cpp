#include "sheet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "catalogue.h"
#include "platform/image_write.h"

namespace assetgen {
namespace {

// 3x5 label glyphs, rows top to bottom, bit 2 = left column.
const std::map<char, std::array<uint8_t, 5>>& LabelFont() {
  static const std::map<char, std::array<uint8_t, 5>> f = {
      {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}},
      {'3', {7, 1, 3, 1, 7}}, {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}},
      {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 2, 2}}, {'8', {7, 5, 7, 5, 7}},
      {'9', {7, 5, 7, 1, 7}}, {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}},
      {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}},
      {'F', {7, 4, 6, 4, 4}}, {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}},
      {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}}, {'K', {5, 5, 6, 5, 5}},
      {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}},
      {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}}, {'Q', {2, 5, 5, 6, 3}},
      {'R', {6, 5, 6, 5, 5}}, {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}},
      {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}}, {'W', {5, 5, 7, 7, 5}},
      {'X', {5, 5, 2, 5, 5}}, {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}},
      {'.', {0, 0, 0, 0, 2}}, {'-', {0, 0, 7, 0, 0}}, {':', {0, 2, 0, 2, 0}},
      {' ', {0, 0, 0, 0, 0}},
  };
  return f;
}

constexpr int kZoom = 4;
constexpr int kLabelScale = 2;
constexpr int kSheetW = 1600;
constexpr int kMargin = 12;

int TextWidth(const std::string& s) {
  return static_cast<int>(s.size()) * 4 * kLabelScale;
}

void DrawText(Pixels& p, int x, int y, const std::string& s, uint32_t colour) {
  for (char c : s) {
    char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto it = LabelFont().find(u);
    if (it != LabelFont().end())
      for (int r = 0; r < 5; ++r)
        for (int col = 0; col < 3; ++col)
          if (it->second[r] & (4 >> col))
            for (int dy = 0; dy < kLabelScale; ++dy)
              for (int dx = 0; dx < kLabelScale; ++dx) {
                int px = x + col * kLabelScale + dx, py = y + r * kLabelScale + dy;
                if (px >= 0 && px < p.w && py >= 0 && py < p.h) p.At(px, py) = colour;
              }
    x += 4 * kLabelScale;
  }
}

struct Tile {
  std::string label;
  Pixels pic;
};

struct Section {
  std::string title;
  std::vector<Tile> tiles;
};

uint32_t Le32(const std::vector<uint8_t>& b, size_t o) {
  return b[o] | (b[o + 1] << 8) | (b[o + 2] << 16) | (static_cast<uint32_t>(b[o + 3]) << 24);
}

Pixels Cut(const Pixels& img, int cw, int ch, int i) {
  int across = img.w / cw;
  Pixels c(cw, ch);
  int ox = (i % across) * cw, oy = (i / across) * ch;
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) c.At(x, y) = img.At(ox + x, oy + y);
  return c;
}

}  // namespace

bool ReadBmp(const std::string& path, Pixels& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
  uint32_t off = Le32(b, 10);
  int32_t w = static_cast<int32_t>(Le32(b, 18)), h = static_cast<int32_t>(Le32(b, 22));
  int bpp = b[28] | (b[29] << 8);
  uint32_t comp = Le32(b, 30);
  bool top_down = h < 0;
  if (top_down) h = -h;
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || (bpp != 24 && bpp != 32) ||
      (comp != 0 && comp != 3))
    return false;
  size_t stride = ((static_cast<size_t>(w) * bpp / 8) + 3) & ~size_t{3};
  if (off + stride * h > b.size()) return false;
  out = Pixels(w, h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = b.data() + off + stride * (top_down ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = row + x * (bpp / 8);
      out.At(x, y) = (p[2] << 16) | (p[1] << 8) | p[0];
    }
  }
  return true;
}

std::string WriteContactSheet(const std::string& out_png, const std::string& images_dir,
                              const std::string& only, const MasterPalette* palette) {
  std::vector<Section> sections;
  std::vector<std::string> done;
  if (palette) {
    // One swatch per colour, a new row for every ramp.
    int ramp = -1;
    for (const MasterPalette::Entry& e : palette->Colours()) {
      if (e.ramp != ramp) {
        sections.push_back({ramp < 0 ? "palette.pal  " + std::to_string(palette->Size()) : "", {}});
        ramp = e.ramp;
      }
      Pixels swatch(8, 6);
      std::fill(swatch.px.begin(), swatch.px.end(), e.rgb);
      sections.back().tiles.push_back({e.name, swatch});
    }
  }
  for (const ImageCut& cut : kImageCuts) {
    std::string file(cut.file);
    if (std::find(done.begin(), done.end(), file) != done.end()) continue;
    if (!only.empty() && file != only) continue;
    done.push_back(file);
    Pixels img;
    if (!ReadBmp(images_dir + "/" + file, img)) return "cannot read " + images_dir + "/" + file;
    Section s;
    // Strips cut into single rows are shown as the pictures they are cut from.
    int cw = cut.cw, ch = cut.ch, frames = cut.frames, per = 1;
    if (file == "bits.bmp") ch = 12, frames = 10, per = 12;
    if (file == "zantrel.bmp") ch = 27, frames = 10, per = 27;
    if (cut.frames == 1 && cut.cw == 0) cw = img.w, ch = img.h;
    s.title = file + "  " + std::to_string(cut.cw ? cut.cw : img.w) + "X" +
              std::to_string(cut.ch ? cut.ch : img.h) + "  X" + std::to_string(cut.frames);
    if ((img.w / cw) * (img.h / ch) < frames) return file + " holds too few cells";
    for (int i = 0; i < frames; ++i) {
      std::string label = per == 1
                              ? std::to_string(i)
                              : std::to_string(i * per) + "-" + std::to_string(i * per + per - 1);
      s.tiles.push_back({label, Cut(img, cw, ch, i)});
    }
    sections.push_back(std::move(s));
  }
  Pixels icon;
  if (only.empty() && ReadBmp(images_dir + "/icon.bmp", icon))
    sections.push_back({"icon.bmp", {{"0", icon}}});

  // Lay out, then draw.
  struct Place {
    int x, y;
  };
  std::vector<std::vector<Place>> places(sections.size());
  std::vector<int> title_y(sections.size());
  int y = kMargin;
  for (size_t si = 0; si < sections.size(); ++si) {
    title_y[si] = y;
    y += 5 * kLabelScale + 8;
    int x = kMargin, row_h = 0;
    for (const Tile& t : sections[si].tiles) {
      int tw = std::max(t.pic.w * kZoom, TextWidth(t.label)) + 6;
      int th = t.pic.h * kZoom + 5 * kLabelScale + 6;
      if (x + tw > kSheetW - kMargin && x > kMargin) {
        x = kMargin;
        y += row_h;
        row_h = 0;
      }
      places[si].push_back({x, y});
      x += tw;
      row_h = std::max(row_h, th);
    }
    y += row_h + 14;
  }
  Pixels sheet(kSheetW, y + kMargin);
  std::fill(sheet.px.begin(), sheet.px.end(), 0x606068);
  for (size_t si = 0; si < sections.size(); ++si) {
    DrawText(sheet, kMargin, title_y[si], sections[si].title, 0xffff80);
    for (size_t ti = 0; ti < sections[si].tiles.size(); ++ti) {
      const Tile& t = sections[si].tiles[ti];
      Place p = places[si][ti];
      for (int py = 0; py < t.pic.h * kZoom; ++py)
        for (int px = 0; px < t.pic.w * kZoom; ++px) {
          uint32_t c = t.pic.At(px / kZoom, py / kZoom);
          if (c == 0) c = ((px / 8 + py / 8) % 2) ? 0x2c2c30 : 0x404046;
          sheet.At(p.x + px, p.y + py) = c;
        }
      DrawText(sheet, p.x, p.y + t.pic.h * kZoom + 3, t.label, 0xd0d0d0);
    }
  }
  if (!sb::WritePng(out_png, sheet.px.data(), sheet.w, sheet.h)) return "cannot write " + out_png;
  return {};
}

}  // namespace assetgen
