#include "core/digest.h"

#include <cstring>
#include <type_traits>

namespace sb {

void Fnv64::F32(float v) {
  uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  U32(bits);
}

namespace {

struct FieldHasher {
  Fnv64& h;
  template <class T>
  void operator()(const char* name, const T& v) {
    h.Str(name);
    if constexpr (std::is_floating_point_v<T>) {
      h.F32(v);
    } else if constexpr (std::is_enum_v<T>) {
      h.I32(static_cast<int32_t>(v));
    } else {
      h.I32(v);
    }
  }
};

// Position of r in its list from 0, -1 when absent.
template <class L, class R>
int32_t IndexOf(const L& list, const R* r) {
  int32_t i = 0;
  for (const R* x = list.First(); x != nullptr; x = list.After(x), ++i) {
    if (x == r) return i;
  }
  return -1;
}

uint64_t Digest(Game& g, bool table) {
  Fnv64 h;
  FieldHasher fh{h};
  VisitLists(g, [&](const char* name, auto& list) {
    h.Str(name);
    h.U64(list.Count());
    for (auto* r = list.First(); r != nullptr; r = list.After(r)) VisitFields(*r, fh);
  });
  h.I32(IndexOf(g.kxplyr_list, g.plyr));
  h.I32(IndexOf(g.kxwave_list, g.wave));

  VisitGlobals(g, fh);
  for (int i = 0; i < kSndCount; ++i) h.I32(g.req[i]);
  h.I32(g.startwave);
  for (int32_t k : g.keytable) h.I32(k);
  for (float v : g.dirx) h.F32(v);
  for (float v : g.diry) h.F32(v);
  for (float v : g.bitspeeds) h.F32(v);
  for (float v : g.diffscale) h.F32(v);
  for (const auto& s : g.onoff) h.Str(s);

  for (int i = 0; table && i < 11; ++i) {
    h.I32(g.hiscores[i]);
    h.I32(g.hiwaves[i]);
    h.Str(g.hinames[i]);
  }
  for (int32_t c : g.namechars) {
    if (table) h.I32(c);
  }

  h.I32(g.P.Rng().State());
  h.U64(g.P.Rng().Draws());
  return h.Value();
}

}  // namespace

uint64_t StateDigest(Game& g) {
  return Digest(g, true);
}
uint64_t PlayDigest(Game& g) {
  return Digest(g, false);
}

}  // namespace sb
