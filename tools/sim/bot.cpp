#include "bot.h"

#include <cmath>

namespace sim {
namespace {

// Player cell is 14 x 24 display pixels from its top-left.
constexpr double kPlayerCx = 7, kPlayerCy = 12;
// Robot cells are roughly 16 x 20; their centre is close enough for steering.
constexpr double kRobotCx = 8, kRobotCy = 10;
constexpr double kThreatRadius = 150;
constexpr double kMinX = 24, kMaxX = 602, kMinY = 24, kMaxY = 432;

struct Vec {
  double x = 0, y = 0;
};

// Snaps a vector to one of the eight directions (or none for a null vector).
void Quantise(Vec v, int& dx, int& dy) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y);
  dx = dy = 0;
  if (len < 1e-9) return;
  const double t = 0.3827 * len;  // sin 22.5 degrees
  if (v.x > t) dx = 1;
  if (v.x < -t) dx = -1;
  if (v.y > t) dy = 1;
  if (v.y < -t) dy = -1;
}

struct Scan {
  double px, py;
  Vec away;
  double best = 1e18;
  Vec target;
  bool has_target = false;

  // A thing to keep away from, weighted by how dangerous and how close it is.
  void Threat(double sx, double sy, double weight) {
    const double dx = px - (sx + kRobotCx), dy = py - (sy + kRobotCy);
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d > kThreatRadius) return;
    const double dd = std::max(d, 4.0);
    const double w = weight / (dd * dd);
    away.x += dx / dd * w;
    away.y += dy / dd * w;
  }
  // A thing to shoot; `bias` > 1 makes it less attractive.
  void Target(double sx, double sy, double bias) {
    const double dx = (sx + kRobotCx) - px, dy = (sy + kRobotCy) - py;
    const double d = std::sqrt(dx * dx + dy * dy) * bias;
    if (d < best) {
      best = d;
      target = {dx, dy};
      has_target = true;
    }
  }
};

}  // namespace

void Bot::Clear() {
  left_ = right_ = up_ = down_ = false;
  fleft_ = fright_ = fup_ = fdown_ = false;
  yes_ = no_ = false;
  movex = movey = firex = firey = 0;
}

bool Bot::Held(int code) const {
  switch (code) {
    case 74:
      return left_;
    case 76:
      return right_;
    case 73:
      return up_;
    case 75:
      return down_;
    case 83:
      return fleft_;
    case 70:
      return fright_;
    case 69:
      return fup_;
    case 68:
      return fdown_;
    case 89:
      return yes_;
    case 78:
      return no_;
    default:
      return false;
  }
}

void Bot::AnswerWait() {
  const bool was = no_;
  Clear();
  no_ = !was;
}

void Bot::Decide(const sb::Game& g, int64_t frame) {
  Clear();
  switch (g.gamestate) {
    case sb::Screen::kPlay:
      Play(g);
      break;
    case sb::Screen::kNameEntry:
      // Name entry: keep the offered name, confirm with Y (a press needs an up in between).
      yes_ = (frame % 2) == 0;
      break;
    default:
      // Title, attract page, table, options: holding fire starts a game.
      fleft_ = true;
      break;
  }
}

void Bot::Play(const sb::Game& g) {
  if (g.plyr == nullptr) return;
  Scan s;
  s.px = g.plyr->sx + kPlayerCx;
  s.py = g.plyr->sy + kPlayerCy;

  for (const auto* r = g.kxgrunt_list.First(); r; r = g.kxgrunt_list.After(r)) {
    s.Threat(r->sx, r->sy, 1.0);
    s.Target(r->sx, r->sy, 1.0);
  }
  for (const auto* r = g.kxhulk_list.First(); r; r = g.kxhulk_list.After(r)) {
    s.Threat(r->sx, r->sy, 1.5);
    s.Target(r->sx, r->sy, 2.5);  // cannot be destroyed, only pushed back
  }
  for (const auto* r = g.kxbrain_list.First(); r; r = g.kxbrain_list.After(r)) {
    s.Threat(r->sx, r->sy, 1.0);
    s.Target(r->sx, r->sy, 0.8);
  }
  for (const auto* r = g.kxprog_list.First(); r; r = g.kxprog_list.After(r)) {
    s.Threat(r->sx, r->sy, 1.5);
    s.Target(r->sx, r->sy, 0.9);
  }
  for (const auto* r = g.kxcruise_list.First(); r; r = g.kxcruise_list.After(r)) {
    s.Threat(r->sx, r->sy, 2.0);
    s.Target(r->sx, r->sy, 0.9);
  }
  for (const auto* r = g.kxspheroid_list.First(); r; r = g.kxspheroid_list.After(r)) {
    s.Threat(r->sx, r->sy, 0.5);
    s.Target(r->sx, r->sy, 0.7);
  }
  for (const auto* r = g.kxenforcer_list.First(); r; r = g.kxenforcer_list.After(r)) {
    s.Threat(r->sx, r->sy, 1.0);
    s.Target(r->sx, r->sy, 0.8);
  }
  for (const auto* r = g.kxquark_list.First(); r; r = g.kxquark_list.After(r)) {
    s.Threat(r->sx, r->sy, 0.5);
    s.Target(r->sx, r->sy, 0.7);
  }
  for (const auto* r = g.kxtank_list.First(); r; r = g.kxtank_list.After(r)) {
    s.Threat(r->sx, r->sy, 1.0);
    s.Target(r->sx, r->sy, 0.8);
  }
  for (const auto* r = g.kxplus_list.First(); r; r = g.kxplus_list.After(r)) {
    s.Threat(r->sx, r->sy, 2.5);
  }
  for (const auto* r = g.kxball_list.First(); r; r = g.kxball_list.After(r)) {
    s.Threat(r->sx, r->sy, 2.5);
  }
  for (const auto* r = g.kxelectrode_list.First(); r; r = g.kxelectrode_list.After(r)) {
    s.Threat(r->sx, r->sy, 2.0);
    s.Target(r->sx, r->sy, 1.6);
  }

  // Walls push back too, so the bot does not get cornered.
  auto wall = [&](double gap, double& comp, double sign) {
    if (gap < 60) comp += sign / (std::max(gap, 4.0) * std::max(gap, 4.0)) * 0.7;
  };
  wall(s.px - kMinX, s.away.x, 1);
  wall(kMaxX - s.px, s.away.x, -1);
  wall(s.py - kMinY, s.away.y, 1);
  wall(kMaxY - s.py, s.away.y, -1);

  Vec move = s.away;
  const double pressure = std::sqrt(move.x * move.x + move.y * move.y);
  if (pressure < 2e-4) {
    // Nothing close: go for the nearest human, else drift back to the middle.
    double best = 1e18;
    bool found = false;
    for (const auto* h = g.kxhuman_list.First(); h; h = g.kxhuman_list.After(h)) {
      const double dx = h->sx + 7 - s.px, dy = h->sy + 12 - s.py;
      const double d = dx * dx + dy * dy;
      if (d < best) {
        best = d;
        move = {dx, dy};
        found = true;
      }
    }
    if (!found) {
      move = {320 - s.px, 240 - s.py};
      if (std::abs(move.x) < 40 && std::abs(move.y) < 40) move = {};
    }
  }
  Quantise(move, movex, movey);
  if (s.has_target) Quantise(s.target, firex, firey);

  left_ = movex < 0;
  right_ = movex > 0;
  up_ = movey < 0;
  down_ = movey > 0;
  fleft_ = firex < 0;
  fright_ = firex > 0;
  fup_ = firey < 0;
  fdown_ = firey > 0;
}

}  // namespace sim
