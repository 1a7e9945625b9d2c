// Explosion fragments, and what a robot leaves when a shot destroys it.
#pragma once

#include "core/game.h"

namespace sb {

void CreateBits(Game& g, int x, int y, int row, int code);
void UpdateBits(Game& g);

// A destroyed kind's leavings: fragments of `row` (none when below 0) from its
// position plus (dx, dy), its points, one less on its wave counter (if any),
// and its sound request (none: kSndCount).
struct Wreck {
  float dx, dy;
  int row;
  int32_t points;
  int32_t kxwave::*counter;
  Snd sound;
};

// Acts on a shot's mark in the frame after: fragments, points, the wave
// counter, removal from the list, the sound, in that order.
template <class R>
void Destroy(Game& g, TList<R>& list, R* r, const Wreck& w) {
  if (w.row >= 0) CreateBits(g, Trunc(r->sx + w.dx), Trunc(r->sy + w.dy), w.row, r->hit);
  AddScore(g, w.points);
  if (w.counter != nullptr) g.wave->*w.counter -= 1;
  list.Remove(r);
  if (w.sound != kSndCount) Raise(g, w.sound);
}

}  // namespace sb
