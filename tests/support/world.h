// The world every game test builds on: a headless platform and a fresh Game,
// living in a temporary working folder, with helpers to place records, choose
// random outcomes, script input, watch frames and count sounds.
//
//   World w;           ready for the rules: key, settings and direction tables,
//                      one player at the centre on wave 1, one empty wave
//                      record, difficulty 3
//   World w(kBare);    nothing more: for start-up, screens and files (Start()
//                      writes tiny images and runs the real start-up)
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "core/game.h"
#include "core/keys.h"
#include "core/settings.h"
#include "platform/headless_backend.h"
#include "platform/image_write.h"
#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/random.h"
#include "play/round.h"

namespace sbt {

namespace fs = std::filesystem;

// Virtual-key codes for scripting input.
inline constexpr int kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkSpace = 32;
inline constexpr int kVkEscape = 27;

// Press (down then up) a key so it counts once.
inline void Tap(sb::InputState& in, int code) {
  in.SetKey(code, true);
  in.SetKey(code, false);
}

// A new record of `list` at (x, y).
template <class R, class X, class Y>
R* At(sb::TList<R>& list, X x, Y y) {
  R* r = list.New();
  r->sx = x;
  r->sy = y;
  return r;
}

template <class T>
int Count(sb::TList<T>& l) {
  return static_cast<int>(l.Count());
}

// One constraint on the next random draw.
struct Draw {
  double lo, hi;
  std::function<bool(double)> ok;
};
inline Draw Above(double lo, double hi, double t) {
  return {lo, hi, [t](double v) { return v > t; }};
}
inline Draw AtMost(double lo, double hi, double t) {
  return {lo, hi, [t](double v) { return v <= t; }};
}
inline Draw Any(double lo, double hi) {
  return {lo, hi, [](double) { return true; }};
}

// --- files ---

// A fresh folder that is the working folder while the object lives.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "sbtest-XXXXXX").string();
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

// In the images written by WriteTestAssets, font cell n is one flat colour,
// so a drawn glyph tells which cell it was.
inline uint32_t FontColour(int cell) {
  return (static_cast<uint32_t>(0x20 + cell) << 16) | 0x80C0u;
}
// The font cell whose colour is at (x, y), or -1 (drawn in white only).
inline int FontCellAt(const uint32_t* fb, int x, int y) {
  const uint32_t c = fb[y * 640 + x];
  if ((c & 0xFFFFu) != 0x80C0u) return -1;
  return static_cast<int>((c >> 16) & 0xFF) - 0x20;
}
// Every other written image: cell n one flat non-black colour.
inline uint32_t FileColour(int cell) {
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

// Writes images/ (minus the files named in `skip`), an empty sounds/ and scores/.
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
        px[static_cast<size_t>(y) * w + x] = font ? FontColour(cell) : FileColour(cell);
      }
    if (!sb::WriteBmp(std::string("images/") + f.file, px.data(), w, h)) std::abort();
  }
}

// --- the world ---

enum Fresh { kReady, kBare };

struct World {
  TempDir dir;
  std::unique_ptr<sb::Platform> P;
  sb::HeadlessBackend& hb;
  sb::Game g{*P};
  int64_t seed = 12345;

  explicit World(Fresh fresh = kReady, std::unique_ptr<sb::HeadlessBackend> backend =
                                           std::make_unique<sb::HeadlessBackend>())
      : P(std::make_unique<sb::Platform>(std::move(backend))), hb(sb::Headless(*P)) {
    if (fresh == kBare) return;
    sb::FillKeyTable(g);
    sb::CreateSettingsTables(g);
    sb::ReadDirectionTables(g);
    g.plyr = g.kxplyr_list.New();
    g.plyr->sx = 320;
    g.plyr->sy = 240;
    g.plyr->level = 1;
    g.plyr->numfreemen = 1;  // as at a game start: no free man due at score 0
    g.wave = g.kxwave_list.New();
    sb::ResetBehaviour(g);  // difficulty 3: scale 1
  }

  // Images written, start-up run (display open at scale 2, tables, assets,
  // scores, player); frame counting starts afterwards.
  bool Start(const std::set<std::string>& skip = {}) {
    WriteTestAssets(skip);
    const bool ok = sb::StartUp(g, &seed);
    Mark();
    return ok;
  }

  void PlacePlayer(int x, int y) {
    g.plyr->sx = x;
    g.plyr->sy = y;
  }
  sb::InputState& In() { return P->Input(); }
  uint64_t Draws() { return P->Rng().Draws(); }

  // Frames presented since Mark().
  int base = 0;
  void Mark() { base = hb.Frames(); }
  int Shown() const { return hb.Frames() - base; }
  // Called after each presented frame with its number since Mark() (1 = the
  // first); input set here is read by the next frame.
  void OnFrame(std::function<void(int n, const uint32_t* px)> f) {
    hb.on_present = [this, f](int frame, const uint32_t* px) { f(frame - base, px); };
  }

  // Puts the generator into a state whose next draws satisfy `ok`, so a test
  // can choose the outcome of a random test without depending on a seed.
  void ForceDraws(const std::function<bool(sb::Random&)>& ok) {
    for (int32_t s = 1; s < 50000000; ++s) {
      sb::Random r;
      r.SetState(s);
      if (ok(r)) {
        P->Rng().SetState(s);
        return;
      }
    }
    throw std::runtime_error("no generator state found");
  }
  // The same for a list of constraints met by the next draws in turn.
  void SeedSoThat(const std::vector<Draw>& draws) {
    ForceDraws([&draws](sb::Random& r) {
      for (const Draw& d : draws) {
        if (!d.ok(r.Real(d.lo, d.hi))) return false;
      }
      return true;
    });
  }

  // An image whose every cell is one solid colour naming the cell, so the
  // framebuffer tells which cell was drawn where. Built through the platform:
  // each cell is captured from a filled rectangle.
  int ProbeImage(int cw, int ch, int frames) {
    const int h = P->CreateImage(cw, ch, frames, -1);
    float sx, sy;
    P->GetScale(sx, sy);
    P->SetScale(1, 1);
    for (int f = 0; f < frames; ++f) {
      const uint32_t c = CellColour(f);
      P->SetColor(c >> 16 & 255, c >> 8 & 255, c & 255);
      P->DrawRect(0, 0, static_cast<float>(cw), static_cast<float>(ch));
      P->CaptureImage(h, 0, 0, f);
    }
    P->SetColor(255, 255, 255);
    P->SetScale(sx, sy);
    P->Cls();
    return h;
  }
  static uint32_t CellColour(int cell) { return 0x400000u | static_cast<uint32_t>(cell + 1); }
  // The probe cell whose colour covers pixel (x, y), or -1.
  int CellAt(int x, int y) const {
    const uint32_t px = P->Framebuffer()[y * sb::kScreenW + x];
    if ((px & 0xFF0000u) != 0x400000u) return -1;
    return static_cast<int>(px & 0xFFFFu) - 1;
  }
  uint32_t Pixel(int x, int y) const { return P->Framebuffer()[y * sb::kScreenW + x]; }

  // Every sound replaced by a short sample of its own, so each request can
  // start a voice that TakeVoices counts.
  void CountingSounds() {
    for (int i = 0; i < sb::kSndCount; ++i) {
      g.snd[i] = P->GetMixer().AddSound(std::vector<int16_t>(static_cast<size_t>(i) + 1, 1));
    }
  }
  // Voices started per sound since the last call; retires them all.
  std::array<int, sb::kSndCount> TakeVoices() {
    std::array<int, sb::kSndCount> n{};
    sb::Mixer& m = P->GetMixer();
    for (size_t i = 0; i < n.size(); ++i) {
      const uint64_t now = m.Started(g.snd[i]);
      n[i] = static_cast<int>(now - taken[i]);
      taken[i] = now;
    }
    m.Advance(sb::kSndCount);  // longer than the longest counting sound
    return n;
  }
  std::array<uint64_t, sb::kSndCount> taken{};
};

// The same world as a gtest fixture.
struct WorldTest : ::testing::Test, World {};

}  // namespace sbt
