#include "sdl_peer.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "platform/sdl_backend.h"

namespace bench {

struct SdlPeer::Impl {
  struct Tex {
    SDL_Texture* t = nullptr;
    int cw = 0, ch = 0, across = 1;
  };
  SDL_Surface* surface = nullptr;
  SDL_Renderer* renderer = nullptr;
  std::vector<Tex> tex;  // by image handle - 1
  float sx = 1, sy = 1;
  int r = 255, g = 255, b = 255;
  Uint8 alpha = 255;
};

SdlPeer::SdlPeer(sb::ImageStore& images) : impl_(std::make_unique<Impl>()) {
  Impl& m = *impl_;
  m.surface =
      SDL_CreateRGBSurfaceWithFormat(0, sb::kScreenW, sb::kScreenH, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!m.surface) return;
  m.renderer = SDL_CreateSoftwareRenderer(m.surface);
  if (!m.renderer) return;
  for (int h = 1; h <= images.Count(); ++h) {
    const sb::Image& img = *images.Get(h);
    Impl::Tex t;
    t.cw = img.cw;
    t.ch = img.ch;
    const int frames = static_cast<int>(img.frames.size());
    t.across = std::max(1, std::min(frames, 1024 / std::max(1, img.cw)));
    const int down = (frames + t.across - 1) / t.across;
    std::vector<uint32_t> px(static_cast<size_t>(t.across * img.cw) * (down * img.ch), 0u);
    const int w = t.across * img.cw;
    for (int f = 0; f < frames; ++f) {
      const int x0 = f % t.across * img.cw, y0 = f / t.across * img.ch;
      for (int y = 0; y < img.ch; ++y)
        for (int x = 0; x < img.cw; ++x)
          px[static_cast<size_t>(y0 + y) * w + x0 + x] =
              img.frames[static_cast<size_t>(f)].texels[static_cast<size_t>(y) * img.cw + x];
    }
    t.t = SDL_CreateTexture(m.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w,
                            down * img.ch);
    if (!t.t) return;
    SDL_UpdateTexture(t.t, nullptr, px.data(), w * 4);
    SDL_SetTextureBlendMode(t.t, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(t.t, img.filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    m.tex.push_back(t);
  }
  ok_ = true;
}

SdlPeer::~SdlPeer() {
  for (auto& t : impl_->tex) SDL_DestroyTexture(t.t);
  if (impl_->renderer) SDL_DestroyRenderer(impl_->renderer);
  if (impl_->surface) SDL_FreeSurface(impl_->surface);
}

void SdlPeer::Draw(const std::vector<sb::DrawCall>& calls) {
  Impl& m = *impl_;
  SDL_Renderer* rd = m.renderer;
  for (const sb::DrawCall& c : calls) {
    switch (c.kind) {
      case sb::DrawCall::kCls:
        SDL_SetRenderDrawColor(rd, 0, 0, 0, 255);
        SDL_RenderClear(rd);
        break;
      case sb::DrawCall::kColor:
        m.r = c.n[0];
        m.g = c.n[1];
        m.b = c.n[2];
        break;
      case sb::DrawCall::kAlpha:
        m.alpha = static_cast<Uint8>(std::clamp(c.v[0], 0.0, 1.0) * 255);
        break;
      case sb::DrawCall::kScale:
        m.sx = static_cast<float>(c.v[0]);
        m.sy = static_cast<float>(c.v[1]);
        break;
      case sb::DrawCall::kViewport: {
        const SDL_Rect r{c.n[0], c.n[1], c.n[2], c.n[3]};
        SDL_RenderSetClipRect(rd, &r);
        break;
      }
      case sb::DrawCall::kImage: {
        if (c.n[0] <= 0 || c.n[0] > static_cast<int>(m.tex.size())) break;
        const Impl::Tex& t = m.tex[static_cast<size_t>(c.n[0]) - 1];
        const int f = c.n[1];
        const SDL_Rect src{f % t.across * t.cw, f / t.across * t.ch, t.cw, t.ch};
        const SDL_FRect dst{static_cast<float>(c.v[0]), static_cast<float>(c.v[1]), t.cw * m.sx,
                            t.ch * m.sy};
        SDL_SetTextureColorMod(t.t, static_cast<Uint8>(m.r), static_cast<Uint8>(m.g),
                               static_cast<Uint8>(m.b));
        SDL_SetTextureAlphaMod(t.t, m.alpha);
        SDL_RenderCopyF(rd, t.t, &src, &dst);
        break;
      }
      case sb::DrawCall::kLine: {
        SDL_SetRenderDrawColor(rd, static_cast<Uint8>(m.r), static_cast<Uint8>(m.g),
                               static_cast<Uint8>(m.b), 255);
        const float x1 = static_cast<float>(c.v[0]), y1 = static_cast<float>(c.v[1]);
        SDL_RenderDrawLineF(rd, x1, y1, x1 + (static_cast<float>(c.v[2]) - x1) * m.sx,
                            y1 + (static_cast<float>(c.v[3]) - y1) * m.sy);
        break;
      }
      case sb::DrawCall::kRect: {
        SDL_SetRenderDrawColor(rd, static_cast<Uint8>(m.r), static_cast<Uint8>(m.g),
                               static_cast<Uint8>(m.b), 255);
        const SDL_FRect r{static_cast<float>(c.v[0]), static_cast<float>(c.v[1]),
                          static_cast<float>(c.v[2]) * m.sx, static_cast<float>(c.v[3]) * m.sy};
        SDL_RenderFillRectF(rd, &r);
        break;
      }
    }
  }
  SDL_RenderFlush(rd);
}

std::unique_ptr<sb::Backend> OpenDummyWindow() {
  // Set before the back end starts SDL's video; the back end opens the
  // dummy driver only when asked for it by name.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  auto be = sb::MakeSdlBackend();
  if (!be || !be->OpenWindow(false)) return nullptr;
  return be;
}

}  // namespace bench
