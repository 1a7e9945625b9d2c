// A small hand-made world for the robot and transition tests: a headless
// platform, the player, one wave record, the tables and the difficulty-3
// behaviour settings.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "platform/headless_backend.h"
#include "platform/mixer.h"
#include "platform/random.h"
#include "shell/game.h"
#include "shell/settings.h"

namespace sbtest {

// Behaviour settings at difficulty 3 (scale 1), as at the start of a wave.
inline void Difficulty3(sb::Game& g) {
  sb::Behaviour& b = g.beh;
  b.gruntspeed = 0.25f;
  b.hulkspeed = 0.3f;
  b.brainspeed = 0.25f;
  b.cruisespeed = 1.4f;
  b.progspeed = 1.7f;
  b.humanspeed = 0.35f;
  b.spheroidspeed = 1.1f;
  b.enforcerspeed = 1.2f;
  b.plusspeed = 4.4f;
  b.quarkspeed = 1.55f;
  b.tankspeed = 1.1f;
  b.ballspeed = 3.45f;
  b.cruisefirst = 115;
  b.enforcerfirst = 100;
  b.plusfirst = 25;
  b.tankfirst = 110;
  b.ballfirst = 80;
  b.cruisegap = 150;
  b.enforcergap = 55;
  b.plusgap = 40;
  b.tankgap = 50;
  b.ballgap = 50;
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

// A fresh game and platform, usable in a loop.
struct Sandbox {
  std::unique_ptr<sb::Platform> P = sb::MakeHeadlessPlatform();
  sb::Game g{*P};

  Sandbox() {
    g.plyr = g.kxplyr_list.New();
    g.wave = g.kxwave_list.New();
    g.plyr->sx = 320;
    g.plyr->sy = 240;
    g.plyr->level = 1;
    g.plyr->numfreemen = 1;  // no free man due at score 0
    sb::CreateSettingsTables(g);
    sb::ReadDirectionTables(g);
    Difficulty3(g);
  }

  sb::HeadlessBackend& Backend() { return sb::Headless(*P); }

  // Seeds the generator so that the next draws meet the constraints in turn.
  void SeedSoThat(const std::vector<Draw>& draws) {
    for (int32_t seed = 1; seed < 20000000; ++seed) {
      sb::Random r;
      r.Seed(seed);
      bool good = true;
      for (const Draw& d : draws) {
        if (!d.ok(r.Real(d.lo, d.hi))) {
          good = false;
          break;
        }
      }
      if (good) {
        P->SeedRandom(seed);
        return;
      }
    }
    ADD_FAILURE() << "no seed meets the draw constraints";
  }

  uint64_t Draws() { return P->Rng().Draws(); }

  // Sound i gets a sample i + 1 long, so the voices started can be told apart
  // by when they finish.
  void CountingSounds() {
    for (int i = 0; i < sb::kSndCount; ++i) {
      g.snd[i] = P->GetMixer().AddSound(std::vector<int16_t>(static_cast<size_t>(i) + 1, 1));
    }
  }
  // Voices started per sound since the last call; retires them all.
  std::array<int, sb::kSndCount> TakeVoices() {
    std::array<int, sb::kSndCount> n{};
    sb::Mixer& m = P->GetMixer();
    int before = m.ActiveVoices();
    int16_t sample;
    for (int i = 0; i < sb::kSndCount; ++i) {
      m.Mix(&sample, 1);
      int now = m.ActiveVoices();
      n[static_cast<size_t>(i)] = before - now;
      before = now;
    }
    return n;
  }
};

struct World : ::testing::Test, Sandbox {};

template <class T>
int Count(sb::TList<T>& l) {
  return static_cast<int>(l.Count());
}

}  // namespace sbtest
