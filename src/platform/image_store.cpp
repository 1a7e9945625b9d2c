#include "platform/image_store.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "platform/decode.h"

namespace sb {

namespace {

int32_t Le32(const uint8_t* p) {
  return static_cast<int32_t>(ReadLe32(p));
}
int16_t Le16(const uint8_t* p) {
  return static_cast<int16_t>(ReadLe16(p));
}

}  // namespace

bool SizeAcceptable(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide && w * h <= kMaxImagePixels;
}

bool HeaderAcceptable(const uint8_t* hdr, size_t got) {
  if (got < 26) return false;
  if (hdr[0] != 'B' || hdr[1] != 'M') return false;
  int32_t dib = Le32(hdr + 14);
  int64_t w, h;
  if (dib == 12) {
    w = Le16(hdr + 18);
    h = Le16(hdr + 20);
  } else {
    w = Le32(hdr + 18);
    h = Le32(hdr + 22);
    // Only plain, RLE8, RLE4 and bit-field pixels decode; a decoder may read
    // any other method (JPEG, PNG, unknown) as plain pixels: noise on screen
    // instead of a reported bad file.
    if (got < kBmpHeaderBytes) return false;
    const int32_t compression = Le32(hdr + 30);
    if (compression < 0 || compression > 3) return false;
  }
  if (h < 0) h = -h;
  return SizeAcceptable(w, h);
}

void Picture::Finish() {
  mask.assign(px.size(), 0u);
  lo.assign(static_cast<size_t>(h), 0);
  hi.assign(static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y) {
    const size_t row = static_cast<size_t>(y) * w;
    int first = w, last = 0;
    for (int x = 0; x < w; ++x) {
      if (px[row + x] & kOpaque) {
        mask[row + x] = 0xFFFFFFFFu;
        first = std::min(first, x);
        last = x + 1;
      }
      px[row + x] &= 0xFFFFFFu;
    }
    lo[y] = first < last ? first : 0;
    hi[y] = first < last ? last : 0;
  }
}

bool LoadBmp(const std::string& path, Bitmap& out) {
  // Only a regular file: opening a named pipe would wait for a writer forever.
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return DecodeBmp(path, out) && SizeAcceptable(out.w, out.h);
}

ImageStore::ImageStore() = default;
ImageStore::~ImageStore() = default;

namespace {

std::unique_ptr<Image> NewImage(int cw, int ch, int frames, int flags) {
  auto img = std::make_unique<Image>();
  img->cw = cw;
  img->ch = ch;
  img->flags = flags;
  img->masked = (flags & kImageMasked) != 0;
  img->filtered = (flags & kImageFiltered) != 0;
  img->frames.resize(static_cast<size_t>(frames));
  return img;
}

// Copies one cell of the bitmap into a frame, applying the mask.
void CutCell(const Bitmap& bmp, int x0, int y0, const Image& img, Frame& f) {
  f.texels.resize(static_cast<size_t>(img.cw) * img.ch);
  for (int y = 0; y < img.ch; ++y) {
    const uint32_t* src = bmp.px.data() + static_cast<size_t>(y0 + y) * bmp.w + x0;
    uint32_t* dst = f.texels.data() + static_cast<size_t>(y) * img.cw;
    for (int x = 0; x < img.cw; ++x) {
      uint32_t c = src[x];
      dst[x] = (img.masked && c == 0) ? 0u : (c | kOpaque);
    }
  }
}

}  // namespace

int ImageStore::Add(std::unique_ptr<Image> img) {
  images_.push_back(std::move(img));
  return static_cast<int>(images_.size());
}

int ImageStore::LoadImage(const std::string& path, int flags) {
  Bitmap bmp;
  if (!LoadBmp(path, bmp)) return 0;
  auto img = NewImage(bmp.w, bmp.h, 1, flags);
  CutCell(bmp, 0, 0, *img, img->frames[0]);
  return Add(std::move(img));
}

int ImageStore::LoadImageStrip(const std::string& path, int cellw, int cellh, int first, int count,
                               int flags) {
  if (cellw <= 0 || cellh <= 0 || first < 0 || count <= 0) return 0;
  Bitmap bmp;
  if (!LoadBmp(path, bmp)) return 0;
  int across = bmp.w / cellw;
  int64_t cells = int64_t{across} * (bmp.h / cellh);
  if (cells < int64_t{first} + count) return 0;
  auto img = NewImage(cellw, cellh, count, flags);
  for (int i = 0; i < count; ++i) {
    int c = first + i;
    CutCell(bmp, cellw * (c % across), cellh * (c / across), *img, img->frames[i]);
  }
  return Add(std::move(img));
}

int ImageStore::CreateImage(int width, int height, int frames, int flags) {
  if (!SizeAcceptable(width, height) || frames <= 0 ||
      int64_t{width} * height * frames > kMaxImagePixels)
    return 0;
  auto img = NewImage(width, height, frames, flags);
  // Blank: transparent when masked, opaque black otherwise.
  uint32_t blank = img->masked ? 0u : kOpaque;
  for (auto& f : img->frames) f.texels.assign(static_cast<size_t>(width) * height, blank);
  return Add(std::move(img));
}

Image* ImageStore::Get(int handle) {
  if (handle <= 0 || handle > static_cast<int>(images_.size())) return nullptr;
  return images_[static_cast<size_t>(handle) - 1].get();
}

}  // namespace sb
