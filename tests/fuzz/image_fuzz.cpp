// Image files from the player's disk: arbitrary bytes as a BMP, cut into
// arbitrary cells, then drawn. Input: 9 parameter bytes, then the file.
//   0 cell width (0: a one-frame LoadImage)  1 cell height  2 first cell
//   3-4 cell count  5 flags  6 scale  7-8 position
#include <cstdint>
#include <string>

#include "fuzz_common.h"
#include "platform/image_store.h"
#include "platform/renderer.h"

namespace {

constexpr int64_t kMaxDrawnPixels = 1 << 20;
constexpr float kScales[8] = {1.0f, 2.0f, 0.5f, 1.5f, 3.0f, 2.0f, 1.0f, 2.25f};

void CheckImage(const sb::Image& img, int cellw, int cellh, int count, bool single) {
  if (!single) {
    FUZZ_CHECK(img.cw == cellw && img.ch == cellh);
    FUZZ_CHECK(static_cast<int>(img.frames.size()) == count);
  } else {
    FUZZ_CHECK(img.frames.size() == 1);
    FUZZ_CHECK(img.cw > 0 && img.ch > 0);
    FUZZ_CHECK(int64_t{img.cw} * img.ch <= sb::kMaxImagePixels);
  }
  for (const sb::Frame& f : img.frames) {
    FUZZ_CHECK(f.texels.size() == static_cast<size_t>(img.cw) * img.ch);
    // Masked: black is fully transparent, everything else fully opaque.
    for (uint32_t t : f.texels) {
      if (img.masked) FUZZ_CHECK(t == 0 || (t & sb::kOpaque) == sb::kOpaque);
      if (!img.masked) FUZZ_CHECK((t & sb::kOpaque) == sb::kOpaque);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchDir() + "/image.bmp";
  static sb::Renderer renderer;
  fuzz::Bytes in(data, size);
  const int cellw = in.U8(), cellh = in.U8(), first = in.U8(), count = in.U16();
  const uint8_t fsel = in.U8(), ssel = in.U8();
  const int px = static_cast<int8_t>(in.U8()) * 6, py = static_cast<int8_t>(in.U8()) * 5;
  const int flags = (fsel & 4) ? -1 : (fsel & 3);
  if (!fuzz::WriteFileBytes(path, in.Rest(), in.RestSize())) return 0;

  sb::ImageStore store;
  const bool single = cellw == 0;
  const int h = single ? store.LoadImage(path, flags)
                       : store.LoadImageStrip(path, cellw, cellh, first, count, flags);
  if (h == 0) {
    FUZZ_CHECK(store.Count() == 0);
    return 0;
  }
  sb::Image* img = store.Get(h);
  FUZZ_CHECK(img != nullptr);
  CheckImage(*img, cellw, cellh, count, single);

  // Drawn the way the game draws: whole pixels at scale 1 or 2 (cached
  // pictures, or direct sampling for images larger than the screen) and
  // anywhere else (direct sampling), clipped to a viewport. Not images of
  // over a million pixels: drawing them finds new edges, so the search would
  // keep mutating huge inputs at a second each (39 runs/s instead of 466).
  // The render tests draw images larger than the screen.
  if (int64_t{img->cw} * img->ch > kMaxDrawnPixels) return 0;
  renderer.Reset();
  renderer.SetScale(kScales[ssel & 7], kScales[(ssel >> 3) & 7]);
  if (ssel & 0x40) renderer.SetViewport(20, 20, 600, 440);
  if (ssel & 0x80) renderer.SetColor(200, 100, 50);
  const int last = static_cast<int>(img->frames.size()) - 1;
  renderer.DrawImage(*img, static_cast<float>(px), static_cast<float>(py), 0);
  renderer.DrawImage(*img, px + 0.37f, py - 0.61f, last);
  renderer.DrawImage(*img, static_cast<float>(px), static_cast<float>(py), last + 1);  // none
  renderer.Capture(*img, px, py, 0);
  renderer.DrawImage(*img, static_cast<float>(px), static_cast<float>(py), 0);
  return 0;
}
