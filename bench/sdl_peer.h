// The peers on SDL's side: its own software renderer drawing the same calls
// as ours, and the game's SDL back end presenting frames on the dummy video
// driver. The one bench file that includes SDL.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/image_store.h"
#include "platform/platform.h"

namespace bench {

class SdlPeer {
 public:
  // Textures for every image of the store: texels with alpha 0 where masked,
  // linear scaling for filtered images, blending on.
  explicit SdlPeer(sb::ImageStore& images);
  ~SdlPeer();
  SdlPeer(const SdlPeer&) = delete;
  SdlPeer& operator=(const SdlPeer&) = delete;
  bool Ok() const { return ok_; }
  // Replays the calls onto a 640x480 ARGB surface and waits for SDL to
  // finish them.
  void Draw(const std::vector<sb::DrawCall>& calls);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool ok_ = false;
};

// The game's SDL back end with a window opened on the dummy video driver
// (set before SDL starts video); null when that fails.
std::unique_ptr<sb::Backend> OpenDummyWindow();

}  // namespace bench
