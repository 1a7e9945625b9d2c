// Images: cells of 32-bit texels kept for the image's whole life, looked up by
// handle. Loading goes through SDL's BMP reader; everything else is plain
// memory, so images survive any re-opening of the display.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sb {

// Image flags; the game passes -1 (every bit) for masked + filtered.
inline constexpr int kImageFiltered = 1;
inline constexpr int kImageMasked = 2;

// Largest accepted side and area: a corrupt header must not make us allocate
// gigabytes.
inline constexpr int kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 24;

// Texel: 0xAARRGGBB, A = 0xFF opaque or 0 transparent. A transparent (masked)
// texel is stored as 0, so filtering blends towards black at sprite edges the
// way a textured quad does.
inline constexpr uint32_t kOpaque = 0xFF000000u;

// A picture ready to be copied to the screen: RGB, a select mask per pixel
// and per row the range holding written pixels, so a blit is a branch-free
// select over each row (it vectorises; no per-pixel tests).
struct Picture {
  int w = 0, h = 0;
  std::vector<uint32_t> px;     // w*h, 0x00RRGGBB
  std::vector<uint32_t> mask;   // w*h, all ones where written, else 0
  std::vector<int32_t> lo, hi;  // per row: written pixels lie in [lo, hi)
  // Takes px with kOpaque marking written pixels; fills the rest.
  void Finish();
};

struct Frame {
  std::vector<uint32_t> texels;  // cw*ch
  // Drawn pictures derived from texels, built on first use and dropped when
  // the texels change: at whole-pixel positions at scale 1 and exactly 2x,
  // and a few recently seen other sampling phases (keyed by their taps).
  std::unique_ptr<Picture> at1;
  std::unique_ptr<Picture> at2;
  struct Phase {
    std::vector<int32_t> cols, rows;
    std::unique_ptr<Picture> pic;  // null until the phase is seen twice
  };
  std::array<Phase, 4> phases;
  size_t next_phase = 0;
  void Invalidate() {
    at1.reset();
    at2.reset();
    for (auto& p : phases) p = Phase{};
  }
};

struct Image {
  int cw = 0, ch = 0;
  int flags = 0;
  bool masked = false, filtered = false;
  std::vector<Frame> frames;
};

// Decoded BMP as 0x00RRGGBB rows, top row first.
struct Bitmap {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
};

// Reads a BMP of any bit depth and row order SDL understands; false when the
// file is missing, unreadable, corrupt or too large.
bool LoadBmp(const std::string& path, Bitmap& out);

class ImageStore {
 public:
  ImageStore();
  ~ImageStore();
  int LoadImage(const std::string& path, int flags);
  int LoadImageStrip(const std::string& path, int cellw, int cellh, int first, int count,
                     int flags);
  int CreateImage(int width, int height, int frames, int flags);
  // The image for a handle, or null for 0 or a handle that names nothing.
  Image* Get(int handle);
  int Count() const { return static_cast<int>(images_.size()); }

 private:
  int Add(std::unique_ptr<Image> img);
  std::vector<std::unique_ptr<Image>> images_;
};

}  // namespace sb
