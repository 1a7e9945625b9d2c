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

struct Target {
  uint32_t* px;
  int stride;
  int x0, y0, x1, y1;         // clip, [x0, x1) x [y0, y1)
  bool flag;                  // mark written pixels with kOpaque
  const uint8_t (*lut)[256];  // tint tables, or null for white
};

// Draws one frame pixel by pixel: each covered pixel samples the texture at
// its centre. Both the screen path and the cached pictures go through here,
// so they agree to the bit.
void Sample(const Image& img, const Frame& f, double x, double y, double sx, double sy,
            const Target& t) {
  const int cw = img.cw, ch = img.ch;
  int px0, px1, py0, py1;
  if (!Cover(x, x + cw * sx, t.x0, t.x1, px0, px1)) return;
  if (!Cover(y, y + ch * sy, t.y0, t.y1, py0, py1)) return;
  thread_local std::vector<int32_t> col;
  const int ncol = px1 - px0;
  col.resize(static_cast<size_t>(ncol) * 3);
  for (int i = 0; i < ncol; ++i) {
    double u = (px0 + i + 0.5 - x) / sx - 0.5;
    Tap(u, cw, img.filtered, col[3 * i], col[3 * i + 1], col[3 * i + 2]);
  }
  const uint32_t* tex = f.texels.data();
  for (int py = py0; py < py1; ++py) {
    int32_t j0, j1, wy;
    Tap((py + 0.5 - y) / sy - 0.5, ch, img.filtered, j0, j1, wy);
    const uint32_t* r0 = tex + static_cast<size_t>(j0) * cw;
    const uint32_t* r1 = tex + static_cast<size_t>(j1) * cw;
    uint32_t* dst = t.px + static_cast<size_t>(py) * t.stride;
    for (int i = 0; i < ncol; ++i) {
      const int32_t i0 = col[3 * i], i1 = col[3 * i + 1], wx = col[3 * i + 2];
      const uint32_t a = r0[i0], b = r0[i1], c = r1[i0], d = r1[i1];
      const uint32_t wa = uint32_t(256 - wx) * uint32_t(256 - wy), wb = uint32_t(wx) * (256 - wy),
                     wc = uint32_t(256 - wx) * wy, wd = uint32_t(wx) * wy;
      const uint32_t cov = (a >> 31) * wa + (b >> 31) * wb + (c >> 31) * wc + (d >> 31) * wd;
      if (cov < 32768) continue;  // alpha test at 0.5
      uint32_t out = 0;
      for (int sh = 16; sh >= 0; sh -= 8) {
        uint32_t v = ((a >> sh & 255) * wa + (b >> sh & 255) * wb + (c >> sh & 255) * wc +
                      (d >> sh & 255) * wd + 32768) >>
                     16;
        if (t.lut) v = t.lut[(16 - sh) / 8][v];
        out |= v << sh;
      }
      dst[px0 + i] = t.flag ? (out | kOpaque) : out;
    }
  }
}

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
  Target t{fb_.data(), kW, cx0_, cy0_, cx1_, cy1_, false, TintIsWhite() ? nullptr : lut_};
  Sample(img, img.frames[frame], x, y, sx_, sy_, t);
}

const Picture* Renderer::PictureFor(const Image& img, Frame& f, int scale) {
  auto& slot = scale == 1 ? f.at1 : f.at2;
  if (slot) return slot.get();
  auto pic = std::make_unique<Picture>();
  pic->w = img.cw * scale;
  pic->h = img.ch * scale;
  pic->px.assign(static_cast<size_t>(pic->w) * pic->h, 0u);
  Target t{pic->px.data(), pic->w, 0, 0, pic->w, pic->h, true, nullptr};
  Sample(img, f, 0.0, 0.0, scale, scale, t);
  pic->BuildSpans();
  for (auto& p : pic->px) p &= 0xFFFFFFu;
  slot = std::move(pic);
  return slot.get();
}

void Renderer::Blit(const Picture& pic, int x, int y) {
  const int ry0 = std::max(0, cy0_ - y), ry1 = std::min(pic.h, cy1_ - y);
  const int lo = cx0_ - x, hi = cx1_ - x;  // clip in picture columns
  const bool white = TintIsWhite();
  for (int r = ry0; r < ry1; ++r) {
    const uint32_t* src = pic.px.data() + static_cast<size_t>(r) * pic.w;
    uint32_t* dst = fb_.data() + static_cast<size_t>(y + r) * kW + x;
    for (int s = pic.row_start[r]; s < pic.row_start[r + 1]; ++s) {
      int a = std::max(pic.spans[s].x, lo), b = std::min(pic.spans[s].x + pic.spans[s].len, hi);
      if (a >= b) continue;
      if (white) {
        std::memcpy(dst + a, src + a, sizeof(uint32_t) * static_cast<size_t>(b - a));
      } else {
        for (int i = a; i < b; ++i) {
          uint32_t c = src[i];
          dst[i] = uint32_t{lut_[0][c >> 16 & 255]} << 16 | uint32_t{lut_[1][c >> 8 & 255]} << 8 |
                   lut_[2][c & 255];
        }
      }
    }
  }
}

void Renderer::DrawImage(Image& img, float x, float y, int frame) {
  if (!enabled_ || alpha_ < 0.5) return;
  if (frame < 0 || frame >= static_cast<int>(img.frames.size())) return;
  // Whole-pixel positions at scale 1 or exactly 2 hit fixed sample points:
  // copy a cached picture of the frame instead of sampling per pixel.
  if (sx_ == sy_ && (sx_ == 1.0f || sx_ == 2.0f) && IsInt(x) && IsInt(y)) {
    const int s = static_cast<int>(sx_);
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (ix < cx1_ && iy < cy1_ && int64_t{ix} + img.cw * s > cx0_ &&
        int64_t{iy} + img.ch * s > cy0_) {
      Blit(*PictureFor(img, img.frames[frame], s), ix, iy);
    }
    return;
  }
  DrawImageGeneral(img, x, y, frame);
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
