// The software renderer: a 640x480 0x00RRGGBB back buffer and the global
// drawing state. Images are drawn like a textured quad with one texture per
// frame (clamp to edge), bilinear for filtered images, under a mask blend:
// a pixel is written opaque or left alone.
//
// Sampling, for a covered pixel whose centre maps to texel-space (u, v):
// each axis takes the texels floor(t / 256) and the next with weight
// t mod 256, t = floor(256 u + 0.5) (clamped to the cell); a row of two
// texels blends to (a (256 - w) + b w + 128) >> 8 per channel and to a
// coverage a (256 - w) + b w (texel coverage 0 or 1); the two rows blend
// the same way vertically, and the pixel is written when its coverage
// reaches half (32768). The tint then scales each channel by
// round(v * colour / 255).
//
// DrawImage takes the quickest way that gives exactly these pixels: cached
// pictures (no larger than the screen) at whole-pixel positions at scale 1
// and 2, a separable 8-wide
// path for any other position at scales 1 and 2, and the per-pixel path
// (DrawImageGeneral) for everything else.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/image_store.h"

namespace sb {

// Where the covered pixels along one axis sample the texture: for each pixel
// the two texels and the 8-bit weight of the second.
struct Taps {
  int p0 = 0, p1 = 0;      // covered pixels [p0, p1)
  std::vector<int32_t> v;  // i0, i1, w per pixel
};

class Renderer {
 public:
  static constexpr int kW = 640, kH = 480;
  // Cells up to this side take the sub-pixel fast path; larger ones (never
  // drawn off the pixel grid by the game) are sampled per pixel.
  static constexpr int kMaxFastSide = 256;

  // The vector instructions the sub-pixel path works with: the best the
  // processor has, unless a test asks for a lesser one to check it too.
  enum class Kernel { kPortable, kSse2, kAvx2, kAvx512 };
  static Kernel BestKernel();
  // Returns the kernel in force (k, or the best there is when k is beyond).
  static Kernel UseKernel(Kernel k);

  Renderer();
  // Drawing state back to its initial values (colour white, alpha 1,
  // scale 1, full-screen viewport).
  void Reset();
  // When off, every draw call (Cls included) returns at once.
  void SetEnabled(bool on) { enabled_ = on; }
  bool Enabled() const { return enabled_; }

  void SetColor(int r, int g, int b);
  void GetColor(int& r, int& g, int& b) const {
    r = r_;
    g = g_;
    b = b_;
  }
  void SetAlpha(double a);
  double GetAlpha() const { return alpha_; }
  void SetScale(float sx, float sy) {
    sx_ = sx;
    sy_ = sy;
  }
  void GetScale(float& sx, float& sy) const {
    sx = sx_;
    sy = sy_;
  }
  void SetViewport(int x, int y, int w, int h);
  // The clip rectangle actually in force (clipped to the screen), as
  // [x0, x1) x [y0, y1).
  void GetClip(int& x0, int& y0, int& x1, int& y1) const {
    x0 = cx0_;
    y0 = cy0_;
    x1 = cx1_;
    y1 = cy1_;
  }

  void Cls();
  void DrawImage(Image& img, float x, float y, int frame);
  // The per-pixel reference that every quicker way of DrawImage must match
  // pixel for pixel; public so tests and benchmarks can compare.
  void DrawImageGeneral(const Image& img, float x, float y, int frame);
  void DrawLine(float x1, float y1, float x2, float y2);
  void DrawRect(float x, float y, float w, float h);
  // Copies the cell-sized back-buffer rectangle at (x, y) into the frame;
  // for masked images black becomes transparent. Off-screen reads as black.
  void Capture(Image& img, int x, int y, int frame);

  uint32_t* Pixels() { return fb_.data(); }
  const uint32_t* Pixels() const { return fb_.data(); }

 private:
  bool TintIsWhite() const { return r_ == 255 && g_ == 255 && b_ == 255; }
  void Blit(const Picture& pic, int x, int y);
  const Picture* PictureFor(const Image& img, Frame& f, int scale);
  std::unique_ptr<Picture> MakePicture(const Image& img, const Frame& f, const Taps& cols,
                                       const Taps& rows);
  void Direct(const Image& img, const Frame& f, const Taps& cols, const Taps& rows);
  void DrawSubPixel(const Image& img, Frame& f, float x, float y, int sx, int sy);

  // The back buffer, with a little slack after the last pixel: 8-wide
  // stores at the right edge may rewrite (unchanged) pixels past it.
  std::vector<uint32_t> fb_;
  int r_ = 255, g_ = 255, b_ = 255;
  double alpha_ = 1.0;
  float sx_ = 1.0f, sy_ = 1.0f;
  int cx0_ = 0, cy0_ = 0, cx1_ = kW, cy1_ = kH;
  bool enabled_ = true;
  // Scratch for the horizontal pass of sub-pixel draws.
  std::vector<uint16_t> rows_;
};

}  // namespace sb
