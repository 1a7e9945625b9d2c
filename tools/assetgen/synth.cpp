#include "synth.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "catalogue.h"

namespace assetgen {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;
// Voices are rendered at this many times the output rate and decimated, so
// what the oscillators, distortion and crushing put above the output's
// Nyquist frequency is filtered away instead of folding back.
constexpr int kOver = 16;
// Ratios of the six detuned squares of metallic noise (inharmonic on purpose).
constexpr double kMetalRatios[] = {1.0, 1.4471, 1.6170, 1.9265, 2.5028, 2.6637};

enum class Wave { kSine, kSquare, kTriangle, kSaw, kNoise, kPink, kMetal };
enum class Mode { kLow, kHigh, kBand, kNotch };

// A value over the voice: a constant, a glide over the voice's length, or
// breakpoints at times in seconds (held after the last one).
struct Path {
  std::vector<double> times, values;
  bool glide = false, exp = true;
  bool set = false;

  static Path Const(double v) {
    Path p;
    p.values = {v};
    p.times = {0};
    p.set = true;
    return p;
  }
  double At(double t, double u) const {
    if (values.size() == 1) return values[0];
    if (glide) return Mix(values[0], values[1], u);
    if (t <= times.front()) return values.front();
    for (size_t i = 1; i < times.size(); ++i)
      if (t < times[i])
        return Mix(values[i - 1], values[i], (t - times[i - 1]) / (times[i] - times[i - 1]));
    return values.back();
  }
  double End() const { return glide ? 0 : times.back(); }

 private:
  double Mix(double a, double b, double u) const {
    if (exp && a > 0 && b > 0) return a * std::pow(b / a, u);
    return a + (b - a) * u;
  }
};

struct Filter {
  Mode mode = Mode::kLow;
  int stages = 1;
  double q = 0.707;
  Path cutoff;
};

struct Voice {
  int line = 0;
  Wave wave = Wave::kSine;
  Path duty = Path::Const(0.5);
  double start = 0, length = -1;
  Path pitch = Path::Const(440);
  double arp_step = 0;
  std::vector<double> arp;
  double vib_rate = 0, vib_depth = 0;
  double trem_rate = 0, trem_depth = 0;
  bool has_env = false;
  double attack = 0.002, hold = 0, decay = -1, curve = 2;
  Path amp;
  double every = 0;
  double gain = 1;
  Path lp, hp;
  std::vector<Filter> filters;
  double fm_ratio = 0;
  Path fm_index;
  Path ring;
  double drive = 0;
  int crush_bits = 0;
  double crush_hz = 0;
  uint32_t seed = 1;
};

struct Recipe {
  int rate = 22050;
  double length = -1;
  double loudness = 0;
  int loudness_line = 0;
  double fade_in = 0.002, fade_out = 0.01;
  double echo_delay = 0, echo_feedback = 0;
  std::vector<Voice> voices;
};

// Our own noise source (xorshift32), so every build makes the same sound.
class Noise {
 public:
  explicit Noise(uint32_t seed) : s_(seed ? seed : 0x9e3779b9u) {}
  double Next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return static_cast<double>(s_) / 2147483648.0 - 1.0;
  }

 private:
  uint32_t s_;
};

class SfxParser {
 public:
  explicit SfxParser(const Source& src) : src_(src) {}

  Recipe Run() {
    const auto& lines = src_.Lines();
    int last = lines.empty() ? 0 : lines.back().number;
    for (size_t i = 0; i < lines.size(); ++i) {
      auto t = Tokens(lines[i].text);
      if (t.empty()) continue;
      int ln = lines[i].number;
      const std::string& k = t[0];
      setting_ = k;
      if (k == "rate") {
        Count(t, 1, ln);
        r_.rate = ToInt(src_, ln, t[1]);
        if (r_.rate != 22050 && r_.rate != 44100) src_.Fail(ln, "rate must be 22050 or 44100");
      } else if (k == "length") {
        Count(t, 1, ln);
        r_.length = Real(ln, t[1], kMinSeconds, kMaxSeconds);
      } else if (k == "loudness") {
        Count(t, 1, ln);
        r_.loudness = Real(ln, t[1], -40, -3);
        r_.loudness_line = ln;
      } else if (k == "fade") {
        Count(t, 2, ln);
        r_.fade_in = Real(ln, t[1], 0.0005, 0.5);
        r_.fade_out = Real(ln, t[2], 0.0005, 0.5);
      } else if (k == "echo") {
        Count(t, 2, ln);
        r_.echo_delay = Real(ln, t[1], 0.005, 0.5);
        r_.echo_feedback = Real(ln, t[2], 0, 0.8);
      } else if (k == "voice") {
        Count(t, 0, ln);
        i = ParseVoice(i);
      } else {
        src_.Fail(ln, "unknown directive '" + k + "'");
      }
    }
    if (r_.voices.empty()) src_.Fail(last, "no voice defined");
    if (r_.loudness_line == 0)
      src_.Fail(last, "missing 'loudness DB' (A-weighted level of the loudest 50 ms)");
    return r_;
  }

 private:
  void Count(const std::vector<std::string>& t, size_t n, int ln) {
    if (t.size() != n + 1) src_.Fail(ln, "'" + t[0] + "' takes " + std::to_string(n) + " value(s)");
  }
  // A number in [lo, hi]; the message names the setting being read.
  double Real(int ln, const std::string& tok, double lo, double hi) {
    double v = ToReal(src_, ln, tok);
    if (v < lo || v > hi) {
      char range[96];
      std::snprintf(range, sizeof range, "%g .. %g", lo, hi);
      src_.Fail(ln, "'" + setting_ + "' value " + tok + " is outside " + range);
    }
    return v;
  }

  // Tokens t[from..] as a path: "A", "A B [lin|exp]" or "A @T B @T C ...".
  Path ReadPath(const std::vector<std::string>& t, size_t from, int ln, double lo, double hi,
                bool exp) {
    const std::string usage = "usage: " + setting_ + " A | A B [lin|exp] | A @T1 B @T2 C ...";
    if (t.size() <= from) src_.Fail(ln, usage);
    Path p;
    p.set = true;
    p.exp = exp;
    p.values.push_back(Real(ln, t[from], lo, hi));
    p.times.push_back(0);
    bool breakpoints = t.size() > from + 1 && t[from + 1][0] == '@';
    if (!breakpoints) {
      if (t.size() > from + 3) src_.Fail(ln, usage);
      if (t.size() > from + 1) {
        p.glide = true;
        p.values.push_back(Real(ln, t[from + 1], lo, hi));
      }
      if (t.size() == from + 3) {
        if (t[from + 2] != "lin" && t[from + 2] != "exp") src_.Fail(ln, "sweep is 'lin' or 'exp'");
        p.exp = t[from + 2] == "exp";
      }
      return p;
    }
    for (size_t i = from + 1; i < t.size(); i += 2) {
      if (t[i][0] != '@' || i + 1 >= t.size()) src_.Fail(ln, usage);
      double at = Real(ln, t[i].substr(1), 0, kMaxSeconds);
      if (at <= p.times.back()) src_.Fail(ln, "breakpoint times must rise");
      p.times.push_back(at);
      p.values.push_back(Real(ln, t[i + 1], lo, hi));
    }
    return p;
  }

  void ParseFilter(const std::vector<std::string>& t, int ln, Voice& v) {
    if (t.size() < 4) src_.Fail(ln, "usage: filter lowpass|highpass|bandpass|notch[24] Q PATH");
    static const struct {
      const char* name;
      Mode mode;
    } kModes[] = {{"lowpass", Mode::kLow},
                  {"highpass", Mode::kHigh},
                  {"bandpass", Mode::kBand},
                  {"notch", Mode::kNotch}};
    Filter f;
    bool found = false;
    for (const auto& m : kModes) {
      std::string name = m.name;
      if (t[1] == name || t[1] == name + "24") {
        f.mode = m.mode;
        f.stages = t[1] == name ? 1 : 2;
        found = true;
      }
    }
    if (!found)
      src_.Fail(ln,
                "unknown filter '" + t[1] + "' (lowpass, highpass, bandpass, notch; 24 = steeper)");
    f.q = Real(ln, t[2], 0.3, 30);
    f.cutoff = ReadPath(t, 3, ln, 20, 20000, true);
    v.filters.push_back(f);
  }

  size_t ParseVoice(size_t i) {
    const auto& lines = src_.Lines();
    Voice v;
    v.line = lines[i].number;
    v.seed = 0x1234567u + static_cast<uint32_t>(r_.voices.size()) * 7919u;
    for (size_t j = i + 1; j < lines.size(); ++j) {
      auto t = Tokens(lines[j].text);
      if (t.empty()) continue;
      int ln = lines[j].number;
      const std::string& k = t[0];
      setting_ = k;
      if (k == "end") {
        r_.voices.push_back(v);
        return j;
      } else if (k == "wave") {
        Count(t, 1, ln);
        static const struct {
          const char* name;
          Wave wave;
        } kWaves[] = {{"sine", Wave::kSine},         {"square", Wave::kSquare},
                      {"triangle", Wave::kTriangle}, {"saw", Wave::kSaw},
                      {"noise", Wave::kNoise},       {"pink", Wave::kPink},
                      {"metal", Wave::kMetal}};
        bool found = false;
        for (const auto& w : kWaves)
          if (t[1] == w.name) v.wave = w.wave, found = true;
        if (!found)
          src_.Fail(
              ln, "unknown wave '" + t[1] + "' (sine, square, triangle, saw, noise, pink, metal)");
      } else if (k == "duty") {
        v.duty = ReadPath(t, 1, ln, 0.05, 0.95, false);
      } else if (k == "start") {
        Count(t, 1, ln);
        v.start = Real(ln, t[1], 0, kMaxSeconds);
      } else if (k == "length") {
        Count(t, 1, ln);
        v.length = Real(ln, t[1], 0.001, kMaxSeconds);
      } else if (k == "pitch") {
        v.pitch = ReadPath(t, 1, ln, 1, 20000, true);
      } else if (k == "arp") {
        if (t.size() < 3) src_.Fail(ln, "usage: arp STEP SEMITONES...");
        v.arp_step = Real(ln, t[1], 0.005, 1);
        v.arp.clear();
        for (size_t a = 2; a < t.size(); ++a) v.arp.push_back(Real(ln, t[a], -48, 48));
      } else if (k == "vibrato") {
        Count(t, 2, ln);
        v.vib_rate = Real(ln, t[1], 0, 200);
        v.vib_depth = Real(ln, t[2], 0, 24);
      } else if (k == "tremolo") {
        Count(t, 2, ln);
        v.trem_rate = Real(ln, t[1], 0, 200);
        v.trem_depth = Real(ln, t[2], 0, 1);
      } else if (k == "env") {
        if (t.size() != 4 && t.size() != 5) src_.Fail(ln, "usage: env ATTACK HOLD DECAY [CURVE]");
        v.has_env = true;
        v.attack = Real(ln, t[1], 0, kMaxSeconds);
        v.hold = Real(ln, t[2], 0, kMaxSeconds);
        v.decay = Real(ln, t[3], 0, kMaxSeconds);
        if (t.size() == 5) v.curve = Real(ln, t[4], 0.2, 8);
      } else if (k == "amp") {
        size_t n = t.size();
        if (n >= 4 && t[n - 2] == "every") {
          v.every = Real(ln, t[n - 1], 0.005, kMaxSeconds);
          n -= 2;
        }
        v.amp = ReadPath(std::vector<std::string>(t.begin(), t.begin() + static_cast<long>(n)), 1,
                         ln, 0, 1, false);
        if (v.amp.glide) src_.Fail(ln, "amp takes breakpoints: amp 0 @0.01 1 @0.2 0");
        if (v.every > 0 && v.amp.End() > v.every) src_.Fail(ln, "the breakpoints outlast 'every'");
      } else if (k == "gain") {
        Count(t, 1, ln);
        v.gain = Real(ln, t[1], 0, 4);
      } else if (k == "lowpass") {
        v.lp = ReadPath(t, 1, ln, 20, 20000, true);
      } else if (k == "highpass") {
        v.hp = ReadPath(t, 1, ln, 1, 20000, true);
      } else if (k == "filter") {
        ParseFilter(t, ln, v);
      } else if (k == "fm") {
        if (t.size() < 3) src_.Fail(ln, "usage: fm RATIO INDEX-PATH");
        v.fm_ratio = Real(ln, t[1], 0.01, 32);
        v.fm_index = ReadPath(t, 2, ln, 0, 50, false);
      } else if (k == "ring") {
        v.ring = ReadPath(t, 1, ln, 1, 20000, true);
      } else if (k == "drive") {
        Count(t, 1, ln);
        v.drive = Real(ln, t[1], 0.1, 50);
      } else if (k == "crush") {
        if (t.size() != 2 && t.size() != 3) src_.Fail(ln, "usage: crush BITS [HZ]");
        v.crush_bits = ToInt(src_, ln, t[1]);
        if (v.crush_bits < 1 || v.crush_bits > 16) src_.Fail(ln, "'crush' takes 1 .. 16 bits");
        if (t.size() == 3) v.crush_hz = Real(ln, t[2], 50, 44100);
      } else if (k == "seed") {
        Count(t, 1, ln);
        v.seed = static_cast<uint32_t>(ToInt(src_, ln, t[1]));
      } else {
        src_.Fail(ln, "unknown voice setting '" + k + "'");
      }
    }
    src_.Fail(v.line, "voice has no 'end'");
  }

  const Source& src_;
  Recipe r_;
  std::string setting_;  // the directive being read, for messages
};

double VoiceEnd(const Voice& v) {
  if (v.length > 0) return v.start + v.length;
  if (v.has_env && v.decay >= 0) return v.start + v.attack + v.hold + v.decay;
  if (v.amp.set && v.every == 0 && v.amp.End() > 0) return v.start + v.amp.End();
  return -1;
}

// PolyBLEP: the step correction that removes most of a hard edge's aliases.
double Blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1;
  }
  if (t > 1 - dt) {
    t = (t - 1) / dt;
    return t * t + t + t + 1;
  }
  return 0;
}

// A band-limited pulse of width duty at phase frac, zero mean.
double Pulse(double frac, double duty, double dt) {
  double s = frac < duty ? 1.0 : -1.0;
  s += Blep(frac, dt);
  double off = frac - duty;
  s -= Blep(off < 0 ? off + 1 : off, dt);
  return s - (2 * duty - 1);
}

// Resonant state-variable filter (trapezoidal), stable while its cut-off moves.
struct Svf {
  double ic1 = 0, ic2 = 0;
  double Run(double x, Mode mode, double fc, double q, double rate) {
    double g = std::tan(kPi * std::min(fc, rate * 0.45) / rate);
    double k = 1 / q;
    double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
    double v3 = x - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    switch (mode) {
      case Mode::kLow:
        return v2;
      case Mode::kHigh:
        return x - k * v1 - v2;
      case Mode::kBand:
        return k * v1;  // unity gain at the centre
      case Mode::kNotch:
        return x - k * v1;
    }
    return v2;
  }
};

// Pink noise: seven white sources, each renewed half as often as the one
// before, summed (about -3 dB per octave).
class Pink {
 public:
  explicit Pink(uint32_t seed) : noise_(seed) {
    for (double& r : rows_) r = noise_.Next();
  }
  double Next() {
    ++count_;
    int row = std::countr_zero(count_ | (1u << 6));
    rows_[row] = noise_.Next();
    double sum = 0;
    for (double r : rows_) sum += r;
    return sum / 3.0;
  }

 private:
  Noise noise_;
  double rows_[7] = {};
  uint32_t count_ = 0;
};

double Envelope(const Voice& v, double t) {
  double env = 1;
  if (v.has_env) {
    if (t < v.attack)
      env = t / v.attack;
    else if (t < v.attack + v.hold || v.decay < 0)
      env = 1;
    else if (v.decay > 0)
      env = std::pow(std::max(0.0, 1 - (t - v.attack - v.hold) / v.decay), v.curve);
    else
      env = 0;
  }
  if (v.amp.set) env *= v.amp.At(v.every > 0 ? std::fmod(t, v.every) : t, 0);
  if (v.trem_depth > 0) env *= 1 - v.trem_depth * (0.5 + 0.5 * std::sin(kTwoPi * v.trem_rate * t));
  return env;
}

// Renders one voice at the oversampled rate into mix.
void Render(const Voice& v, int rate, std::vector<double>& mix) {
  double len = VoiceEnd(v) - v.start;
  int first = static_cast<int>(std::lround(v.start * rate));
  int n = static_cast<int>(std::lround(len * rate));
  Noise noise(v.seed);
  Pink pink(v.seed);
  double phase = 0, fm_phase = 0, ring_phase = 0, held = noise.Next(), crushed = 0, crush_ph = 0;
  double metal[6] = {};
  double lp = 0, hp_in = 0, hp_out = 0;
  std::vector<Svf> svf(v.filters.size() * 2);
  for (int i = 0; i < n && first + i < static_cast<int>(mix.size()); ++i) {
    double t = static_cast<double>(i) / rate;
    double u = len > 0 ? t / len : 0;
    double f = v.pitch.At(t, u);
    if (!v.arp.empty()) {
      size_t step = static_cast<size_t>(t / v.arp_step);
      f *= std::pow(2.0, v.arp[std::min(step, v.arp.size() - 1)] / 12.0);
    }
    if (v.vib_depth > 0) f *= std::pow(2.0, v.vib_depth * std::sin(kTwoPi * v.vib_rate * t) / 12.0);
    double dt = std::min(f / rate, 0.5);
    double prev = phase;
    phase += dt;
    double p = phase;
    if (v.fm_ratio > 0) {
      fm_phase += dt * v.fm_ratio;
      p += v.fm_index.At(t, u) * std::sin(kTwoPi * fm_phase) / kTwoPi;
    }
    double frac = p - std::floor(p);
    double s = 0;
    switch (v.wave) {
      case Wave::kSine:
        s = std::sin(kTwoPi * p);
        break;
      case Wave::kSquare:
        s = Pulse(frac, v.duty.At(t, u), dt);
        break;
      case Wave::kTriangle:
        s = frac < 0.5 ? 4 * frac - 1 : 3 - 4 * frac;
        break;
      case Wave::kSaw:
        s = 2 * frac - 1 - Blep(frac, dt);
        break;
      case Wave::kNoise:
      case Wave::kPink:
        if (std::floor(phase) != std::floor(prev))
          held = v.wave == Wave::kNoise ? noise.Next() : pink.Next();
        s = held;
        break;
      case Wave::kMetal:
        for (int m = 0; m < 6; ++m) {
          double mdt = std::min(dt * kMetalRatios[m], 0.5);
          metal[m] += mdt;
          metal[m] -= std::floor(metal[m]);
          s += Pulse(metal[m], 0.5, mdt) / 3;
        }
        break;
    }
    if (v.ring.set) {
      ring_phase += v.ring.At(t, u) / rate;
      s *= std::sin(kTwoPi * ring_phase);
    }
    if (v.lp.set) {
      double a = 1 - std::exp(-kTwoPi * v.lp.At(t, u) / rate);
      lp += a * (s - lp);
      s = lp;
    }
    if (v.hp.set) {
      double a = 1 / (1 + kTwoPi * v.hp.At(t, u) / rate);
      hp_out = a * (hp_out + s - hp_in);
      hp_in = s;
      s = hp_out;
    }
    for (size_t k = 0; k < v.filters.size(); ++k) {
      const Filter& fl = v.filters[k];
      double fc = fl.cutoff.At(t, u);
      for (int st = 0; st < fl.stages; ++st) s = svf[2 * k + st].Run(s, fl.mode, fc, fl.q, rate);
    }
    if (v.drive > 0) s = std::tanh(v.drive * s) / std::tanh(v.drive);
    if (v.crush_bits > 0) {
      crush_ph += v.crush_hz > 0 ? v.crush_hz / rate : 1;
      if (crush_ph >= 1 || i == 0) {
        crush_ph -= std::floor(crush_ph);
        double steps = std::ldexp(1.0, v.crush_bits - 1);
        crushed = std::round(s * steps) / steps;
      }
      s = crushed;
    }
    mix[first + i] += s * Envelope(v, t) * v.gain;
  }
}

// Low-pass FIR for decimating by kOver: windowed sinc (Blackman-Harris, about
// -92 dB stop band), cut-off at the output's Nyquist frequency, so content
// that would fold back into the audible band is gone.
std::vector<double> DecimationTaps() {
  constexpr int kTaps = 95 * kOver + 1;
  std::vector<double> h(kTaps);
  const double fc = 0.5 / kOver;
  double sum = 0;
  for (int i = 0; i < kTaps; ++i) {
    double x = i - (kTaps - 1) / 2.0;
    double sinc = x == 0 ? 2 * fc : std::sin(kTwoPi * fc * x) / (kPi * x);
    double w = kTwoPi * i / (kTaps - 1);
    double win =
        0.35875 - 0.48829 * std::cos(w) + 0.14128 * std::cos(2 * w) - 0.01168 * std::cos(3 * w);
    h[i] = sinc * win;
    sum += h[i];
  }
  for (double& c : h) c /= sum;
  return h;
}

std::vector<double> Decimate(const std::vector<double>& in, int n_out) {
  static const std::vector<double> h = DecimationTaps();
  const int half = static_cast<int>(h.size() / 2);
  std::vector<double> out(static_cast<size_t>(n_out), 0.0);
  for (int o = 0; o < n_out; ++o) {
    int c = o * kOver;
    double acc = 0;
    for (int k = 0; k < static_cast<int>(h.size()); ++k) {
      int idx = c + k - half;
      if (idx >= 0 && idx < static_cast<int>(in.size())) acc += h[k] * in[idx];
    }
    out[o] = acc;
  }
  return out;
}

size_t PowerOfTwoAtLeast(size_t n) {
  size_t p = 1;
  while (p < n) p <<= 1;
  return p;
}

}  // namespace

void Fft(std::vector<std::complex<double>>& a, bool inverse) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    double ang = kTwoPi / static_cast<double>(len) * (inverse ? 1 : -1);
    std::complex<double> wl(std::cos(ang), std::sin(ang));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w(1);
      for (size_t j = 0; j < len / 2; ++j) {
        auto x = a[i + j], y = a[i + j + len / 2] * w;
        a[i + j] = x + y;
        a[i + j + len / 2] = x - y;
        w *= wl;
      }
    }
  }
  if (inverse)
    for (auto& x : a) x /= static_cast<double>(n);
}

double AWeightDb(double hz) {
  const double f2 = hz * hz;
  const double ra =
      148693636.0 * f2 * f2 /
      ((f2 + 424.36) * std::sqrt((f2 + 11599.29) * (f2 + 544496.41)) * (f2 + 148693636.0));
  return 20 * std::log10(std::max(ra, 1e-12)) + 2.0;
}

double LoudestDbA(const std::vector<double>& x, int rate) {
  // Weight the spectrum (zero phase, padded so nothing wraps), then slide a
  // 50 ms window over the weighted signal's power.
  size_t n = PowerOfTwoAtLeast(x.size() * 2);
  std::vector<std::complex<double>> a(n);
  for (size_t i = 0; i < x.size(); ++i) a[i] = x[i];
  Fft(a);
  for (size_t k = 0; k <= n / 2; ++k) {
    double w =
        std::pow(10.0, AWeightDb(static_cast<double>(k) * rate / static_cast<double>(n)) / 20);
    a[k] *= w;
    if (k > 0 && k < n / 2) a[n - k] *= w;
  }
  Fft(a, true);
  const size_t win = static_cast<size_t>(rate / 20);
  double sum = 0, best = 0;
  for (size_t i = 0; i < n; ++i) {
    sum += std::norm(a[i].real());
    if (i >= win) sum -= std::norm(a[i - win].real());
    best = std::max(best, sum);
  }
  return 10 * std::log10(std::max(best / static_cast<double>(win), 1e-20));
}

double ShareAbove(const std::vector<double>& x, int rate, double hz) {
  std::vector<std::complex<double>> a(PowerOfTwoAtLeast(x.size()));
  for (size_t i = 0; i < x.size(); ++i) a[i] = x[i];
  Fft(a);
  double above = 0, all = 0;
  for (size_t k = 1; k <= a.size() / 2; ++k) {
    double e = std::norm(a[k]);
    all += e;
    if (static_cast<double>(k) * rate / static_cast<double>(a.size()) > hz) above += e;
  }
  return all > 0 ? above / all : 0;
}

std::vector<double> ToUnit(const std::vector<int16_t>& samples) {
  std::vector<double> x(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) x[i] = samples[i] / 32768.0;
  return x;
}

Pcm BuildSound(const Source& src) {
  Recipe r = SfxParser(src).Run();
  double total = r.length;
  for (const Voice& v : r.voices) {
    double end = VoiceEnd(v);
    if (end < 0)
      src.Fail(v.line, "voice needs a 'length', an 'env' with a decay or 'amp' breakpoints");
    if (r.length < 0) total = std::max(total, end);
  }
  int last = src.Lines().empty() ? 0 : src.Lines().back().number;
  if (total < kMinSeconds || total > kMaxSeconds)
    src.Fail(last, "sound lasts " + std::to_string(total) + " s; it must be " +
                       std::to_string(kMinSeconds) + " .. " + std::to_string(kMaxSeconds) + " s");
  if (r.fade_in + r.fade_out > total) src.Fail(last, "fades are longer than the sound");

  Pcm pcm;
  pcm.rate = r.rate;
  const int n = static_cast<int>(std::lround(total * r.rate));
  std::vector<double> over(static_cast<size_t>(n) * kOver, 0.0);
  for (const Voice& v : r.voices) Render(v, r.rate * kOver, over);
  std::vector<double> mix = Decimate(over, n);
  if (r.echo_delay > 0) {
    int d = static_cast<int>(std::lround(r.echo_delay * r.rate));
    for (int i = d; i < n; ++i) mix[i] += mix[i - d] * r.echo_feedback;
  }
  // DC blocker (about 10 Hz): sample-and-hold noise and pulses can drift.
  double prev_in = 0, prev_out = 0;
  const double pole = 1 - kTwoPi * 10.0 / r.rate;
  for (double& s : mix) {
    double out = s - prev_in + pole * prev_out;
    prev_in = s;
    prev_out = out;
    s = out;
  }
  int fi = std::max(2, static_cast<int>(std::lround(r.fade_in * r.rate)));
  int fo = std::max(2, static_cast<int>(std::lround(r.fade_out * r.rate)));
  for (int i = 0; i < fi && i < n; ++i) mix[i] *= 0.5 - 0.5 * std::cos(kPi * i / fi);
  for (int i = 0; i < fo && i < n; ++i) mix[n - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / fo);
  double peak = 0;
  for (double s : mix) peak = std::max(peak, std::fabs(s));
  if (peak < 1e-9) src.Fail(last, "the recipe makes no sound");
  // Level by loudness; the peak that follows must stay under the limit.
  double scale = std::pow(10.0, (r.loudness - LoudestDbA(mix, r.rate)) / 20.0);
  double peak_db = 20 * std::log10(peak * scale);
  if (peak_db > kMaxPeakDb) {
    char msg[160];
    std::snprintf(msg, sizeof msg,
                  "loudness %g puts the peak at %+.1f dBFS (at most %g): lower it to %.1f or "
                  "soften the attack",
                  r.loudness, peak_db, kMaxPeakDb, r.loudness - (peak_db - kMaxPeakDb));
    src.Fail(r.loudness_line, msg);
  }
  pcm.samples.resize(n);
  for (int i = 0; i < n; ++i) {
    double s = std::round(mix[i] * scale * 32768.0);
    pcm.samples[i] = static_cast<int16_t>(std::clamp(s, -32767.0, 32767.0));
  }
  return pcm;
}

std::vector<uint8_t> EncodeWav(const Pcm& pcm) {
  std::vector<uint8_t> b;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back((v >> (8 * i)) & 0xff);
  };
  auto tag = [&](const char* s) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(s[i]));
  };
  uint32_t data = static_cast<uint32_t>(pcm.samples.size() * 2);
  tag("RIFF");
  put(36 + data, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(static_cast<uint32_t>(pcm.rate), 4);
  put(static_cast<uint32_t>(pcm.rate) * 2, 4);
  put(2, 2);
  put(16, 2);
  tag("data");
  put(data, 4);
  for (int16_t s : pcm.samples) put(static_cast<uint16_t>(s), 2);
  return b;
}

}  // namespace assetgen
