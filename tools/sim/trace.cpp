#include "trace.h"

#include <charconv>
#include <cmath>
#include <type_traits>

namespace sim {

int WaveRow(const sb::Game& g) {
  int row = 1;
  for (const sb::kxwave* w = g.kxwave_list.First(); w != nullptr; w = g.kxwave_list.After(w)) {
    if (w == g.wave) return row;
    ++row;
  }
  return 0;
}

void AppendInt(std::string& out, int64_t x) {
  char tmp[24];
  auto r = std::to_chars(tmp, tmp + sizeof tmp, x);
  out.append(tmp, r.ptr);
}

void AppendReal(std::string& out, float x) {
  if (std::isnan(x)) {
    out += "NaN";
    return;
  }
  if (std::isinf(x)) {
    out += x > 0 ? "Infinity" : "-Infinity";
    return;
  }
  char tmp[32];
  // Same text as printf("%.9g"): enough digits to round-trip a float.
  auto r =
      std::to_chars(tmp, tmp + sizeof tmp, static_cast<double>(x), std::chars_format::general, 9);
  out.append(tmp, r.ptr);
}

namespace {

struct FieldWriter {
  std::string& out;
  bool first = true;
  template <class T>
  void operator()(const char* name, const T& v) {
    if (!first) out += ',';
    first = false;
    out += '"';
    out += name;
    out += "\":";
    if constexpr (std::is_floating_point_v<T>) {
      AppendReal(out, v);
    } else if constexpr (std::is_enum_v<T>) {
      AppendInt(out, static_cast<int32_t>(v));
    } else {
      AppendInt(out, v);
    }
  }
};

template <class R>
void AppendRecord(std::string& out, const R& r) {
  out += '{';
  FieldWriter w{out};
  VisitFields(r, w);
  out += '}';
}

}  // namespace

void FormatTraceLine(sb::Game& g, int64_t frame, bool all_waves, std::string& out) {
  out += "{\"frame\":";
  AppendInt(out, frame);
  out += ",\"gamestate\":";
  AppendInt(out, static_cast<int32_t>(g.gamestate));
  out += ",\"draws\":";
  AppendInt(out, static_cast<int64_t>(g.P.Rng().Draws()));
  out += ",\"wave\":";
  AppendInt(out, WaveRow(g));

  out += ",\"globals\":{";
  FieldWriter gw{out};
  sb::VisitGlobals(g, gw);
  std::string req;
  for (int i = 0; i < sb::kSndCount; ++i) {
    req.assign("req");
    req += sb::kSoundNames[i];
    gw(req.c_str(), g.req[i]);
  }
  out += '}';

  out += ",\"lists\":{";
  bool firstlist = true;
  sb::VisitLists(g, [&](const char* name, auto& list) {
    if (!firstlist) out += ',';
    firstlist = false;
    out += '"';
    out += name;
    out += "\":[";
    using Rec = std::remove_pointer_t<decltype(list.First())>;
    if constexpr (std::is_same_v<Rec, sb::kxwave>) {
      if (!all_waves) {
        if (g.wave != nullptr) AppendRecord(out, *g.wave);
        out += ']';
        return;
      }
    }
    bool firstrec = true;
    // First/After touch no walk bookkeeping, so tracing cannot disturb a walk in progress.
    for (const Rec* r = list.First(); r != nullptr; r = list.After(r)) {
      if (!firstrec) out += ',';
      firstrec = false;
      AppendRecord(out, *r);
    }
    out += ']';
  });
  out += "}}\n";
}

TraceWriter::~TraceWriter() {
  Close();
}

bool TraceWriter::Open(const std::string& path, std::string& err) {
  f_ = std::fopen(path.c_str(), "wb");
  if (f_ == nullptr) {
    err = "cannot write trace file '" + path + "'";
    return false;
  }
  buf_.reserve(1 << 16);
  return true;
}

bool TraceWriter::Write(sb::Game& g, int64_t frame) {
  if (f_ == nullptr) return false;
  buf_.clear();
  FormatTraceLine(g, frame, first_, buf_);
  first_ = false;
  if (std::fwrite(buf_.data(), 1, buf_.size(), f_) != buf_.size()) ok_ = false;
  return ok_;
}

bool TraceWriter::Close() {
  if (f_ == nullptr) return ok_;
  if (std::fclose(f_) != 0) ok_ = false;
  f_ = nullptr;
  return ok_;
}

}  // namespace sim
