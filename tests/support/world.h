// A small hand-made world for the gameplay and robot tests: headless platform,
// tables, one player and one empty wave record at difficulty 3, and helpers to
// place records, choose random outcomes, read probe images and count sounds.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "core/game.h"
#include "core/keys.h"
#include "core/settings.h"
#include "platform/headless_backend.h"
#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/random.h"
#include "play/round.h"
#include "screens/play_screen.h"

namespace sbt {

// Virtual-key codes for scripting input.
inline constexpr int kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkSpace = 32;
inline constexpr int kVkEscape = 27;

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

struct World {
  std::unique_ptr<sb::Platform> P = sb::MakeHeadlessPlatform();
  sb::Game g{*P};

  World() {
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

  void PlacePlayer(int x, int y) {
    g.plyr->sx = x;
    g.plyr->sy = y;
  }
  sb::InputState& In() { return P->Input(); }
  sb::HeadlessBackend& Hb() { return sb::Headless(*P); }
  uint64_t Draws() { return P->Rng().Draws(); }

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
  // The cell whose colour covers pixel (x, y), or -1.
  int CellAt(int x, int y) const {
    const uint32_t px = P->Framebuffer()[y * sb::kScreenW + x];
    if ((px & 0xFF0000u) != 0x400000u) return -1;
    return static_cast<int>(px & 0xFFFFu) - 1;
  }
  uint32_t Pixel(int x, int y) const { return P->Framebuffer()[y * sb::kScreenW + x]; }

  // Every sound loaded (a short sample each), so each request can start a
  // voice that TakeVoices counts.
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
