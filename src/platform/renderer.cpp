#include "platform/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace sb {

namespace {

// floor/ceil for values known to lie well inside the int32 range; no libm
// call, which matters at several per draw.
int32_t FloorInt(double v) {
  const auto i = static_cast<int32_t>(v);
  return v < i ? i - 1 : i;
}
int32_t CeilInt(double v) {
  const auto i = static_cast<int32_t>(v);
  return v > i ? i + 1 : i;
}

// Pixels whose centres lie in [min(a,b), max(a,b)), clipped to [lo, hi).
bool Cover(double a, double b, int lo, int hi, int& p0, int& p1) {
  double mn = std::min(a, b), mx = std::max(a, b);
  if (!(mx > mn)) return false;  // also rejects NaN
  // Clamping before rounding changes nothing inside [lo, hi] and keeps huge
  // values away from the integer conversion.
  p0 = CeilInt(std::clamp(mn - 0.5, lo - 1.0, hi + 1.0));
  p1 = CeilInt(std::clamp(mx - 0.5, lo - 1.0, hi + 1.0));
  p0 = std::clamp(p0, lo, hi);
  p1 = std::clamp(p1, lo, hi);
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

// round(v * t / 255) for 8-bit v and t.
inline uint32_t TintChannel(uint32_t v, uint32_t t) {
  return (v * t + 127) / 255;
}

// Samples the frame for every pixel of the taps' grid into dst (the pixel of
// the first taps at dst[0]), one pixel at a time. kFlag marks written pixels
// with kOpaque (pictures); otherwise unwritten pixels are left alone.
template <bool kFlag>
void RenderTaps(const Image& img, const Frame& f, const int32_t* col, int ncol, const int32_t* row,
                int nrow, uint32_t* dst, int stride, const int tint[3]) {
  const int cw = img.cw;
  const uint32_t* tex = f.texels.data();
  const bool white = tint[0] == 255 && tint[1] == 255 && tint[2] == 255;
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
      const uint32_t top = (a >> 31) * wx0 + (b >> 31) * wx1;
      const uint32_t bot = (c >> 31) * wx0 + (d >> 31) * wx1;
      if (top * wy0 + bot * wy1 < 32768) continue;  // alpha test at 0.5
      uint32_t px = 0;
      for (int sh = 16, ch = 0; sh >= 0; sh -= 8, ++ch) {
        const uint32_t h0 = (((a >> sh) & 255) * wx0 + ((b >> sh) & 255) * wx1 + 128) >> 8;
        const uint32_t h1 = (((c >> sh) & 255) * wx0 + ((d >> sh) & 255) * wx1 + 128) >> 8;
        uint32_t v = (h0 * wy0 + h1 * wy1 + 128) >> 8;
        if (!white) v = TintChannel(v, uint32_t(tint[ch]));
        px |= v << sh;
      }
      out[k] = kFlag ? (px | kOpaque) : px;
    }
  }
}

thread_local Taps tcols, trows;

bool IsInt(float v) {
  return std::fabs(v) < 1e9f && static_cast<float>(static_cast<int32_t>(v)) == v;
}

// 1 or 2 for the scales the sub-pixel path handles, else 0.
int FastStep(float s) {
  return s == 1.0f ? 1 : s == 2.0f ? 2 : 0;
}

void Fill32(uint32_t* p, int n, uint32_t c) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i v = _mm_set1_epi32(static_cast<int>(c));
  for (; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
#endif
  for (; i < n; ++i) p[i] = c;
}

const Planes& PlanesFor(const Image& img, Frame& f, int s) {
  auto& slot = f.planes[s - 1];
  if (slot) return *slot;
  auto p = std::make_unique<Planes>();
  const int cw = img.cw, ch = img.ch;
  p->s = s;
  // Slack for reads up to 32 values past the last column in use.
  p->stride = (s * (cw + 2) + 40 + 7) & ~7;
  const int stride = p->stride;
  p->v.assign(static_cast<size_t>(ch + 2) * 4 * stride, 0);
  for (int q = 0; q < ch + 2; ++q) {
    const uint32_t* row = f.texels.data() + static_cast<size_t>(std::clamp(q - 1, 0, ch - 1)) * cw;
    uint16_t* dst = p->v.data() + static_cast<size_t>(q) * 4 * stride;
    for (int m = 0; m < stride; ++m) {
      const uint32_t t = row[std::clamp(m / s - 1, 0, cw - 1)];
      dst[m] = static_cast<uint16_t>(t >> 16 & 255);
      dst[stride + m] = static_cast<uint16_t>(t >> 8 & 255);
      dst[2 * stride + m] = static_cast<uint16_t>(t & 255);
      dst[3 * stride + m] = static_cast<uint16_t>(t >> 31);
    }
  }
  slot = std::move(p);
  return *slot;
}

// One sub-pixel draw, worked out (see DrawSubPixel): a horizontal pass
// blends, for each padded texel row q0..q1 in use and columns 0..ncp-1,
// src[k] and src[k + s] of each plane with weight w[k % 8] (the weights
// repeat every 8 columns at scales 1 and 2) into `rows`; a vertical pass
// blends pairs of those rows into the ny rows of dst (the AVX kernels do
// both at once, without `rows`). Pixels past column nx are never covered:
// they (up to 15 past the right edge, inside the buffer's slack) are only
// ever rewritten with their own values.
struct SubPixelJob {
  const Planes* pl;
  int m0, s;
  alignas(16) uint16_t w[8];
  alignas(16) uint16_t tail[8];  // all ones for the columns < nx of the last 8
  int q0, q1;
  int32_t ty0, stepy;
  int nx, ny, ncp;
  uint16_t* rows;
  size_t hstride;
  uint32_t* dst;
  bool tinted;
  int tint[3];
};

#if defined(__SSE2__)
#define SB_INLINE inline __attribute__((always_inline))

SB_INLINE __m128i Load8(const uint16_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// (a w0 + b w1 + 128) >> 8 per 16-bit lane; exact, as w0 + w1 = 256 keeps
// it under 65536.
SB_INLINE __m128i Blend8(__m128i a, __m128i b, __m128i w0, __m128i w1) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(a, w0), _mm_mullo_epi16(b, w1)),
                                      _mm_set1_epi16(128)),
                        8);
}

// round(v * t / 255) per lane: x = v t + 128, (x + (x >> 8)) >> 8.
SB_INLINE __m128i Tint8(__m128i v, __m128i t) {
  const __m128i x = _mm_add_epi16(_mm_mullo_epi16(v, t), _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

SB_INLINE void Horizontal8(const uint16_t* src, int stride, int s, __m128i w0, __m128i w1,
                           uint16_t* h, int ncp, int c) {
#pragma GCC unroll 4
  for (int pl = 0; pl < 4; ++pl) {
    const uint16_t* p = src + pl * stride + c;
    __m128i v = _mm_add_epi16(_mm_mullo_epi16(Load8(p), w0), _mm_mullo_epi16(Load8(p + s), w1));
    if (pl < 3) v = _mm_srli_epi16(_mm_add_epi16(v, _mm_set1_epi16(128)), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + pl * ncp + c), v);
  }
}

// 8 pixels of one output row; a and b are the two horizontal rows.
SB_INLINE void Vertical8(const uint16_t* a, const uint16_t* b, int ncp, int c, __m128i w0,
                         __m128i w1, __m128i wp, const __m128i* tint, uint32_t* dst) {
  const __m128i ca = Load8(a + 3 * ncp + c), cb = Load8(b + 3 * ncp + c);
  const __m128i limit = _mm_set1_epi32(32767);
  const __m128i mlo = _mm_cmpgt_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(ca, cb), wp), limit);
  const __m128i mhi = _mm_cmpgt_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(ca, cb), wp), limit);
  if (_mm_movemask_epi8(_mm_or_si128(mlo, mhi)) == 0) return;
  __m128i r = Blend8(Load8(a + c), Load8(b + c), w0, w1);
  __m128i g = Blend8(Load8(a + ncp + c), Load8(b + ncp + c), w0, w1);
  __m128i bl = Blend8(Load8(a + 2 * ncp + c), Load8(b + 2 * ncp + c), w0, w1);
  if (tint) {
    r = Tint8(r, tint[0]);
    g = Tint8(g, tint[1]);
    bl = Tint8(bl, tint[2]);
  }
  const __m128i bg = _mm_or_si128(bl, _mm_slli_epi16(g, 8));
  const __m128i plo = _mm_unpacklo_epi16(bg, r), phi = _mm_unpackhi_epi16(bg, r);
  __m128i* d = reinterpret_cast<__m128i*>(dst + c);
  if (_mm_movemask_epi8(_mm_and_si128(mlo, mhi)) == 0xFFFF) {
    _mm_storeu_si128(d, plo);
    _mm_storeu_si128(d + 1, phi);
    return;
  }
  const __m128i dlo = _mm_loadu_si128(d), dhi = _mm_loadu_si128(d + 1);
  _mm_storeu_si128(d, _mm_or_si128(_mm_and_si128(mlo, plo), _mm_andnot_si128(mlo, dlo)));
  _mm_storeu_si128(d + 1, _mm_or_si128(_mm_and_si128(mhi, phi), _mm_andnot_si128(mhi, dhi)));
}

SB_INLINE void ZeroTail(const SubPixelJob& j, uint16_t* h) {
  __m128i* c = reinterpret_cast<__m128i*>(h + 4 * j.ncp - 8);
  _mm_storeu_si128(c, _mm_and_si128(_mm_loadu_si128(c), Load8(j.tail)));
}

void RunSse2(const SubPixelJob& j) {
  const __m128i w1 = Load8(j.w), w0 = _mm_sub_epi16(_mm_set1_epi16(256), w1);
  for (int q = j.q0; q <= j.q1; ++q) {
    uint16_t* h = j.rows + (q - j.q0) * j.hstride;
    const uint16_t* src = j.pl->Row(q) + j.m0;
    for (int c = 0; c < j.ncp; c += 8) Horizontal8(src, j.pl->stride, j.s, w0, w1, h, j.ncp, c);
    ZeroTail(j, h);
  }
  __m128i tint[3];
  for (int k = 0; k < 3; ++k) tint[k] = _mm_set1_epi16(static_cast<int16_t>(j.tint[k]));
  uint32_t* dst = j.dst;
  for (int l = 0; l < j.ny; ++l, dst += Renderer::kW) {
    const int32_t tl = j.ty0 + j.stepy * l;
    const uint16_t* a = j.rows + ((tl >> 8) + 1 - j.q0) * j.hstride;
    const int wy = tl & 255;
    const __m128i vw1 = _mm_set1_epi16(static_cast<int16_t>(wy));
    const __m128i vw0 = _mm_set1_epi16(static_cast<int16_t>(256 - wy));
    const __m128i wp = _mm_set1_epi32(wy << 16 | (256 - wy));
    for (int c = 0; c < j.ncp; c += 8)
      Vertical8(a, a + j.hstride, j.ncp, c, vw0, vw1, wp, j.tinted ? tint : nullptr, dst);
  }
}

#if defined(__x86_64__)
#define SB_AVX2 __attribute__((target("avx2")))
#define SB_AVX2_INLINE inline __attribute__((always_inline, target("avx2")))

SB_AVX2_INLINE __m256i Load16(const uint16_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

SB_AVX2_INLINE __m256i Tint16(__m256i v, __m256i t) {
  const __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(v, t), _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

// A horizontal row of 16 columns, kept in registers: R, G, B, coverage.
SB_AVX2_INLINE void Row16(const uint16_t* src, int stride, int s, __m256i w0, __m256i w1,
                          __m256i out[4]) {
#pragma GCC unroll 4  // the rows stay in registers only when unrolled
  for (int pl = 0; pl < 4; ++pl) {
    const uint16_t* p = src + pl * stride;
    const __m256i v =
        _mm256_add_epi16(_mm256_mullo_epi16(Load16(p), w0), _mm256_mullo_epi16(Load16(p + s), w1));
    out[pl] = pl < 3 ? _mm256_srli_epi16(_mm256_add_epi16(v, _mm256_set1_epi16(128)), 8) : v;
  }
}

SB_AVX2_INLINE __m256i Blend16(__m256i a, __m256i b, __m256i w0, __m256i w1) {
  return _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, w0), _mm256_mullo_epi16(b, w1)),
                       _mm256_set1_epi16(128)),
      8);
}

// The two passes fused, 16 columns at a time: each horizontal row is made
// once, in registers, as the output rows reach it (the rows a draw uses
// only ever move down). Pixels past the last column are rewritten with
// their own values (the back buffer has slack after its last row).
SB_AVX2 void RunAvx2(const SubPixelJob& j) {
  const int stride = j.pl->stride, s = j.s;
  const __m256i w1 = _mm256_broadcastsi128_si256(Load8(j.w));
  const __m256i w0 = _mm256_sub_epi16(_mm256_set1_epi16(256), w1);
  __m256i tint[3];
  for (int k = 0; k < 3; ++k) tint[k] = _mm256_set1_epi16(static_cast<int16_t>(j.tint[k]));
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (int c = 0; c < j.nx; c += 16) {
    const __m256i n = _mm256_set1_epi32(j.nx - c);
    const __m256i valid0 = _mm256_cmpgt_epi32(n, lanes);
    const __m256i valid1 = _mm256_cmpgt_epi32(n, _mm256_add_epi32(lanes, _mm256_set1_epi32(8)));
    __m256i a[4], b[4];
    int q = j.q0;
    Row16(j.pl->Row(q) + j.m0 + c, stride, s, w0, w1, a);
    Row16(j.pl->Row(q + 1) + j.m0 + c, stride, s, w0, w1, b);
    uint32_t* dst = j.dst + c;
    for (int l = 0; l < j.ny; ++l, dst += Renderer::kW) {
      const int32_t tl = j.ty0 + j.stepy * l;
      while (q < (tl >> 8) + 1) {
#pragma GCC unroll 4  // the rows stay in registers only when unrolled
        for (int k = 0; k < 4; ++k) a[k] = b[k];
        ++q;
        Row16(j.pl->Row(q + 1) + j.m0 + c, stride, s, w0, w1, b);
      }
      const int wy = tl & 255;
      const __m256i vw1 = _mm256_set1_epi16(static_cast<int16_t>(wy));
      const __m256i vw0 = _mm256_set1_epi16(static_cast<int16_t>(256 - wy));
      // Coverage a (256 - wy) + b wy against 32768 in 16-bit lanes: each
      // product fits (a, b <= 256, weights <= 255), a sum past 65535 only
      // saturates, and the top bit is the answer; wy = 0 is a alone.
      const __m256i cov = wy == 0
                              ? _mm256_cmpgt_epi16(a[3], _mm256_set1_epi16(127))
                              : _mm256_srai_epi16(_mm256_adds_epu16(_mm256_mullo_epi16(a[3], vw0),
                                                                    _mm256_mullo_epi16(b[3], vw1)),
                                                  15);
      const __m256i m0 =
          _mm256_and_si256(_mm256_cvtepi16_epi32(_mm256_castsi256_si128(cov)), valid0);
      const __m256i m1 =
          _mm256_and_si256(_mm256_cvtepi16_epi32(_mm256_extracti128_si256(cov, 1)), valid1);
      const __m256i any = _mm256_or_si256(m0, m1);
      if (_mm256_testz_si256(any, any)) continue;
      __m256i r = Blend16(a[0], b[0], vw0, vw1);
      __m256i g = Blend16(a[1], b[1], vw0, vw1);
      __m256i bl = Blend16(a[2], b[2], vw0, vw1);
      if (j.tinted) {
        r = Tint16(r, tint[0]);
        g = Tint16(g, tint[1]);
        bl = Tint16(bl, tint[2]);
      }
      const __m256i bg = _mm256_or_si256(bl, _mm256_slli_epi16(g, 8));
      const __m256i plo = _mm256_unpacklo_epi16(bg, r), phi = _mm256_unpackhi_epi16(bg, r);
      __m256i* d = reinterpret_cast<__m256i*>(dst);
      _mm256_storeu_si256(d, _mm256_blendv_epi8(_mm256_loadu_si256(d),
                                                _mm256_permute2x128_si256(plo, phi, 0x20), m0));
      _mm256_storeu_si256(d + 1, _mm256_blendv_epi8(_mm256_loadu_si256(d + 1),
                                                    _mm256_permute2x128_si256(plo, phi, 0x31), m1));
    }
  }
}

#define SB_AVX512 __attribute__((target("avx512f,avx512bw")))
#define SB_AVX512_INLINE inline __attribute__((always_inline, target("avx512f,avx512bw")))

SB_AVX512_INLINE __m512i Tint32(__m512i v, __m512i t) {
  const __m512i x = _mm512_add_epi16(_mm512_mullo_epi16(v, t), _mm512_set1_epi16(128));
  return _mm512_srli_epi16(_mm512_add_epi16(x, _mm512_srli_epi16(x, 8)), 8);
}

// A horizontal row of 32 columns, kept in registers: R, G, B, coverage.
SB_AVX512_INLINE void Row32(const uint16_t* src, int stride, int s, __m512i w0, __m512i w1,
                            __m512i out[4]) {
#pragma GCC unroll 4  // the rows stay in registers only when unrolled
  for (int pl = 0; pl < 4; ++pl) {
    const uint16_t* p = src + pl * stride;
    const __m512i v = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_loadu_si512(p), w0),
                                       _mm512_mullo_epi16(_mm512_loadu_si512(p + s), w1));
    out[pl] = pl < 3 ? _mm512_srli_epi16(_mm512_add_epi16(v, _mm512_set1_epi16(128)), 8) : v;
  }
}

SB_AVX512_INLINE __m512i Blend32(__m512i a, __m512i b, __m512i w0, __m512i w1) {
  return _mm512_srli_epi16(
      _mm512_add_epi16(_mm512_add_epi16(_mm512_mullo_epi16(a, w0), _mm512_mullo_epi16(b, w1)),
                       _mm512_set1_epi16(128)),
      8);
}

// The two passes fused, 32 columns at a time: each horizontal row is made
// once, in registers, as the output rows reach it (the rows a draw uses
// only ever move down), and masked stores write just the covered pixels,
// so nothing past the last column is touched.
SB_AVX512 void RunAvx512(const SubPixelJob& j) {
  const int stride = j.pl->stride, s = j.s;
  const __m512i w1 = _mm512_maskz_broadcast_i32x4(0xFFFF, Load8(j.w));
  const __m512i w0 = _mm512_sub_epi16(_mm512_set1_epi16(256), w1);
  __m512i tint[3];
  for (int k = 0; k < 3; ++k) tint[k] = _mm512_set1_epi16(static_cast<int16_t>(j.tint[k]));
  // Unpacking pairs lanes within 128-bit blocks; these put the two halves
  // back in pixel order (0-15 and 16-31).
  const __m512i first = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
  const __m512i second = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
  for (int c = 0; c < j.nx; c += 32) {
    const int n = j.nx - c;
    const uint32_t valid = n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1;
    __m512i a[4], b[4];
    int q = j.q0;
    Row32(j.pl->Row(q) + j.m0 + c, stride, s, w0, w1, a);
    Row32(j.pl->Row(q + 1) + j.m0 + c, stride, s, w0, w1, b);
    uint32_t* dst = j.dst + c;
    for (int l = 0; l < j.ny; ++l, dst += Renderer::kW) {
      const int32_t tl = j.ty0 + j.stepy * l;
      while (q < (tl >> 8) + 1) {
#pragma GCC unroll 4  // the rows stay in registers only when unrolled
        for (int k = 0; k < 4; ++k) a[k] = b[k];
        ++q;
        Row32(j.pl->Row(q + 1) + j.m0 + c, stride, s, w0, w1, b);
      }
      const int wy = tl & 255;
      const __m512i vw1 = _mm512_set1_epi16(static_cast<int16_t>(wy));
      const __m512i vw0 = _mm512_set1_epi16(static_cast<int16_t>(256 - wy));
      // Coverage a (256 - wy) + b wy against 32768 in 16-bit lanes, in
      // pixel order: each product fits (a, b <= 256, weights <= 255) and a
      // sum past 65535 only saturates; wy = 0 is a alone.
      const __mmask32 covered =
          wy == 0 ? _mm512_mask_cmpge_epu16_mask(valid, a[3], _mm512_set1_epi16(128))
                  : _mm512_mask_cmpge_epu16_mask(valid,
                                                 _mm512_adds_epu16(_mm512_mullo_epi16(a[3], vw0),
                                                                   _mm512_mullo_epi16(b[3], vw1)),
                                                 _mm512_set1_epi16(static_cast<int16_t>(0x8000)));
      const __mmask16 m0 = static_cast<__mmask16>(covered);
      const __mmask16 m1 = static_cast<__mmask16>(covered >> 16);
      if ((m0 | m1) == 0) continue;
      __m512i r = Blend32(a[0], b[0], vw0, vw1);
      __m512i g = Blend32(a[1], b[1], vw0, vw1);
      __m512i bl = Blend32(a[2], b[2], vw0, vw1);
      if (j.tinted) {
        r = Tint32(r, tint[0]);
        g = Tint32(g, tint[1]);
        bl = Tint32(bl, tint[2]);
      }
      const __m512i bg = _mm512_or_si512(bl, _mm512_slli_epi16(g, 8));
      const __m512i plo = _mm512_unpacklo_epi16(bg, r), phi = _mm512_unpackhi_epi16(bg, r);
      _mm512_mask_storeu_epi32(dst, m0, _mm512_permutex2var_epi64(plo, first, phi));
      _mm512_mask_storeu_epi32(dst + 16, m1, _mm512_permutex2var_epi64(plo, second, phi));
    }
  }
}

// Rows ry0..ry1 of a cached picture whose top-left is at dst, columns
// clipped to [clo, chi): 16 pixels a masked store, the picture's own mask
// saying which.
SB_AVX512 void BlitAvx512(const Picture& pic, uint32_t* dst, int ry0, int ry1, int clo, int chi) {
  for (int r = ry0; r < ry1; ++r) {
    const int a = std::max(pic.lo[r], clo), b = std::min(pic.hi[r], chi);
    const size_t off = static_cast<size_t>(r) * pic.w;
    const uint32_t* src = pic.px.data() + off;
    const uint32_t* m = pic.mask.data() + off;
    uint32_t* out = dst + static_cast<size_t>(r) * Renderer::kW;
    for (int i = a; i < b; i += 16) {
      const int n = b - i;
      const __mmask16 valid = n >= 16 ? 0xFFFF : static_cast<__mmask16>((1u << n) - 1);
      const __m512i k = _mm512_maskz_loadu_epi32(valid, m + i);
      _mm512_mask_storeu_epi32(out + i, _mm512_test_epi32_mask(k, k),
                               _mm512_maskz_loadu_epi32(valid, src + i));
    }
  }
}

#endif  // __x86_64__

#endif  // __SSE2__

// The same arithmetic one value at a time: processors without SSE2, and
// tests.
void RunPortable(const SubPixelJob& j) {
  const int ncp = j.ncp;
  for (int q = j.q0; q <= j.q1; ++q) {
    uint16_t* h = j.rows + (q - j.q0) * j.hstride;
    const uint16_t* src = j.pl->Row(q) + j.m0;
    for (int pl = 0; pl < 4; ++pl)
      for (int c = 0; c < ncp; ++c) {
        const uint32_t w1 = j.w[c & 7], w0 = 256 - w1;
        const uint32_t v = src[pl * j.pl->stride + c] * w0 + src[pl * j.pl->stride + c + j.s] * w1;
        h[pl * ncp + c] = static_cast<uint16_t>(pl < 3 ? (v + 128) >> 8 : v);
      }
    for (int c = 0; c < 8; ++c) h[4 * ncp - 8 + c] &= j.tail[c];
  }
  uint32_t* dst = j.dst;
  for (int l = 0; l < j.ny; ++l, dst += Renderer::kW) {
    const int32_t tl = j.ty0 + j.stepy * l;
    const uint16_t* a = j.rows + ((tl >> 8) + 1 - j.q0) * j.hstride;
    const uint16_t* b = a + j.hstride;
    const uint32_t wy = uint32_t(tl & 255), wy0 = 256 - wy;
    for (int c = 0; c < ncp; ++c) {
      if (a[3 * ncp + c] * wy0 + b[3 * ncp + c] * wy < 32768) continue;
      uint32_t px = 0;
      for (int pl = 0, sh = 16; pl < 3; ++pl, sh -= 8) {
        uint32_t v = (a[pl * ncp + c] * wy0 + b[pl * ncp + c] * wy + 128) >> 8;
        if (j.tinted) v = TintChannel(v, uint32_t(j.tint[pl]));
        px |= v << sh;
      }
      dst[c] = px;
    }
  }
}

Renderer::Kernel Best() {
#if defined(__SSE2__) && defined(__x86_64__)
  __builtin_cpu_init();  // may run before the library's own start-up code
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
    return Renderer::Kernel::kAvx512;
  if (__builtin_cpu_supports("avx2")) return Renderer::Kernel::kAvx2;
#endif
#if defined(__SSE2__)
  return Renderer::Kernel::kSse2;
#else
  return Renderer::Kernel::kPortable;
#endif
}

Renderer::Kernel g_kernel = Best();

void RunJob(const SubPixelJob& j) {
  switch (g_kernel) {
#if defined(__SSE2__) && defined(__x86_64__)
    case Renderer::Kernel::kAvx512:
      RunAvx512(j);
      return;
    case Renderer::Kernel::kAvx2:
      RunAvx2(j);
      return;
#endif
#if defined(__SSE2__)
    case Renderer::Kernel::kSse2:
      RunSse2(j);
      return;
#endif
    default:
      RunPortable(j);
  }
}

}  // namespace

Renderer::Kernel Renderer::BestKernel() {
  return Best();
}

Renderer::Kernel Renderer::UseKernel(Kernel k) {
  g_kernel = std::min(k, Best());
  return g_kernel;
}

Renderer::Renderer() : fb_(static_cast<size_t>(kW) * kH + 16, 0u) {
  Reset();
}

void Renderer::Reset() {
  r_ = g_ = b_ = 255;
  alpha_ = 1.0;
  sx_ = sy_ = 1.0f;
  cx0_ = cy0_ = 0;
  cx1_ = kW;
  cy1_ = kH;
}

void Renderer::SetColor(int r, int g, int b) {
  r_ = std::clamp(r, 0, 255);
  g_ = std::clamp(g, 0, 255);
  b_ = std::clamp(b, 0, 255);
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
  if (!enabled_ || cx0_ >= cx1_ || cy0_ >= cy1_) return;
  // The clear colour is black: whole rows (the usual full-screen viewport)
  // are one memset.
  if (cx0_ == 0 && cx1_ == kW) {
    std::memset(fb_.data() + static_cast<size_t>(cy0_) * kW, 0,
                static_cast<size_t>(cy1_ - cy0_) * kW * 4);
    return;
  }
  for (int y = cy0_; y < cy1_; ++y)
    std::memset(fb_.data() + static_cast<size_t>(y) * kW + cx0_, 0,
                static_cast<size_t>(cx1_ - cx0_) * 4);
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
  const int tint[3] = {r_, g_, b_};
  RenderTaps<false>(img, f, colv, x1 - x0, rowv, y1 - y0, dst, kW, tint);
}

std::unique_ptr<Picture> Renderer::MakePicture(const Image& img, const Frame& f, const Taps& cols,
                                               const Taps& rows) {
  auto pic = std::make_unique<Picture>();
  pic->w = cols.p1 - cols.p0;
  pic->h = rows.p1 - rows.p0;
  pic->px.assign(static_cast<size_t>(pic->w) * pic->h, 0u);
  const int white[3] = {255, 255, 255};
  RenderTaps<true>(img, f, cols.v.data(), pic->w, rows.v.data(), pic->h, pic->px.data(), pic->w,
                   white);
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
#if defined(__SSE2__) && defined(__x86_64__)
  if (white && g_kernel == Kernel::kAvx512) {
    BlitAvx512(pic, fb_.data() + static_cast<ptrdiff_t>(y) * kW + x, ry0, ry1, clo, chi);
    return;
  }
#endif
  const uint32_t tr = uint32_t(r_), tg = uint32_t(g_), tb = uint32_t(b_);
  for (int r = ry0; r < ry1; ++r) {
    const int a = std::max(pic.lo[r], clo), b = std::min(pic.hi[r], chi);
    if (a >= b) continue;
    const size_t off = static_cast<size_t>(r) * pic.w;
    const uint32_t* __restrict src = pic.px.data() + off;
    const uint32_t* __restrict m = pic.mask.data() + off;
    uint32_t* __restrict dst = fb_.data() + static_cast<size_t>(y + r) * kW + x;
    int i = a;
    if (white) {
#if defined(__SSE2__)
      for (; i + 4 <= b; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(
            d, _mm_or_si128(_mm_and_si128(k, s), _mm_andnot_si128(k, _mm_loadu_si128(d))));
      }
#endif
      for (; i < b; ++i) dst[i] = (src[i] & m[i]) | (dst[i] & ~m[i]);
    } else {
      for (; i < b; ++i) {
        const uint32_t c = src[i];
        const uint32_t t = TintChannel(c >> 16 & 255, tr) << 16 |
                           TintChannel(c >> 8 & 255, tg) << 8 | TintChannel(c & 255, tb);
        dst[i] = (t & m[i]) | (dst[i] & ~m[i]);
      }
    }
  }
}

// Filtered images at scale 1 or 2 on each axis, anywhere: the taps along an
// axis step by 256 / s, so they are t(p) = (256 / s) p + k with one k per
// draw, and the texels under consecutive pixels are consecutive in the
// frame's planes. A horizontal pass blends the texel rows in use, a
// vertical pass blends those into the back buffer, 8, 16 or 32 pixels at a
// time (see RunJob). Padding the planes with the edge texels stands in for
// clamping: a blend of two equal texels is that texel whatever the weight.
void Renderer::DrawSubPixel(const Image& img, Frame& f, float x, float y, int s, int t) {
  int px0, px1, py0, py1;
  if (!Cover(x, x + img.cw * double(s), cx0_, cx1_, px0, px1)) return;
  if (!Cover(y, y + img.ch * double(t), cy0_, cy1_, py0, py1)) return;
  // t(p) = floor(256 u + 0.5) with u = (p + 0.5 - x) / s - 0.5, exact in
  // doubles for any float position that can reach the screen.
  const int stepx = 256 / s, stepy = 256 / t;
  const int32_t tx0 = stepx * px0 + FloorInt((s == 1 ? 0.5 : -63.5) - stepx * double(x));
  const int32_t ty0 = stepy * py0 + FloorInt((t == 1 ? 0.5 : -63.5) - stepy * double(y));
  const int nx = px1 - px0, ny = py1 - py0;
  SubPixelJob j;
  // Columns in whole vectors: 8 lanes, 32 for the widest kernel.
  j.ncp = g_kernel == Kernel::kAvx512 ? (nx + 31) & ~31 : (nx + 7) & ~7;
  j.nx = nx;
  j.pl = &PlanesFor(img, f, s);
  j.s = s;
  // Plane column of the first pixel's left texel (padded index i0 + 1).
  j.m0 = s * ((tx0 >> 8) + 1) + (s == 2 && (tx0 & 255) >= 128 ? 1 : 0);
  for (int k = 0; k < 8; ++k) {
    j.w[k] = static_cast<uint16_t>((tx0 + stepx * k) & 255);
    j.tail[k] = j.ncp - 8 + k < nx ? 0xFFFF : 0;
  }
  j.q0 = (ty0 >> 8) + 1;
  j.q1 = ((ty0 + stepy * (ny - 1)) >> 8) + 2;
  j.ty0 = ty0;
  j.stepy = stepy;
  j.ny = ny;
  j.hstride = static_cast<size_t>(4) * j.ncp;
  const size_t need = static_cast<size_t>(j.q1 - j.q0 + 1) * j.hstride;
  if (rows_.size() < need) rows_.resize(need);
  j.rows = rows_.data();
  j.dst = fb_.data() + static_cast<size_t>(py0) * kW + px0;
  j.tinted = !TintIsWhite();
  j.tint[0] = r_;
  j.tint[1] = g_;
  j.tint[2] = b_;
  RunJob(j);
}

void Renderer::DrawImage(Image& img, float x, float y, int frame) {
  if (!enabled_ || alpha_ < 0.5) return;
  if (frame < 0 || frame >= static_cast<int>(img.frames.size())) return;
  Frame& f = img.frames[frame];
  // Whole-pixel positions at scale 1 or exactly 2 always sample the same
  // points: copy the frame's cached picture. Pictures larger than the screen
  // are not cached: a huge image would cost its whole area (hundreds of
  // megabytes near the loader's cap) for the part that shows.
  if (sx_ == sy_ && (sx_ == 1.0f || sx_ == 2.0f) && IsInt(x) && IsInt(y) &&
      img.cw * static_cast<int>(sx_) <= kW && img.ch * static_cast<int>(sx_) <= kH) {
    const int s = static_cast<int>(sx_);
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (ix < cx1_ && iy < cy1_ && int64_t{ix} + img.cw * s > cx0_ &&
        int64_t{iy} + img.ch * s > cy0_) {
      Blit(*PictureFor(img, f, s), ix, iy);
    }
    return;
  }
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  const int s = FastStep(sx_), t = FastStep(sy_);
  if (img.filtered && s != 0 && t != 0 && img.cw <= kMaxFastSide && img.ch <= kMaxFastSide) {
    DrawSubPixel(img, f, x, y, s, t);
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
    Fill32(fb_.data() + static_cast<size_t>(py) * kW + px0, px1 - px0, c);
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
  if (dx == 0) {  // a column: every pixel from b to d
    if (a < cx0_ || a >= cx1_) return;
    const int64_t lo = std::max<int64_t>(std::min(b, d), cy0_);
    const int64_t hi = std::min<int64_t>(std::max(b, d), cy1_ - 1);
    for (int64_t py = lo; py <= hi; ++py) fb_[static_cast<size_t>(py) * kW + a] = col;
    return;
  }
  if (dy == 0) {  // a row: every pixel from a to c
    if (b < cy0_ || b >= cy1_) return;
    const int64_t lo = std::max<int64_t>(std::min(a, c), cx0_);
    const int64_t hi = std::min<int64_t>(std::max(a, c), cx1_ - 1);
    if (lo <= hi) Fill32(fb_.data() + static_cast<size_t>(b) * kW + lo, int(hi - lo + 1), col);
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
  // Step i lands on a + round(dx i / n), b + round(dy i / n), halves up:
  // floor((2 delta i + n) / 2n), kept as quotient and remainder so each
  // step is an addition (|delta| <= n moves the quotient by at most one).
  const int64_t den = 2 * n;
  struct Axis {
    int64_t q, r, inc;
  };
  auto start = [&](int64_t delta) {
    const int64_t num = 2 * delta * i0 + n;
    int64_t q = num >= 0 ? num / den : -((-num + den - 1) / den);
    return Axis{q, num - q * den, 2 * delta};
  };
  Axis ax = start(dx), ay = start(dy);
  auto advance = [den](Axis& s) {
    s.r += s.inc;
    if (s.r >= den) {
      s.r -= den;
      ++s.q;
    } else if (s.r < 0) {
      s.r += den;
      --s.q;
    }
  };
  for (int64_t i = i0; i <= i1; ++i) {
    const int64_t px = a + ax.q, py = b + ay.q;
    if (px >= cx0_ && px < cx1_ && py >= cy0_ && py < cy1_)
      fb_[static_cast<size_t>(py) * kW + static_cast<size_t>(px)] = col;
    advance(ax);
    advance(ay);
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
