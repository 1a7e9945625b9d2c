// The twenty record kinds: field names and order as the game uses them.
// Every field is zero after New; integers are 32-bit signed, reals 32-bit.
// Each kind's fields are listed once, in SB_<KIND>_FIELDS; that list makes
// the struct and VisitFields (digest, trace), so no field can be left out.
#pragma once

#include <cstdint>
#include <type_traits>

#include "core/lists.h"

namespace sb {

// clang-format off
#define SB_KXSHOT_FIELDS(I, R) I(sx) I(sy) I(xv) I(yv) I(frame)
#define SB_KXBIT_FIELDS(I, R) R(sx) R(sy) R(xv) R(yv) I(dur) I(frame) I(vh)
#define SB_KXPLYR_FIELDS(I, R) \
  I(sx) I(sy) I(dead) I(gameover) I(score) I(numfreemen) I(men) I(level) \
  I(animcounter) I(animdir) I(animframe) I(frame) I(colcycle)
#define SB_KXHUMAN_FIELDS(I, R) \
  I(hit) I(rescued) I(prog) R(sx) R(sy) R(xv) R(yv) I(animcounter) I(animdir) \
  I(animframe) I(animstep) I(frame)
#define SB_KXPROG_FIELDS(I, R) \
  I(hit) R(psx) R(psy) R(sx) R(sy) R(xv) R(yv) I(birth) I(animcounter) I(animdir) \
  I(animframe) I(animstep) I(frame)
#define SB_KXDEATH_FIELDS(I, R) I(sx) I(sy) I(dur)
#define SB_KXHULK_FIELDS(I, R) \
  I(hit) R(sx) R(sy) R(xv) R(yv) I(animcounter) I(animdir) I(animframe) I(animstep) \
  I(frame)
#define SB_KXGRUNT_FIELDS(I, R) \
  I(hit) R(sx) R(sy) R(xv) R(yv) I(col) I(animcounter) I(animdir) I(animframe)
#define SB_KXBRAIN_FIELDS(I, R) \
  I(hit) I(prog) I(cruisedelay) R(sx) R(sy) R(xv) R(yv) I(col) I(animcounter) \
  I(animdir) I(animframe) I(animstep) I(frame)
#define SB_KXCRUISE_FIELDS(I, R) \
  I(hit) I(dur) R(psx) R(psy) R(sx) R(sy) I(xv) I(yv) I(animcounter) I(animdir) \
  I(animframe)
#define SB_KXSPHEROID_FIELDS(I, R) \
  I(hit) I(enforcerdelay) R(sx) R(sy) R(xv) R(yv) I(numenforcers) I(animcounter) \
  I(animdir) I(animframe)
#define SB_KXENFORCER_FIELDS(I, R) \
  I(hit) I(birth) I(plusdelay) R(sx) R(sy) R(xv) R(yv) I(animcounter) I(animdir) \
  I(animframe) I(frame)
#define SB_KXQUARK_FIELDS(I, R) \
  I(hit) I(tankdelay) R(sx) R(sy) R(xv) R(yv) I(numtanks) I(animcounter) I(animdir) \
  I(animframe)
#define SB_KXTANK_FIELDS(I, R) \
  I(hit) I(birth) I(balldelay) R(sx) R(sy) R(xv) R(yv) I(animcounter) I(animdir) \
  I(animframe)
#define SB_KXPLUS_FIELDS(I, R) \
  I(hit) R(sx) R(sy) R(xv) R(yv) I(dur) I(animcounter) I(animdir) I(animframe) \
  I(frame)
#define SB_KXBALL_FIELDS(I, R) \
  I(hit) I(dur) R(sx) R(sy) R(xv) R(yv) I(animcounter) I(animdir) I(animframe)
#define SB_KXELECTRODE_FIELDS(I, R) \
  I(hit) I(sx) I(sy) I(animcounter) I(animdir) I(animframe) I(frame)
#define SB_KXSHRINKLE_FIELDS(I, R) I(sx) I(sy) I(dur) I(animframe) I(frame)
#define SB_KXPOINT_FIELDS(I, R) I(sx) I(sy) I(dur) I(frame) I(value)
#define SB_KXWAVE_FIELDS(I, R) \
  I(humans) I(htype) I(grunts) I(hulks) I(brains) I(spheroids) I(quarks) \
  I(electrodes) I(etype) I(borderstyle) I(grunts_remaining) I(brains_remaining) \
  I(spheroids_remaining) I(spheroids_killed) I(quarks_remaining) I(humans_remaining) \
  I(electrodes_remaining) I(progs_remaining) I(tanks_remaining) \
  I(enforcers_remaining)
// clang-format on

#define SB_DECLARE_INT(name) int32_t name = 0;
#define SB_DECLARE_REAL(name) float name = 0;
#define SB_VISIT_FIELD(name) v(#name, r.name);

// Calls v(name, field) for every field in declaration order (not _list/_link).
#define SB_RECORD(kind, FIELDS)                         \
  struct kind : TKXType {                               \
    FIELDS(SB_DECLARE_INT, SB_DECLARE_REAL)             \
  };                                                    \
  template <class R, class V>                           \
  requires std::is_same_v<std::remove_const_t<R>, kind> \
  void VisitFields(R& r, V&& v) {                       \
    FIELDS(SB_VISIT_FIELD, SB_VISIT_FIELD)              \
  }

SB_RECORD(kxshot, SB_KXSHOT_FIELDS)
SB_RECORD(kxbit, SB_KXBIT_FIELDS)
SB_RECORD(kxplyr, SB_KXPLYR_FIELDS)
SB_RECORD(kxhuman, SB_KXHUMAN_FIELDS)
SB_RECORD(kxprog, SB_KXPROG_FIELDS)
SB_RECORD(kxdeath, SB_KXDEATH_FIELDS)
SB_RECORD(kxhulk, SB_KXHULK_FIELDS)
SB_RECORD(kxgrunt, SB_KXGRUNT_FIELDS)
SB_RECORD(kxbrain, SB_KXBRAIN_FIELDS)
SB_RECORD(kxcruise, SB_KXCRUISE_FIELDS)
SB_RECORD(kxspheroid, SB_KXSPHEROID_FIELDS)
SB_RECORD(kxenforcer, SB_KXENFORCER_FIELDS)
SB_RECORD(kxquark, SB_KXQUARK_FIELDS)
SB_RECORD(kxtank, SB_KXTANK_FIELDS)
SB_RECORD(kxplus, SB_KXPLUS_FIELDS)
SB_RECORD(kxball, SB_KXBALL_FIELDS)
SB_RECORD(kxelectrode, SB_KXELECTRODE_FIELDS)
SB_RECORD(kxshrinkle, SB_KXSHRINKLE_FIELDS)
SB_RECORD(kxpoint, SB_KXPOINT_FIELDS)
SB_RECORD(kxwave, SB_KXWAVE_FIELDS)

#undef SB_RECORD
#undef SB_VISIT_FIELD
#undef SB_DECLARE_REAL
#undef SB_DECLARE_INT

}  // namespace sb
