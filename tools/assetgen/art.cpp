#include "art.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace assetgen {
namespace {

// One colour, or bands of several from the top of the sprite to its foot.
struct Colour {
  std::vector<uint32_t> bands;
};

struct Palette {
  std::map<char, Colour> colours;
};

struct Sprite {
  int w = 0, h = 0;
  int line = 0;  // where it was defined
  std::vector<std::string> rows;
  std::vector<int> row_lines;  // source line of each row (0 for derived)
};

uint32_t Pack(int r, int g, int b) {
  return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
         static_cast<uint32_t>(b);
}

std::string Hex(uint32_t c) {
  static const char* d = "0123456789abcdef";
  std::string s = "#";
  for (int k = 20; k >= 0; k -= 4) s += d[(c >> k) & 0xf];
  return s;
}

class ArtParser {
 public:
  ArtParser(const Source& src, std::string name, const MasterPalette& master)
      : src_(src), master_(master) {
    img_.name = std::move(name);
  }

  ArtImage Run() {
    const auto& lines = src_.Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
      auto t = Tokens(lines[i].text);
      if (t.empty()) continue;
      int ln = lines[i].number;
      const std::string& k = t[0];
      if (k == "cell") {
        Need(t, 3, ln, "cell W H");
        img_.cw = Positive(ln, t[1]);
        img_.ch = Positive(ln, t[2]);
      } else if (k == "frames") {
        Need(t, 2, ln, "frames N");
        img_.frames = Positive(ln, t[1]);
        if (img_.frames > 4096) src_.Fail(ln, "too many frames");
      } else if (k == "across") {
        Need(t, 2, ln, "across K");
        img_.across = Positive(ln, t[1]);
      } else if (k == "palette") {
        i = ParsePalette(t, i);
      } else if (k == "sprite") {
        i = ParseSprite(t, i);
      } else if (k == "derive") {
        Derive(t, ln);
      } else if (k == "group") {
        if (t.size() < 3) src_.Fail(ln, "usage: group NAME ITEMS...");
        groups_[t[1]] = std::vector<std::string>(t.begin() + 2, t.end());
      } else if (k == "cells") {
        Cells(t, ln);
      } else if (k == "blank") {
        Started(ln);
        for (size_t j = 1; j < t.size(); ++j) Assign(ln, ToInt(src_, ln, t[j]), Pixels(), true);
      } else if (k == "icon") {
        Need(t, 5, ln, "icon X Y W H");
        img_.has_icon = true;
        img_.icon_x = ToInt(src_, ln, t[1]);
        img_.icon_y = ToInt(src_, ln, t[2]);
        img_.icon_w = Positive(ln, t[3]);
        img_.icon_h = Positive(ln, t[4]);
        icon_line_ = ln;
      } else if (k == "end") {
        src_.Fail(ln, "'end' without a palette or sprite to close");
      } else {
        src_.Fail(ln, "unknown directive '" + k + "'");
      }
    }
    int last = lines.empty() ? 0 : lines.back().number;
    if (!started_) src_.Fail(last, "no cells defined");
    for (int c = 0; c < img_.frames; ++c)
      if (!assigned_[c])
        src_.Fail(last, "cell " + std::to_string(c) + " of " + std::to_string(img_.frames) +
                            " is never defined (use 'blank' if it is meant to be empty)");
    for (int c = 0; c < img_.frames; ++c) {
      if (!img_.blank[c] && img_.cells[c].Empty())
        src_.Fail(cell_lines_[c], "cell " + std::to_string(c) + " has no visible pixel");
      for (uint32_t px : img_.cells[c].px)
        if (px && !master_.Contains(px))
          src_.Fail(cell_lines_[c], "cell " + std::to_string(c) + " has colour " + Hex(px) +
                                        ", which is not in the master palette");
    }
    if (img_.has_icon) {
      Pixels all = img_.Compose();
      if (img_.icon_x < 0 || img_.icon_y < 0 || img_.icon_x + img_.icon_w > all.w ||
          img_.icon_y + img_.icon_h > all.h)
        src_.Fail(icon_line_, "icon region lies outside the image");
    }
    return std::move(img_);
  }

 private:
  void Need(const std::vector<std::string>& t, size_t n, int ln, const char* usage) {
    if (t.size() != n) src_.Fail(ln, std::string("usage: ") + usage);
  }
  int Positive(int ln, const std::string& tok) {
    int v = ToInt(src_, ln, tok);
    if (v <= 0 || v > 4096) src_.Fail(ln, "expected a positive size, found '" + tok + "'");
    return v;
  }
  uint32_t Named(int ln, const std::string& tok) {
    if (!master_.Has(tok))
      src_.Fail(ln, "'" + tok + "' is not a colour of the master palette (images/palette.pal)");
    return master_.Rgb(tok);
  }

  // Reads the lines of a block up to its "end"; returns the index of "end".
  size_t Block(size_t start, const std::string& what, std::vector<Line>& body) {
    const auto& lines = src_.Lines();
    for (size_t i = start + 1; i < lines.size(); ++i) {
      auto t = Tokens(lines[i].text);
      if (t.size() == 1 && t[0] == "end") return i;
      body.push_back(lines[i]);
    }
    src_.Fail(lines[start].number, what + " has no 'end'");
  }

  size_t ParsePalette(const std::vector<std::string>& t, size_t i) {
    int ln = src_.Lines()[i].number;
    if (!(t.size() == 2 || (t.size() == 4 && t[2] == "from")))
      src_.Fail(ln, "usage: palette NAME [from BASE]");
    Palette p;
    if (t.size() == 4) {
      auto base = palettes_.find(t[3]);
      if (base == palettes_.end()) src_.Fail(ln, "unknown palette '" + t[3] + "'");
      p = base->second;
    }
    std::vector<Line> body;
    size_t end = Block(i, "palette '" + t[1] + "'", body);
    for (const Line& l : body) {
      auto e = Tokens(l.text);
      if (e.empty()) continue;
      if (e[0].size() != 1)
        src_.Fail(l.number, "a palette key is one character, found '" + e[0] + "'");
      char key = e[0][0];
      if (key == '.') src_.Fail(l.number, "'.' is always transparent and cannot be redefined");
      Colour c;
      if (e.size() == 2 && e[1] != "ramp") {
        c.bands.push_back(Named(l.number, e[1]));
      } else if (e.size() >= 4 && e[1] == "ramp") {
        for (size_t k = 2; k < e.size(); ++k) c.bands.push_back(Named(l.number, e[k]));
      } else {
        src_.Fail(l.number, "usage: C NAME or C ramp NAME NAME... (names from images/palette.pal)");
      }
      p.colours[key] = c;
    }
    palettes_[t[1]] = p;
    return end;
  }

  size_t ParseSprite(const std::vector<std::string>& t, size_t i) {
    int ln = src_.Lines()[i].number;
    if (!(t.size() == 2 || t.size() == 4)) src_.Fail(ln, "usage: sprite NAME [W H]");
    if (img_.cw == 0) src_.Fail(ln, "'cell W H' must come before the first sprite");
    Sprite s;
    s.line = ln;
    s.w = t.size() == 4 ? Positive(ln, t[2]) : img_.cw;
    s.h = t.size() == 4 ? Positive(ln, t[3]) : img_.ch;
    std::vector<Line> body;
    size_t end = Block(i, "sprite '" + t[1] + "'", body);
    for (const Line& l : body) {
      std::string row = l.text;
      size_t a = row.find_first_not_of(" \t");
      if (a == std::string::npos) continue;
      size_t b = row.find_last_not_of(" \t");
      row = row.substr(a, b - a + 1);
      if (static_cast<int>(row.size()) != s.w)
        src_.Fail(l.number, "sprite '" + t[1] + "' row is " + std::to_string(row.size()) +
                                " wide, expected " + std::to_string(s.w));
      s.rows.push_back(row);
      s.row_lines.push_back(l.number);
    }
    if (static_cast<int>(s.rows.size()) != s.h)
      src_.Fail(ln, "sprite '" + t[1] + "' has " + std::to_string(s.rows.size()) +
                        " rows, expected " + std::to_string(s.h));
    AddSprite(ln, t[1], std::move(s));
    return end;
  }

  void AddSprite(int ln, const std::string& name, Sprite s) {
    if (sprites_.count(name) || groups_.count(name))
      src_.Fail(ln, "name '" + name + "' is already defined");
    sprites_[name] = std::move(s);
  }

  const Sprite& GetSprite(int ln, const std::string& name) {
    auto it = sprites_.find(name);
    if (it == sprites_.end()) src_.Fail(ln, "unknown sprite '" + name + "'");
    return it->second;
  }

  void Derive(const std::vector<std::string>& t, int ln) {
    if (t.size() < 3) src_.Fail(ln, "usage: derive NAME SOURCE OPS...");
    Sprite s = GetSprite(ln, t[2]);
    s.line = ln;
    std::fill(s.row_lines.begin(), s.row_lines.end(), 0);
    for (size_t j = 3; j < t.size(); ++j) {
      const std::string& op = t[j];
      if (op == "flip") {
        for (auto& r : s.rows) std::reverse(r.begin(), r.end());
      } else if (op == "flipv") {
        std::reverse(s.rows.begin(), s.rows.end());
      } else if (op == "shift" && j + 2 < t.size()) {
        int dx = ToInt(src_, ln, t[j + 1]), dy = ToInt(src_, ln, t[j + 2]);
        j += 2;
        std::vector<std::string> n(s.h, std::string(s.w, '.'));
        for (int y = 0; y < s.h; ++y)
          for (int x = 0; x < s.w; ++x) {
            int nx = x + dx, ny = y + dy;
            if (nx >= 0 && nx < s.w && ny >= 0 && ny < s.h) n[ny][nx] = s.rows[y][x];
          }
        s.rows = n;
      } else if (op == "swap" && j + 2 < t.size()) {
        if (t[j + 1].size() != 1 || t[j + 2].size() != 1)
          src_.Fail(ln, "swap takes two single characters");
        char a = t[j + 1][0], b = t[j + 2][0];
        j += 2;
        for (auto& r : s.rows) std::replace(r.begin(), r.end(), a, b);
      } else {
        src_.Fail(ln, "unknown or incomplete grid operation '" + op + "'");
      }
    }
    AddSprite(ln, t[1], std::move(s));
  }

  void Started(int ln) {
    if (started_) return;
    if (img_.cw == 0 || img_.frames == 0) src_.Fail(ln, "'cell' and 'frames' must come first");
    if (img_.across == 0) img_.across = img_.frames;
    img_.cells.assign(img_.frames, Pixels(img_.cw, img_.ch));
    img_.blank.assign(img_.frames, false);
    assigned_.assign(img_.frames, false);
    cell_lines_.assign(img_.frames, 0);
    started_ = true;
  }

  void Assign(int ln, int cell, Pixels p, bool blank) {
    if (cell < 0 || cell >= img_.frames)
      src_.Fail(
          ln, "cell " + std::to_string(cell) + " is outside 0.." + std::to_string(img_.frames - 1));
    if (assigned_[cell]) src_.Fail(ln, "cell " + std::to_string(cell) + " is defined twice");
    assigned_[cell] = true;
    cell_lines_[cell] = ln;
    img_.blank[cell] = blank;
    if (!blank) img_.cells[cell] = std::move(p);
  }

  void Expand(int ln, const std::string& item, std::vector<std::string>& out, int depth) {
    if (depth > 8) src_.Fail(ln, "groups nest too deeply");
    auto g = groups_.find(item);
    if (g != groups_.end()) {
      for (const auto& x : g->second) Expand(ln, x, out, depth + 1);
    } else {
      out.push_back(item);
    }
  }

  Pixels Colourise(int ln, const Sprite& s, const std::string& sname, const Palette& p,
                   const std::string& pname) {
    if (s.w > img_.cw || s.h > img_.ch)
      src_.Fail(ln, "sprite '" + sname + "' is larger than the cell");
    Pixels out(img_.cw, img_.ch);
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x) {
        char ch = s.rows[y][x];
        if (ch == '.') continue;
        auto it = p.colours.find(ch);
        if (it == p.colours.end()) {
          int at = s.row_lines[y] ? s.row_lines[y] : ln;
          src_.Fail(at, "character '" + std::string(1, ch) + "' of sprite '" + sname +
                            "' is not in palette '" + pname + "'");
        }
        const Colour& c = it->second;
        size_t band = static_cast<size_t>(y) * c.bands.size() / static_cast<size_t>(s.h);
        out.At(x, y) = c.bands[band];
      }
    return out;
  }

  Pixels ApplyOps(int ln, Pixels p, const std::vector<std::string>& ops) {
    for (size_t j = 0; j < ops.size(); ++j) {
      const std::string& op = ops[j];
      auto arg = [&](int n) -> const std::string& {
        if (j + n >= ops.size()) src_.Fail(ln, "operation '" + op + "' needs an argument");
        return ops[j + n];
      };
      if (op == "flip" || op == "flipv") {
        Pixels n(p.w, p.h);
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x)
            n.At(x, y) = op == "flip" ? p.At(p.w - 1 - x, y) : p.At(x, p.h - 1 - y);
        p = n;
      } else if (op == "shift") {
        int dx = ToInt(src_, ln, arg(1)), dy = ToInt(src_, ln, arg(2));
        j += 2;
        Pixels n(p.w, p.h);
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x) {
            int nx = x + dx, ny = y + dy;
            if (nx >= 0 && nx < p.w && ny >= 0 && ny < p.h) n.At(nx, ny) = p.At(x, y);
          }
        p = n;
      } else if (op == "dim" || op == "bright") {
        // Whole steps along each colour's ramp of the master palette.
        int n = ToInt(src_, ln, arg(1));
        j += 1;
        if (n < 1 || n > 8) src_.Fail(ln, op + " takes a number of shades from 1 to 8");
        for (auto& c : p.px)
          if (c) c = master_.Step(c, op == "dim" ? -n : n);
      } else if (op == "shadow") {
        // A copy in one colour, offset, laid under the drawn pixels.
        uint32_t colour = Named(ln, arg(1));
        int dx = ToInt(src_, ln, arg(2)), dy = ToInt(src_, ln, arg(3));
        j += 3;
        Pixels n = p;
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x) {
            int sx = x - dx, sy = y - dy;
            if (!p.At(x, y) && sx >= 0 && sx < p.w && sy >= 0 && sy < p.h && p.At(sx, sy))
              n.At(x, y) = colour;
          }
        p = n;
      } else if (op == "scale") {
        // Nearest-neighbour shrink about the centre of the drawn area.
        double f = ToReal(src_, ln, arg(1));
        j += 1;
        if (f <= 0 || f > 1) src_.Fail(ln, "scale takes a factor above 0 and at most 1");
        int x0 = p.w, y0 = p.h, x1 = -1, y1 = -1;
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x)
            if (p.At(x, y)) {
              x0 = std::min(x0, x);
              x1 = std::max(x1, x);
              y0 = std::min(y0, y);
              y1 = std::max(y1, y);
            }
        if (x1 < 0) continue;
        double cx = (x0 + x1 + 1) / 2.0, cy = (y0 + y1 + 1) / 2.0;
        Pixels n(p.w, p.h);
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x) {
            double sx = cx + (x + 0.5 - cx) / f, sy = cy + (y + 0.5 - cy) / f;
            int ix = static_cast<int>(std::floor(sx)), iy = static_cast<int>(std::floor(sy));
            if (ix >= x0 && ix <= x1 && iy >= y0 && iy <= y1) n.At(x, y) = p.At(ix, iy);
          }
        p = n;
      } else if (op == "ghost" || op == "ghostodd") {
        // Every other row only, a shade paler: a body still forming.
        int keep = op == "ghost" ? 0 : 1;
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x) {
            uint32_t& c = p.At(x, y);
            if (c) c = y % 2 != keep ? 0 : master_.Step(c, 1);
          }
      } else if (op == "bevel") {
        // Light on edges facing up-left, shade on edges facing down-right.
        Pixels n = p;
        auto clear = [&](int x, int y) {
          return x < 0 || y < 0 || x >= p.w || y >= p.h || p.At(x, y) == 0;
        };
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x) {
            uint32_t c = p.At(x, y);
            if (!c) continue;
            if (clear(x, y - 1) || clear(x - 1, y))
              n.At(x, y) = master_.Step(c, 1);
            else if (clear(x, y + 1) || clear(x + 1, y))
              n.At(x, y) = master_.Step(c, -1);
          }
        p = n;
      } else if (op == "outline" || op == "outline8") {
        bool diag = op == "outline8";
        Pixels n = p;
        for (int y = 0; y < p.h; ++y)
          for (int x = 0; x < p.w; ++x) {
            if (p.At(x, y)) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
              for (int dx = -1; dx <= 1 && !near; ++dx) {
                if ((dx == 0 && dy == 0) || (!diag && dx != 0 && dy != 0)) continue;
                int nx = x + dx, ny = y + dy;
                if (nx >= 0 && nx < p.w && ny >= 0 && ny < p.h && p.At(nx, ny) &&
                    p.At(nx, ny) != kNearBlack)
                  near = true;
              }
            if (near) n.At(x, y) = kNearBlack;
          }
        p = n;
      } else {
        src_.Fail(ln, "unknown pixel operation '" + op + "'");
      }
    }
    return p;
  }

  // "a+b+c": sprite a with the drawn pixels of b, then c, laid over it.
  Sprite Composite(int ln, const std::string& item) {
    size_t plus = item.find('+');
    if (plus == std::string::npos) return GetSprite(ln, item);
    Sprite base = GetSprite(ln, item.substr(0, plus));
    size_t pos = plus + 1;
    while (pos <= item.size()) {
      size_t next = item.find('+', pos);
      if (next == std::string::npos) next = item.size();
      const Sprite& top = GetSprite(ln, item.substr(pos, next - pos));
      if (top.w > base.w || top.h > base.h)
        src_.Fail(ln, "overlay '" + item.substr(pos, next - pos) + "' is larger than its base");
      for (int y = 0; y < top.h; ++y)
        for (int x = 0; x < top.w; ++x)
          if (top.rows[y][x] != '.') {
            base.rows[y][x] = top.rows[y][x];
            base.row_lines[y] = top.row_lines[y];
          }
      pos = next + 1;
    }
    return base;
  }

  void Cells(const std::vector<std::string>& t, int ln) {
    if (t.size() < 4) src_.Fail(ln, "usage: cells START PALETTE ITEMS... [: OPS...]");
    Started(ln);
    int start = ToInt(src_, ln, t[1]);
    auto pal = palettes_.find(t[2]);
    if (pal == palettes_.end()) src_.Fail(ln, "unknown palette '" + t[2] + "'");
    std::vector<std::string> items, ops;
    bool in_ops = false;
    for (size_t j = 3; j < t.size(); ++j) {
      if (t[j] == ":") {
        in_ops = true;
        continue;
      }
      if (in_ops)
        ops.push_back(t[j]);
      else
        Expand(ln, t[j], items, 0);
    }
    if (items.empty()) src_.Fail(ln, "no sprites named");
    for (size_t k = 0; k < items.size(); ++k) {
      const Sprite s = Composite(ln, items[k]);
      Pixels p = Colourise(ln, s, items[k], pal->second, t[2]);
      Assign(ln, start + static_cast<int>(k), ApplyOps(ln, std::move(p), ops), false);
    }
  }

  const Source& src_;
  const MasterPalette& master_;
  ArtImage img_;
  std::map<std::string, Palette> palettes_;
  std::map<std::string, Sprite> sprites_;
  std::map<std::string, std::vector<std::string>> groups_;
  std::vector<bool> assigned_;
  std::vector<int> cell_lines_;
  bool started_ = false;
  int icon_line_ = 0;
};

}  // namespace

MasterPalette MasterPalette::Parse(const Source& src) {
  MasterPalette m;
  bool in_ramp = false;
  int last = 0;
  for (const Line& l : src.Lines()) {
    auto t = Tokens(l.text);
    if (t.empty()) continue;
    last = l.number;
    if (!in_ramp) {
      if (t.size() != 2 || t[0] != "ramp") src.Fail(l.number, "usage: ramp NAME, then colours");
      m.ramps_.emplace_back();
      in_ramp = true;
    } else if (t.size() == 1 && t[0] == "end") {
      if (m.ramps_.back().empty()) src.Fail(l.number, "a ramp needs at least one colour");
      in_ramp = false;
    } else {
      if (t.size() != 4) src.Fail(l.number, "usage: NAME R G B");
      if (m.index_.count(t[0])) src.Fail(l.number, "colour '" + t[0] + "' is named twice");
      int rgb[3];
      for (int k = 0; k < 3; ++k) {
        rgb[k] = ToInt(src, l.number, t[1 + k]);
        if (rgb[k] < 0 || rgb[k] > 255)
          src.Fail(l.number, "colour component out of 0..255: '" + t[1 + k] + "'");
      }
      uint32_t c = Pack(rgb[0], rgb[1], rgb[2]);
      if (c == 0)
        src.Fail(l.number, "black is the transparent colour; use a near-black such as 16 16 24");
      if (m.Contains(c)) src.Fail(l.number, "colour " + Hex(c) + " is listed twice");
      auto& ramp = m.ramps_.back();
      m.index_[t[0]] = m.colours_.size();
      ramp.push_back(m.colours_.size());
      m.colours_.push_back(
          {t[0], c, static_cast<int>(m.ramps_.size()) - 1, static_cast<int>(ramp.size()) - 1});
    }
  }
  if (in_ramp) src.Fail(last, "the last ramp has no 'end'");
  if (!m.Contains(kNearBlack)) src.Fail(last, "the palette needs the outline colour 16 16 24");
  if (m.colours_.size() > 32) src.Fail(last, "more than 32 colours");
  return m;
}

bool MasterPalette::Contains(uint32_t rgb) const {
  return std::any_of(colours_.begin(), colours_.end(),
                     [rgb](const Entry& e) { return e.rgb == rgb; });
}

uint32_t MasterPalette::Step(uint32_t rgb, int steps) const {
  for (const Entry& e : colours_)
    if (e.rgb == rgb) {
      const auto& ramp = ramps_[e.ramp];
      int at = std::clamp(e.pos + steps, 0, static_cast<int>(ramp.size()) - 1);
      return colours_[ramp[at]].rgb;
    }
  return rgb;
}

bool Pixels::Empty() const {
  return std::all_of(px.begin(), px.end(), [](uint32_t c) { return c == 0; });
}

Pixels ArtImage::Compose() const {
  int rows = (frames + across - 1) / across;
  Pixels out(across * cw, rows * ch);
  for (int c = 0; c < frames; ++c) {
    int ox = (c % across) * cw, oy = (c / across) * ch;
    const Pixels& p = cells[c];
    if (p.px.empty()) continue;
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x) out.At(ox + x, oy + y) = p.At(x, y);
  }
  return out;
}

ArtImage BuildArt(const Source& src, const std::string& out_name, const MasterPalette& master) {
  return ArtParser(src, out_name, master).Run();
}

}  // namespace assetgen
