// Images: cells of 32-bit texels kept for the image's whole life, looked up by
// handle. Loading goes through the build's BMP decoder (platform/decode.h);
// everything else is plain memory, so images survive any re-opening of the
// display.
#pragma once

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

// A cell's texels split into 16-bit planes for the sub-pixel fast path: per
// row R, G, B and coverage (0 or 1), the edge texels repeated once all round
// (which is what clamp-to-edge sampling reads) and every column repeated
// `s` times across, so that the texels under consecutive pixels at scale s
// are consecutive. Rows: ch + 2; each row holds the four planes one after
// another, `stride` values each (slack at the end for 8-wide reads).
struct Planes {
  int s = 0;
  int stride = 0;
  std::vector<uint16_t> v;
  const uint16_t* Row(int q) const { return v.data() + static_cast<size_t>(q) * 4 * stride; }
};

struct Frame {
  std::vector<uint32_t> texels;  // cw*ch
  // Derived from texels, built on first use and dropped when the texels
  // change: the drawn pictures at whole-pixel positions at scale 1 and
  // exactly 2x, and the planes for sub-pixel drawing at horizontal scale 1
  // and 2.
  std::unique_ptr<Picture> at1;
  std::unique_ptr<Picture> at2;
  std::unique_ptr<Planes> planes[2];
  void Invalidate() {
    at1.reset();
    at2.reset();
    planes[0].reset();
    planes[1].reset();
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

// Reads a BMP of any bit depth and row order the decoder understands; false
// when the file is missing, unreadable, corrupt or too large.
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
