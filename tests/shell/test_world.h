// A headless game world for shell, screen and score tests: a temporary
// working folder with tiny generated images, the headless platform, a Game,
// per-frame scripted input and frame capture.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "core/game.h"
#include "platform/headless_backend.h"
#include "platform/image_write.h"
#include "platform/input.h"
#include "platform/mixer.h"

namespace sbtest {

namespace fs = std::filesystem;

// A fresh folder that is the working folder while the object lives.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "sbshell-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    path_ = tmpl;
    old_ = fs::current_path();
    fs::current_path(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::current_path(old_, ec);
    fs::permissions(path_, fs::perms::all, ec);
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_, old_;
};

inline std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
inline void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Font cell n is one flat colour, so a drawn glyph tells which cell it was.
inline uint32_t FontColour(int cell) {
  return (static_cast<uint32_t>(0x20 + cell) << 16) | 0x80C0u;
}
// The font cell whose colour is at (x, y), or -1 (drawn in white only).
inline int CellAt(const uint32_t* fb, int x, int y) {
  const uint32_t c = fb[y * 640 + x];
  if ((c & 0xFFFFu) != 0x80C0u) return -1;
  return static_cast<int>((c >> 16) & 0xFF) - 0x20;
}
// Every other image: cell n one flat non-black colour.
inline uint32_t CellColour(int cell) {
  return (static_cast<uint32_t>(cell % 200 + 40) << 16) |
         (static_cast<uint32_t>(cell / 200 + 1) << 8) | 0x10u;
}

struct ImageFile {
  const char* file;
  int cellw, cellh, frames, across;  // across 0: one row of cells
};
inline const std::vector<ImageFile>& ImageFiles() {
  static const std::vector<ImageFile> files = {
      {"player.bmp", 7, 12, 79, 0},     {"hulks.bmp", 13, 16, 48, 0},
      {"grunts.bmp", 9, 13, 12, 0},     {"progs.bmp", 8, 16, 108, 0},
      {"brains.bmp", 13, 16, 72, 0},    {"cruises.bmp", 3, 3, 8, 0},
      {"spheroids.bmp", 13, 13, 14, 0}, {"enforcers.bmp", 9, 11, 8, 0},
      {"quarks.bmp", 13, 13, 14, 0},    {"tanks.bmp", 13, 16, 8, 0},
      {"balls.bmp", 5, 5, 4, 0},        {"pluses.bmp", 7, 7, 8, 0},
      {"electrodes.bmp", 18, 9, 50, 0}, {"humans.bmp", 8, 15, 36, 0},
      {"shots.bmp", 8, 8, 9, 0},        {"death.bmp", 13, 12, 8, 0},
      {"bits.bmp", 12, 1, 120, 1},  // 12 x 120: cut 12x1 and 1x12 alike
      {"points.bmp", 12, 6, 30, 0},     {"kelfont.bmp", 6, 7, 80, 0},
      {"arrow.bmp", 8, 6, 1, 0},        {"tessik.bmp", 80, 40, 1, 0},
      {"zantrel.bmp", 22, 1, 270, 0},
  };
  return files;
}

// Writes images/ (minus the files named in `skip`) and an empty scores/.
inline void WriteTestAssets(const std::set<std::string>& skip = {}) {
  fs::create_directories("images");
  fs::create_directories("sounds");
  fs::create_directories("scores");
  for (const ImageFile& f : ImageFiles()) {
    if (skip.count(f.file)) continue;
    const int across = f.across ? f.across : f.frames;
    const int down = (f.frames + across - 1) / across;
    const int w = f.cellw * across, h = f.cellh * down;
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    const bool font = std::string(f.file) == "kelfont.bmp";
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int cell = (y / f.cellh) * across + x / f.cellw;
        px[static_cast<size_t>(y) * w + x] = font ? FontColour(cell) : CellColour(cell);
      }
    if (!sb::WriteBmp(std::string("images/") + f.file, px.data(), w, h)) std::abort();
  }
}

// The platform, the game and the hooks a test scripts through.
struct World {
  TempDir dir;
  std::unique_ptr<sb::Platform> P = sb::MakeHeadlessPlatform();
  sb::HeadlessBackend& hb = sb::Headless(*P);
  sb::Game g{*P};
  int64_t seed = 12345;

  // Frames presented since Mark().
  int base = 0;
  void Mark() { base = hb.Frames(); }
  int Shown() const { return hb.Frames() - base; }

  sb::InputState& In() { return P->Input(); }

  // Called after each presented frame with its number since Mark() (1 = the
  // first); input set here is read by the next frame.
  void OnFrame(std::function<void(int n, const uint32_t* px)> f) {
    hb.on_present = [this, f](int frame, const uint32_t* px) { f(frame - base, px); };
  }

  // Images written, start-up run (display open at scale 2, tables, assets,
  // scores, player); frame counting starts afterwards.
  bool Start(const std::set<std::string>& skip = {}) {
    WriteTestAssets(skip);
    const bool ok = sb::StartUp(g, &seed);
    Mark();
    return ok;
  }

  // Replaces every sound with nothing except `only` (a short silence), so
  // the voices started tell how often that one sound started.
  void OnlySound(sb::Snd only) {
    for (int s = 0; s < sb::kSndCount; ++s) g.snd[s] = 0;
    g.snd[only] = P->GetMixer().AddSound(std::vector<int16_t>(100, 0));
    plays_before = P->GetMixer().Started();
  }
  int Plays() const { return static_cast<int>(P->GetMixer().Started() - plays_before); }
  uint64_t plays_before = 0;
};

// Press (down then up) a key so it counts once.
inline void Tap(sb::InputState& in, int code) {
  in.SetKey(code, true);
  in.SetKey(code, false);
}

}  // namespace sbtest
