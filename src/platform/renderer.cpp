#include "platform/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sb {

namespace {

// Pixels whose centres lie in [min(a,b), max(a,b)), clipped to [lo, hi).
bool Cover(double a, double b, int lo, int hi, int& p0, int& p1) {
  double mn = std::min(a, b), mx = std::max(a, b);
  if (!(mx > mn)) return false;  // also rejects NaN
  double f0 = std::clamp(std::ceil(mn - 0.5), double(lo), double(hi));
  double f1 = std::clamp(std::ceil(mx - 0.5), double(lo), double(hi));
  p0 = static_cast<int>(f0);
  p1 = static_cast<int>(f1);
  return p0 < p1;
}

// Texel index and 8-bit fraction for a texel-space coordinate, clamped to the
// cell's edge the way a clamp-to-edge texture is.
void Tap(double u, int n, bool filtered, int32_t& i0, int32_t& i1, int32_t& w) {
  if (!filtered) {
    double c = std::floor(u + 0.5);
    i0 = c <= 0 ? 0 : c >= n - 1 ? n - 1 : static_cast<int32_t>(c);
    i1 = i0;
    w = 0;
    return;
  }
  if (!(u > 0)) {
    i0 = 0;
    w = 0;
  } else if (u >= n - 1) {
    i0 = n - 1;
    w = 0;
  } else {
    double fl = std::floor(u);
    i0 = static_cast<int32_t>(fl);
    w = static_cast<int32_t>((u - fl) * 256.0 + 0.5);
    if (w == 256) {
      ++i0;
      w = 0;
    }
  }
  i1 = std::min(i0 + 1, n - 1);
}

bool MakeTaps(double org, double scale, int n, bool filtered, int lo, int hi, Taps& t) {
  if (!Cover(org, org + n * scale, lo, hi, t.p0, t.p1)) return false;
  const int count = t.p1 - t.p0;
  t.v.resize(static_cast<size_t>(count) * 3);
  for (int k = 0; k < count; ++k) {
    const double u = (t.p0 + k + 0.5 - org) / scale - 0.5;
    Tap(u, n, filtered, t.v[3 * k], t.v[3 * k + 1], t.v[3 * k + 2]);
  }
  return true;
}

// Samples the frame for every pixel of the taps' grid into dst (the pixel of
// the first taps at dst[0]). kFlag marks written pixels with kOpaque
// (pictures); otherwise unwritten pixels are left alone.
template <bool kFlag, bool kTint>
void RenderTaps(const Image& img, const Frame& f, const int32_t* col, int ncol, const int32_t* row,
                int nrow, uint32_t* dst, int stride, const uint8_t (*lut)[256]) {
  const int cw = img.cw;
  const uint32_t* tex = f.texels.data();
  for (int r = 0; r < nrow; ++r) {
    const int32_t* rt = row + 3 * r;
    const uint32_t* r0 = tex + static_cast<size_t>(rt[0]) * cw;
    const uint32_t* r1 = tex + static_cast<size_t>(rt[1]) * cw;
    const uint32_t wy1 = uint32_t(rt[2]), wy0 = 256 - wy1;
    uint32_t* out = dst + static_cast<size_t>(r) * stride;
    for (int k = 0; k < ncol; ++k) {
      const int32_t i0 = col[3 * k], i1 = col[3 * k + 1];
      const uint32_t wx1 = uint32_t(col[3 * k + 2]), wx0 = 256 - wx1;
      const uint32_t a = r0[i0], b = r0[i1], c = r1[i0], d = r1[i1];
      // Rows first, then columns: the same sums as the 2-D weights, in
      // 16-bit lanes (red and blue share a word).
      const uint32_t cov =
          ((a >> 31) * wx0 + (b >> 31) * wx1) * wy0 + ((c >> 31) * wx0 + (d >> 31) * wx1) * wy1;
      if (cov < 32768) continue;  // alpha test at 0.5
      const uint32_t top_rb = (a & 0xFF00FF) * wx0 + (b & 0xFF00FF) * wx1;
      const uint32_t bot_rb = (c & 0xFF00FF) * wx0 + (d & 0xFF00FF) * wx1;
      const uint32_t top_g = (a >> 8 & 255) * wx0 + (b >> 8 & 255) * wx1;
      const uint32_t bot_g = (c >> 8 & 255) * wx0 + (d >> 8 & 255) * wx1;
      uint32_t vr = ((top_rb >> 16) * wy0 + (bot_rb >> 16) * wy1 + 32768) >> 16;
      uint32_t vg = (top_g * wy0 + bot_g * wy1 + 32768) >> 16;
      uint32_t vb = ((top_rb & 0xFFFF) * wy0 + (bot_rb & 0xFFFF) * wy1 + 32768) >> 16;
      if constexpr (kTint) {
        vr = lut[0][vr];
        vg = lut[1][vg];
        vb = lut[2][vb];
      }
      const uint32_t px = vr << 16 | vg << 8 | vb;
      out[k] = kFlag ? (px | kOpaque) : px;
    }
  }
}

// Pictures larger than this are not cached: drawn directly instead.
constexpr int kMaxCachedArea = 128 * 128;

thread_local Taps tcols, trows;

bool IsInt(float v) {
  return std::floor(v) == v && std::fabs(v) < 1e9f;
}

}  // namespace

Renderer::Renderer() : fb_(static_cast<size_t>(kW) * kH, 0u) {
  Reset();
}

void Renderer::Reset() {
  r_ = g_ = b_ = 255;
  alpha_ = 1.0;
  sx_ = sy_ = 1.0f;
  cx0_ = cy0_ = 0;
  cx1_ = kW;
  cy1_ = kH;
  BuildLut();
}

void Renderer::BuildLut() {
  const int tint[3] = {r_, g_, b_};
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 256; ++v) lut_[c][v] = static_cast<uint8_t>((v * tint[c] + 127) / 255);
  // (The blits compute the same rounding arithmetically:
  // (x + (x >> 8)) >> 8 with x = v * t + 128 equals (v * t + 127) / 255.)
}

void Renderer::SetColor(int r, int g, int b) {
  r_ = std::clamp(r, 0, 255);
  g_ = std::clamp(g, 0, 255);
  b_ = std::clamp(b, 0, 255);
  BuildLut();
}

void Renderer::SetAlpha(double a) {
  alpha_ = std::isnan(a) ? 0.0 : std::clamp(a, 0.0, 1.0);
}

void Renderer::SetViewport(int x, int y, int w, int h) {
  int64_t x1 = int64_t{x} + std::max(w, 0), y1 = int64_t{y} + std::max(h, 0);
  cx0_ = std::clamp(x, 0, kW);
  cy0_ = std::clamp(y, 0, kH);
  cx1_ = static_cast<int>(std::clamp<int64_t>(x1, cx0_, kW));
  cy1_ = static_cast<int>(std::clamp<int64_t>(y1, cy0_, kH));
}

void Renderer::Cls() {
  if (!enabled_) return;
  for (int y = cy0_; y < cy1_; ++y)
    std::fill_n(fb_.data() + static_cast<size_t>(y) * kW + cx0_, cx1_ - cx0_, 0u);
}

void Renderer::DrawImageGeneral(const Image& img, float x, float y, int frame) {
  if (!enabled_ || alpha_ < 0.5) return;
  if (frame < 0 || frame >= static_cast<int>(img.frames.size())) return;
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (!MakeTaps(x, sx_, img.cw, img.filtered, cx0_, cx1_, tcols)) return;
  if (!MakeTaps(y, sy_, img.ch, img.filtered, cy0_, cy1_, trows)) return;
  Direct(img, img.frames[frame], tcols, trows);
}

// Draws straight into the back buffer, clipped to the viewport.
void Renderer::Direct(const Image& img, const Frame& f, const Taps& cols, const Taps& rows) {
  const int x0 = std::max(cols.p0, cx0_), x1 = std::min(cols.p1, cx1_);
  const int y0 = std::max(rows.p0, cy0_), y1 = std::min(rows.p1, cy1_);
  if (x0 >= x1 || y0 >= y1) return;
  const int32_t* colv = cols.v.data() + 3 * (x0 - cols.p0);
  const int32_t* rowv = rows.v.data() + 3 * (y0 - rows.p0);
  uint32_t* dst = fb_.data() + static_cast<size_t>(y0) * kW + x0;
  if (TintIsWhite())
    RenderTaps<false, false>(img, f, colv, x1 - x0, rowv, y1 - y0, dst, kW, nullptr);
  else
    RenderTaps<false, true>(img, f, colv, x1 - x0, rowv, y1 - y0, dst, kW, lut_);
}

std::unique_ptr<Picture> Renderer::MakePicture(const Image& img, const Frame& f, const Taps& cols,
                                               const Taps& rows) {
  auto pic = std::make_unique<Picture>();
  pic->w = cols.p1 - cols.p0;
  pic->h = rows.p1 - rows.p0;
  pic->px.assign(static_cast<size_t>(pic->w) * pic->h, 0u);
  RenderTaps<true, false>(img, f, cols.v.data(), pic->w, rows.v.data(), pic->h, pic->px.data(),
                          pic->w, nullptr);
  pic->Finish();
  return pic;
}

const Picture* Renderer::PictureFor(const Image& img, Frame& f, int scale) {
  auto& slot = scale == 1 ? f.at1 : f.at2;
  if (!slot) {
    Taps cols, rows;
    MakeTaps(0.0, scale, img.cw, img.filtered, 0, img.cw * scale, cols);
    MakeTaps(0.0, scale, img.ch, img.filtered, 0, img.ch * scale, rows);
    slot = MakePicture(img, f, cols, rows);
  }
  return slot.get();
}

void Renderer::Blit(const Picture& pic, int x, int y) {
  const int ry0 = std::max(0, cy0_ - y), ry1 = std::min(pic.h, cy1_ - y);
  const int clo = cx0_ - x, chi = cx1_ - x;  // clip in picture columns
  const bool white = TintIsWhite();
  const uint32_t tr = uint32_t(r_), tg = uint32_t(g_), tb = uint32_t(b_);
  for (int r = ry0; r < ry1; ++r) {
    const int a = std::max(pic.lo[r], clo), b = std::min(pic.hi[r], chi);
    if (a >= b) continue;
    const size_t off = static_cast<size_t>(r) * pic.w;
    const uint32_t* __restrict src = pic.px.data() + off;
    const uint32_t* __restrict m = pic.mask.data() + off;
    uint32_t* __restrict dst = fb_.data() + static_cast<size_t>(y + r) * kW + x;
    if (white) {
      for (int i = a; i < b; ++i) dst[i] = (src[i] & m[i]) | (dst[i] & ~m[i]);
    } else {
      // round(v * t / 255), the same value the tint tables hold.
      for (int i = a; i < b; ++i) {
        const uint32_t c = src[i];
        uint32_t vr = (c >> 16 & 255) * tr + 128, vg = (c >> 8 & 255) * tg + 128,
                 vb = (c & 255) * tb + 128;
        vr = (vr + (vr >> 8)) >> 8;
        vg = (vg + (vg >> 8)) >> 8;
        vb = (vb + (vb >> 8)) >> 8;
        const uint32_t t = vr << 16 | vg << 8 | vb;
        dst[i] = (t & m[i]) | (dst[i] & ~m[i]);
      }
    }
  }
}

void Renderer::DrawImage(Image& img, float x, float y, int frame) {
  if (!enabled_ || alpha_ < 0.5) return;
  if (frame < 0 || frame >= static_cast<int>(img.frames.size())) return;
  Frame& f = img.frames[frame];
  // Whole-pixel positions at scale 1 or exactly 2 always sample the same
  // points: copy the frame's cached picture.
  if (sx_ == sy_ && (sx_ == 1.0f || sx_ == 2.0f) && IsInt(x) && IsInt(y)) {
    const int s = static_cast<int>(sx_);
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (ix < cx1_ && iy < cy1_ && int64_t{ix} + img.cw * s > cx0_ &&
        int64_t{iy} + img.ch * s > cy0_) {
      Blit(*PictureFor(img, f, s), ix, iy);
    }
    return;
  }
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  // Anywhere else: the taps over the whole screen name the picture. A
  // sub-pixel phase seen again (a still sprite, sprites moving in step) is
  // cached on its second use; first sightings are drawn directly.
  if (!MakeTaps(x, sx_, img.cw, img.filtered, 0, kW, tcols)) return;
  if (!MakeTaps(y, sy_, img.ch, img.filtered, 0, kH, trows)) return;
  const int w = tcols.p1 - tcols.p0, h = trows.p1 - trows.p0;
  if (w * h <= kMaxCachedArea) {
    for (auto& slot : f.phases) {
      if (slot.cols != tcols.v || slot.rows != trows.v) continue;
      if (!slot.pic) slot.pic = MakePicture(img, f, tcols, trows);
      Blit(*slot.pic, tcols.p0, trows.p0);
      return;
    }
    auto& slot = f.phases[f.next_phase];
    f.next_phase = (f.next_phase + 1) % f.phases.size();
    slot.cols = tcols.v;
    slot.rows = trows.v;
    slot.pic.reset();
  }
  Direct(img, f, tcols, trows);
}

void Renderer::DrawRect(float x, float y, float w, float h) {
  if (!enabled_ || alpha_ < 0.5) return;
  int px0, px1, py0, py1;
  if (!Cover(x, x + double(w) * sx_, cx0_, cx1_, px0, px1)) return;
  if (!Cover(y, y + double(h) * sy_, cy0_, cy1_, py0, py1)) return;
  const uint32_t c = uint32_t(r_) << 16 | uint32_t(g_) << 8 | uint32_t(b_);
  for (int py = py0; py < py1; ++py)
    std::fill_n(fb_.data() + static_cast<size_t>(py) * kW + px0, px1 - px0, c);
}

void Renderer::DrawLine(float x1, float y1, float x2, float y2) {
  if (!enabled_ || alpha_ < 0.5) return;
  const double ex = x1 + (double(x2) - x1) * sx_, ey = y1 + (double(y2) - y1) * sy_;
  if (!std::isfinite(ex) || !std::isfinite(ey) || !std::isfinite(x1) || !std::isfinite(y1)) return;
  // Endpoints as pixels; far-away ones are pulled in (keeping the slope
  // close enough) so the arithmetic below stays in range.
  constexpr double kFar = 1 << 24;
  const int64_t a = static_cast<int64_t>(std::floor(std::clamp<double>(x1, -kFar, kFar)));
  const int64_t b = static_cast<int64_t>(std::floor(std::clamp<double>(y1, -kFar, kFar)));
  const int64_t c = static_cast<int64_t>(std::floor(std::clamp(ex, -kFar, kFar)));
  const int64_t d = static_cast<int64_t>(std::floor(std::clamp(ey, -kFar, kFar)));
  const int64_t dx = c - a, dy = d - b;
  const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
  const uint32_t col = uint32_t(r_) << 16 | uint32_t(g_) << 8 | uint32_t(b_);
  if (n == 0) {
    if (a >= cx0_ && a < cx1_ && b >= cy0_ && b < cy1_) fb_[static_cast<size_t>(b) * kW + a] = col;
    return;
  }
  // Only the steps that can land in the clip rectangle are walked.
  double t0 = 0, t1 = 1;
  auto clip = [&](double p, double q) {  // p*t <= q
    if (p == 0) return q >= 0;
    double r = q / p;
    if (p < 0)
      t0 = std::max(t0, r);
    else
      t1 = std::min(t1, r);
    return t0 <= t1;
  };
  if (!clip(-double(dx), double(a) - (cx0_ - 1)) || !clip(double(dx), (cx1_ + 1) - double(a)) ||
      !clip(-double(dy), double(b) - (cy0_ - 1)) || !clip(double(dy), (cy1_ + 1) - double(b)))
    return;
  const int64_t i0 = std::max<int64_t>(0, static_cast<int64_t>(std::floor(t0 * n)) - 1);
  const int64_t i1 = std::min<int64_t>(n, static_cast<int64_t>(std::ceil(t1 * n)) + 1);
  auto step = [n](int64_t delta, int64_t i) {  // round(delta * i / n), halves up
    int64_t num = 2 * delta * i + n, den = 2 * n;
    return num >= 0 ? num / den : -((-num + den - 1) / den);
  };
  for (int64_t i = i0; i <= i1; ++i) {
    const int64_t px = a + step(dx, i), py = b + step(dy, i);
    if (px >= cx0_ && px < cx1_ && py >= cy0_ && py < cy1_)
      fb_[static_cast<size_t>(py) * kW + static_cast<size_t>(px)] = col;
  }
}

void Renderer::Capture(Image& img, int x, int y, int frame) {
  if (!enabled_) return;
  if (frame < 0 || frame >= static_cast<int>(img.frames.size())) return;
  Frame& f = img.frames[frame];
  f.texels.resize(static_cast<size_t>(img.cw) * img.ch);
  for (int ty = 0; ty < img.ch; ++ty) {
    for (int tx = 0; tx < img.cw; ++tx) {
      const int64_t sx = int64_t{x} + tx, sy = int64_t{y} + ty;
      uint32_t c = 0;
      if (sx >= 0 && sx < kW && sy >= 0 && sy < kH) c = fb_[static_cast<size_t>(sy) * kW + sx];
      f.texels[static_cast<size_t>(ty) * img.cw + tx] = (img.masked && c == 0) ? 0u : (c | kOpaque);
    }
  }
  f.Invalidate();
}

}  // namespace sb
