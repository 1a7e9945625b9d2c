#include "heavy.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "app/main_loop.h"
#include "core/keys.h"
#include "draw/playfield.h"
#include "platform/headless_backend.h"
#include "platform/image_store.h"
#include "platform/input.h"
#include "platform/renderer.h"
#include "play/collisions.h"
#include "play/player.h"
#include "play/round.h"
#include "play/sound.h"
#include "robots/bits.h"
#include "robots/grunts.h"
#include "robots/humans.h"
#include "robots/update.h"
#include "screens/play_screen.h"
#include "screens/transitions.h"

namespace bench {

namespace {

constexpr int64_t kSeed = 100;
// Frames standing still (intro included), then frames of the bot firing.
constexpr int64_t kIdleFrames = 400;
constexpr int64_t kBotFrames = 30;
constexpr int kGrunts = 85;

void SyncKeys(Heavy& h) {
  const bool on = h.frame >= h.bot_from;
  if (on) h.bot.Decide(*h.g, h.frame);
  sb::InputState& in = h.P->Input();
  for (int code : sim::Bot::kKeys) {
    const bool want = on && h.bot.Held(code);
    if ((in.KeyDown(code) != 0) != want) in.SetKey(code, want);
  }
}

// The rest of the frame after its Flip.
void FinishFrame(sb::Game& g) {
  sb::PlaySoundRequests(g);
  sb::ClearSoundRequests(g);
  g.P.Cls();
  g.P.Delay(35);
}

template <class T>
void CopyFields(const T& from, T& to) {
  std::vector<const void*> src;
  sb::VisitFields(from, [&](const char*, const auto& f) { src.push_back(&f); });
  size_t i = 0;
  sb::VisitFields(to, [&](const char*, auto& f) { std::memcpy(&f, src[i++], sizeof f); });
}

// More grunts, copies of those there are, scattered at sub-pixel places.
void AddGrunts(sb::Game& g, int want) {
  std::vector<sb::kxgrunt*> have;
  for (sb::kxgrunt* r : g.kxgrunt_list.Walk()) have.push_back(r);
  if (have.empty()) return;
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> x(30, 600), y(30, 430);
  for (int i = static_cast<int>(have.size()); i < want; ++i) {
    sb::kxgrunt* r = g.kxgrunt_list.New();
    CopyFields(*have[static_cast<size_t>(i) % have.size()], *r);
    r->sx = x(rng);
    r->sy = y(rng);
    g.wave->grunts_remaining += 1;
  }
}

}  // namespace

std::unique_ptr<Heavy> BuildHeavy() {
  auto h = std::make_unique<Heavy>();
  h->P = sb::MakeHeadlessPlatform();
  h->g = std::make_unique<sb::Game>(*h->P);
  sb::Game& g = *h->g;
  const int64_t seed = kSeed;
  if (!sb::StartUp(g, &seed)) {
    std::fprintf(stderr, "bench: start-up failed (run in the game folder)\n");
    std::exit(2);
  }
  g.difficulty = 5;
  g.invincible = 1;
  g.startwave = 100;
  g.controls = 4;  // the bot's keys
  g.sound = 1;
  g.gamestate = sb::Screen::kPlay;
  h->stop_at = kIdleFrames + kBotFrames;
  h->bot_from = kIdleFrames;
  Heavy* hp = h.get();
  sb::Headless(*h->P).on_present = [hp](int, const uint32_t*) {
    ++hp->frame;
    if (hp->frame == hp->stop_at) throw sb::StopRun{0};
    SyncKeys(*hp);
  };
  // Drawing is off on the way (quicker; it changes nothing else), so the
  // wave label the intro captured is made again afterwards.
  h->P->SetDrawingEnabled(false);
  try {
    sb::PlayGame(g);
  } catch (const sb::StopRun&) {
  }
  h->P->SetDrawingEnabled(true);
  sb::MakeWaveLabel(g);
  FinishFrame(g);
  AddGrunts(g, kGrunts);
  return h;
}

bool PlayFrame(Heavy& h) {
  sb::Game& g = *h.g;
  sb::kxplyr& p = *g.plyr;
  if (sb::WaveCleared(g)) return false;
  if (p.dead == 1) p.dead = 0;  // invincible: a hit costs nothing
  g.P.SetColor(255, 255, 255);
  sb::ReadControls(g);
  sb::MovePlayer(g);
  sb::UpdateHumans(g);
  sb::UpdateRobots(g);
  sb::CheckCollisions(g);
  sb::MoveShots(g);
  sb::UpdateBits(g);
  sb::UpdateShrinkles(g);
  sb::RampBehaviour(g);
  sb::DrawPlayer(g);
  sb::DrawShots(g);
  sb::DrawHumans(g);
  sb::DrawRobots(g);
  sb::DrawEffectsAndHud(g);
  g.P.Flip(0);
  sb::LegacyKeyHit(g, 1);
  g.P.CloseRequested();
  FinishFrame(g);
  return true;
}

std::vector<sb::DrawCall> RecordFrame(Heavy& h) {
  sb::Game& g = *h.g;
  std::vector<sb::DrawCall> log;
  g.P.SetDrawLog(&log);
  g.P.Cls();
  g.P.SetColor(255, 255, 255);
  sb::DrawPlayer(g);
  sb::DrawShots(g);
  sb::DrawHumans(g);
  sb::DrawRobots(g);
  sb::DrawEffectsAndHud(g);
  g.P.SetDrawLog(nullptr);
  return log;
}

std::string Describe(const sb::Game& g) {
  std::string s;
  auto add = [&](const char* name, size_t n) {
    if (n == 0) return;
    if (!s.empty()) s += ", ";
    s += name + std::string(" ") + std::to_string(n);
  };
  add("grunts", g.kxgrunt_list.Count());
  add("brains", g.kxbrain_list.Count());
  add("hulks", g.kxhulk_list.Count());
  add("electrodes", g.kxelectrode_list.Count());
  add("humans", g.kxhuman_list.Count());
  add("progs", g.kxprog_list.Count());
  add("cruise missiles", g.kxcruise_list.Count());
  add("spheroids", g.kxspheroid_list.Count());
  add("enforcers", g.kxenforcer_list.Count());
  add("sparks", g.kxplus_list.Count());
  add("quarks", g.kxquark_list.Count());
  add("tanks", g.kxtank_list.Count());
  add("shells", g.kxball_list.Count());
  add("shots", g.kxshot_list.Count());
  add("fragments", g.kxbit_list.Count());
  add("score values", g.kxpoint_list.Count());
  add("skulls", g.kxdeath_list.Count());
  return s;
}

void Replay(sb::Platform& P, const std::vector<sb::DrawCall>& calls, bool general) {
  sb::Renderer& r = P.GetRenderer();
  sb::ImageStore& images = P.Images();
  for (const sb::DrawCall& c : calls) {
    const auto f = [&](int i) { return static_cast<float>(c.v[i]); };
    switch (c.kind) {
      case sb::DrawCall::kCls:
        r.Cls();
        break;
      case sb::DrawCall::kColor:
        r.SetColor(c.n[0], c.n[1], c.n[2]);
        break;
      case sb::DrawCall::kAlpha:
        r.SetAlpha(c.v[0]);
        break;
      case sb::DrawCall::kScale:
        r.SetScale(f(0), f(1));
        break;
      case sb::DrawCall::kViewport:
        r.SetViewport(c.n[0], c.n[1], c.n[2], c.n[3]);
        break;
      case sb::DrawCall::kImage:
        if (sb::Image* img = images.Get(c.n[0])) {
          if (general)
            r.DrawImageGeneral(*img, f(0), f(1), c.n[1]);
          else
            r.DrawImage(*img, f(0), f(1), c.n[1]);
        }
        break;
      case sb::DrawCall::kLine:
        r.DrawLine(f(0), f(1), f(2), f(3));
        break;
      case sb::DrawCall::kRect:
        r.DrawRect(f(0), f(1), f(2), f(3));
        break;
    }
  }
}

}  // namespace bench
