#include "play/collisions.h"

namespace sb {

namespace {

struct Box {
  int x, y, w, h;
};

bool Hits(const Box& a, const Box& b) {
  return Overlap(a.x, a.y, a.w, a.h, b.x, b.y, b.w, b.h) != 0;
}

// Real positions: the offset is added in single precision, then truncated.
int At(float pos, float offset = 0.0f) {
  return Trunc(pos + offset);
}

template <class R>
Box BoxOf(const R& r, int w, int h) {
  return {At(r.sx), At(r.sy), w, h};
}

Box PlayerBox(const Game& g) {
  return {g.plyr->sx, g.plyr->sy, 14, 24};
}

Box ElectrodeBox(const kxelectrode& e) {
  // Designs 8 and 9 are double-width.
  return {e.sx, e.sy, e.frame > 7 ? 36 : 18, 18};
}

Box HumanBox(const kxhuman& h) {
  return BoxOf(h, 16, 30);
}

// Spheroids and quarks pulse: the box follows the animation phase a (0..6).
Box PulseShotBox(float sx, float sy, int a) {
  const float off = static_cast<float>(2 * (6 - a));
  return {At(sx, off), At(sy, off), 4 * a + 1, 4 * a + 1};
}
Box PulsePlayerBox(float sx, float sy, int a) {
  const float off = static_cast<float>(6 - a);
  return {At(sx, off), At(sy, off), 2 * a + 1, 2 * a + 1};
}

// Every shot touching the box is spent on it, also when the target is already marked.
template <class Mark>
void Shots(Game& g, const Box& target, Mark mark) {
  for (kxshot* s : g.kxshot_list.Walk()) {
    if (Hits({s->sx + 1, s->sy + 1, 6, 6}, target)) {
      mark(s->frame + 1);
      g.kxshot_list.Remove(s);
      g.numshots -= 1;
    }
  }
}

void Player(Game& g, const Box& b) {
  if (Hits(PlayerBox(g), b)) g.plyr->dead = 1;
}

// The plain kinds: one box against both shots and the player.
template <class R>
void ShotAndPlayer(Game& g, TList<R>& list, int w, int h) {
  for (R* r : list.Walk()) {
    const Box b = BoxOf(*r, w, h);
    Shots(g, b, [r](int code) { r->hit = code; });
    Player(g, b);
  }
}

template <class R>
void Pulsing(Game& g, TList<R>& list) {
  for (R* r : list.Walk()) {
    Shots(g, PulseShotBox(r->sx, r->sy, r->animframe), [r](int code) { r->hit = code; });
    Player(g, PulsePlayerBox(r->sx, r->sy, r->animframe));
  }
}

}  // namespace

void CheckCollisions(Game& g) {
  // Rescue first: a human the player touches is saved even if a brain or hulk reaches it too.
  const Box pb = PlayerBox(g);
  for (kxhuman* h : g.kxhuman_list.Walk()) {
    if (Hits(pb, HumanBox(*h))) h->rescued = 1;
  }

  for (kxgrunt* r : g.kxgrunt_list.Walk()) {
    Shots(g, BoxOf(*r, 18, 18), [r](int code) { r->hit = code; });
    const Box tall = BoxOf(*r, 18, 26);
    for (kxelectrode* e : g.kxelectrode_list.Walk()) {
      if (Hits(ElectrodeBox(*e), tall)) {
        e->hit = 1;
        r->hit = 1;
      }
    }
    Player(g, tall);
  }

  ShotAndPlayer(g, g.kxprog_list, 16, 32);

  for (kxbrain* r : g.kxbrain_list.Walk()) {
    const Box b = BoxOf(*r, 26, 32);
    Shots(g, b, [r](int code) { r->hit = code; });
    Player(g, b);
    const Box reach = BoxOf(*r, 16, 30);
    for (kxhuman* h : g.kxhuman_list.Walk()) {
      const Box hb = {At(h->sx, 2.0f), At(h->sy, 2.0f), 22, 28};
      if (Hits(hb, reach) && h->rescued == 0 && h->hit == 0) {
        h->prog = 1;
        r->prog = 10;  // the brain pauses while converting
      }
    }
  }

  ShotAndPlayer(g, g.kxcruise_list, 6, 6);
  Pulsing(g, g.kxspheroid_list);
  ShotAndPlayer(g, g.kxenforcer_list, 18, 22);
  Pulsing(g, g.kxquark_list);
  ShotAndPlayer(g, g.kxtank_list, 26, 32);
  ShotAndPlayer(g, g.kxball_list, 10, 10);
  ShotAndPlayer(g, g.kxplus_list, 14, 14);

  for (kxelectrode* e : g.kxelectrode_list.Walk()) {
    const Box b = ElectrodeBox(*e);
    Shots(g, b, [e](int code) { e->hit = code; });
    Player(g, b);
  }

  // Hulks come last: a shot already spent on anything else leaves them unfrozen.
  for (kxhulk* r : g.kxhulk_list.Walk()) {
    const Box b = BoxOf(*r, 26, 26);
    for (kxshot* s : g.kxshot_list.Walk()) {
      if (Hits({s->sx + 2, s->sy + 2, 4, 4}, b)) {
        r->hit = 3;  // a three-frame freeze
        g.kxshot_list.Remove(s);
        g.numshots -= 1;
      }
    }
    Player(g, b);
    const Box trample = BoxOf(*r, 26, 32);
    for (kxhuman* h : g.kxhuman_list.Walk()) {
      if (Hits(HumanBox(*h), trample) && h->rescued == 0) h->hit = 1;
    }
    for (kxelectrode* e : g.kxelectrode_list.Walk()) {
      if (Hits(ElectrodeBox(*e), b)) {
        e->hit = 1;
        r->hit = 1;
      }
    }
  }
}

}  // namespace sb
