// The twenty record kinds: field names and order as the game uses them.
// Every field is zero after New; integers are 32-bit signed, reals 32-bit.
#pragma once

#include <cstdint>
#include <type_traits>

#include "entities/lists.h"

namespace sb {

struct kxshot : TKXType {
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t xv = 0;
  int32_t yv = 0;
  int32_t frame = 0;
};

struct kxbit : TKXType {
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t dur = 0;
  int32_t frame = 0;
  int32_t vh = 0;
};

struct kxplyr : TKXType {
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t dead = 0;
  int32_t gameover = 0;
  int32_t score = 0;
  int32_t numfreemen = 0;
  int32_t men = 0;
  int32_t level = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t frame = 0;
  int32_t colcycle = 0;
};

struct kxhuman : TKXType {
  int32_t hit = 0;
  int32_t rescued = 0;
  int32_t prog = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t animstep = 0;
  int32_t frame = 0;
};

struct kxprog : TKXType {
  int32_t hit = 0;
  float psx = 0;
  float psy = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t birth = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t animstep = 0;
  int32_t frame = 0;
};

struct kxdeath : TKXType {
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t dur = 0;
};

struct kxhulk : TKXType {
  int32_t hit = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t animstep = 0;
  int32_t frame = 0;
};

struct kxgrunt : TKXType {
  int32_t hit = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t col = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
};

struct kxbrain : TKXType {
  int32_t hit = 0;
  int32_t prog = 0;
  int32_t cruisedelay = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t col = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t animstep = 0;
  int32_t frame = 0;
};

struct kxcruise : TKXType {
  int32_t hit = 0;
  int32_t dur = 0;
  float psx = 0;
  float psy = 0;
  float sx = 0;
  float sy = 0;
  int32_t xv = 0;
  int32_t yv = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
};

struct kxspheroid : TKXType {
  int32_t hit = 0;
  int32_t enforcerdelay = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t numenforcers = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
};

struct kxenforcer : TKXType {
  int32_t hit = 0;
  int32_t birth = 0;
  int32_t plusdelay = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t frame = 0;
};

struct kxquark : TKXType {
  int32_t hit = 0;
  int32_t tankdelay = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t numtanks = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
};

struct kxtank : TKXType {
  int32_t hit = 0;
  int32_t birth = 0;
  int32_t balldelay = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
};

struct kxplus : TKXType {
  int32_t hit = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t dur = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t frame = 0;
};

struct kxball : TKXType {
  int32_t hit = 0;
  int32_t dur = 0;
  float sx = 0;
  float sy = 0;
  float xv = 0;
  float yv = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
};

struct kxelectrode : TKXType {
  int32_t hit = 0;
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t animcounter = 0;
  int32_t animdir = 0;
  int32_t animframe = 0;
  int32_t frame = 0;
};

struct kxshrinkle : TKXType {
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t dur = 0;
  int32_t animframe = 0;
  int32_t frame = 0;
};

struct kxpoint : TKXType {
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t dur = 0;
  int32_t frame = 0;
  int32_t value = 0;
};

struct kxwave : TKXType {
  int32_t humans = 0;
  int32_t htype = 0;
  int32_t grunts = 0;
  int32_t hulks = 0;
  int32_t brains = 0;
  int32_t spheroids = 0;
  int32_t quarks = 0;
  int32_t electrodes = 0;
  int32_t etype = 0;
  int32_t borderstyle = 0;
  int32_t grunts_remaining = 0;
  int32_t brains_remaining = 0;
  int32_t spheroids_remaining = 0;
  int32_t spheroids_killed = 0;
  int32_t quarks_remaining = 0;
  int32_t humans_remaining = 0;
  int32_t electrodes_remaining = 0;
  int32_t progs_remaining = 0;
  int32_t tanks_remaining = 0;
  int32_t enforcers_remaining = 0;
};

// Calls v(name, field) for every field in declaration order (not _list/_link).
template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxshot>
void VisitFields(R& r, V&& v) {
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxbit>
void VisitFields(R& r, V&& v) {
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("dur", r.dur);
  v("frame", r.frame);
  v("vh", r.vh);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxplyr>
void VisitFields(R& r, V&& v) {
  v("sx", r.sx);
  v("sy", r.sy);
  v("dead", r.dead);
  v("gameover", r.gameover);
  v("score", r.score);
  v("numfreemen", r.numfreemen);
  v("men", r.men);
  v("level", r.level);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("frame", r.frame);
  v("colcycle", r.colcycle);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxhuman>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("rescued", r.rescued);
  v("prog", r.prog);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("animstep", r.animstep);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxprog>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("psx", r.psx);
  v("psy", r.psy);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("birth", r.birth);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("animstep", r.animstep);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxdeath>
void VisitFields(R& r, V&& v) {
  v("sx", r.sx);
  v("sy", r.sy);
  v("dur", r.dur);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxhulk>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("animstep", r.animstep);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxgrunt>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("col", r.col);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxbrain>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("prog", r.prog);
  v("cruisedelay", r.cruisedelay);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("col", r.col);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("animstep", r.animstep);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxcruise>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("dur", r.dur);
  v("psx", r.psx);
  v("psy", r.psy);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxspheroid>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("enforcerdelay", r.enforcerdelay);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("numenforcers", r.numenforcers);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxenforcer>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("birth", r.birth);
  v("plusdelay", r.plusdelay);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxquark>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("tankdelay", r.tankdelay);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("numtanks", r.numtanks);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxtank>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("birth", r.birth);
  v("balldelay", r.balldelay);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxplus>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("dur", r.dur);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxball>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("dur", r.dur);
  v("sx", r.sx);
  v("sy", r.sy);
  v("xv", r.xv);
  v("yv", r.yv);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxelectrode>
void VisitFields(R& r, V&& v) {
  v("hit", r.hit);
  v("sx", r.sx);
  v("sy", r.sy);
  v("animcounter", r.animcounter);
  v("animdir", r.animdir);
  v("animframe", r.animframe);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxshrinkle>
void VisitFields(R& r, V&& v) {
  v("sx", r.sx);
  v("sy", r.sy);
  v("dur", r.dur);
  v("animframe", r.animframe);
  v("frame", r.frame);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxpoint>
void VisitFields(R& r, V&& v) {
  v("sx", r.sx);
  v("sy", r.sy);
  v("dur", r.dur);
  v("frame", r.frame);
  v("value", r.value);
}

template <class R, class V>
requires std::is_same_v<std::remove_const_t<R>, kxwave>
void VisitFields(R& r, V&& v) {
  v("humans", r.humans);
  v("htype", r.htype);
  v("grunts", r.grunts);
  v("hulks", r.hulks);
  v("brains", r.brains);
  v("spheroids", r.spheroids);
  v("quarks", r.quarks);
  v("electrodes", r.electrodes);
  v("etype", r.etype);
  v("borderstyle", r.borderstyle);
  v("grunts_remaining", r.grunts_remaining);
  v("brains_remaining", r.brains_remaining);
  v("spheroids_remaining", r.spheroids_remaining);
  v("spheroids_killed", r.spheroids_killed);
  v("quarks_remaining", r.quarks_remaining);
  v("humans_remaining", r.humans_remaining);
  v("electrodes_remaining", r.electrodes_remaining);
  v("progs_remaining", r.progs_remaining);
  v("tanks_remaining", r.tanks_remaining);
  v("enforcers_remaining", r.enforcers_remaining);
}

}  // namespace sb
