#include "svg.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace assetgen {

namespace {

// A row run of one colour: x, y, width; `h` rows tall once merged.
struct Run {
  int x, y, w, h;
  uint32_t c;
};

std::vector<Run> Runs(const Pixels& pic) {
  std::vector<Run> runs;
  for (int y = 0; y < pic.h; ++y)
    for (int x = 0; x < pic.w;) {
      uint32_t c = pic.At(x, y);
      int end = x + 1;
      while (end < pic.w && pic.At(end, y) == c) ++end;
      if (c) runs.push_back({x, y, end - x, 1, c});
      x = end;
    }
  return runs;
}

}  // namespace

std::string PixelSvg(const Pixels& pic) {
  std::vector<Run> runs = Runs(pic);
  std::vector<bool> used(runs.size(), false);
  // Colours in the order they first appear, so the output is stable.
  std::vector<uint32_t> order;
  std::map<uint32_t, std::string> paths;
  for (size_t i = 0; i < runs.size(); ++i) {
    if (used[i]) continue;
    Run r = runs[i];
    // Grow the rectangle down while the next row holds the same run.
    for (size_t j = i + 1; j < runs.size() && runs[j].y <= r.y + r.h; ++j)
      if (!used[j] && runs[j].y == r.y + r.h && runs[j].x == r.x && runs[j].w == r.w &&
          runs[j].c == r.c) {
        used[j] = true;
        ++r.h;
      }
    if (!paths.count(r.c)) order.push_back(r.c);
    char buf[64];
    std::snprintf(buf, sizeof buf, "M%d %dh%dv%dh-%dz", r.x, r.y, r.w, r.h, r.w);
    paths[r.c] += buf;
  }
  char head[256];
  std::snprintf(head, sizeof head,
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                "viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\">\n",
                pic.w * 4, pic.h * 4, pic.w, pic.h);
  std::string svg = head;
  for (uint32_t c : order) {
    char fill[32];
    std::snprintf(fill, sizeof fill, "<path fill=\"#%06x\" d=\"", c & 0xffffffu);
    svg += fill + paths[c] + "\"/>\n";
  }
  return svg + "</svg>\n";
}

bool WriteIconSvg(const std::string& path, const Pixels& icon) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream out(path, std::ios::binary);
  out << PixelSvg(icon);
  return static_cast<bool>(out);
}

}  // namespace assetgen
