#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "catalogue.h"

namespace assetgen {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

enum class Wave { kSine, kSquare, kTriangle, kSaw, kNoise };

struct Voice {
  int line = 0;
  Wave wave = Wave::kSine;
  double duty0 = 0.5, duty1 = 0.5;
  double start = 0, length = -1;
  double f0 = 440, f1 = 440;
  bool exp_sweep = true;
  double arp_step = 0;
  std::vector<double> arp;
  double vib_rate = 0, vib_depth = 0;
  double trem_rate = 0, trem_depth = 0;
  double attack = 0.002, hold = 0, decay = -1, curve = 2;
  double gain = 1;
  double lp0 = 0, lp1 = 0, hp = 0;
  uint32_t seed = 1;
};

struct Recipe {
  int rate = 22050;
  double length = -1;
  double peak_db = 99;
  int peak_line = 0;
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

double Sweep(double a, double b, double u, bool exp_sweep) {
  if (exp_sweep && a > 0 && b > 0) return a * std::pow(b / a, u);
  return a + (b - a) * u;
}

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
      } else if (k == "peak") {
        Count(t, 1, ln);
        r_.peak_db = Real(ln, t[1], -40, kMaxPeakDb);
        r_.peak_line = ln;
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
    if (r_.peak_line == 0) src_.Fail(last, "missing 'peak DB' (the level, at most -1 dBFS)");
    return r_;
  }

 private:
  void Count(const std::vector<std::string>& t, size_t n, int ln) {
    if (t.size() != n + 1) src_.Fail(ln, "'" + t[0] + "' takes " + std::to_string(n) + " value(s)");
  }
  // A number in [lo, hi]; `what` names the setting in the message.
  double Real(int ln, const std::string& tok, double lo, double hi) {
    double v = ToReal(src_, ln, tok);
    if (v < lo || v > hi) {
      char range[96];
      std::snprintf(range, sizeof range, "%g .. %g", lo, hi);
      src_.Fail(ln, "'" + setting_ + "' value " + tok + " is outside " + range);
    }
    return v;
  }

  // "KEY A [B]": a setting that glides from A to B over the voice, or holds A.
  void StartAndEnd(const std::vector<std::string>& t, int ln, const char* usage, double lo,
                   double hi, double& a, double& b) {
    if (t.size() != 2 && t.size() != 3) src_.Fail(ln, usage);
    a = b = Real(ln, t[1], lo, hi);
    if (t.size() == 3) b = Real(ln, t[2], lo, hi);
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
        if (t[1] == "sine")
          v.wave = Wave::kSine;
        else if (t[1] == "square")
          v.wave = Wave::kSquare;
        else if (t[1] == "triangle")
          v.wave = Wave::kTriangle;
        else if (t[1] == "saw")
          v.wave = Wave::kSaw;
        else if (t[1] == "noise")
          v.wave = Wave::kNoise;
        else
          src_.Fail(ln, "unknown wave '" + t[1] + "' (sine, square, triangle, saw, noise)");
      } else if (k == "duty") {
        StartAndEnd(t, ln, "usage: duty D [D2]", 0.05, 0.95, v.duty0, v.duty1);
      } else if (k == "start") {
        Count(t, 1, ln);
        v.start = Real(ln, t[1], 0, kMaxSeconds);
      } else if (k == "length") {
        Count(t, 1, ln);
        v.length = Real(ln, t[1], 0.001, kMaxSeconds);
      } else if (k == "pitch") {
        if (t.size() < 2 || t.size() > 4) src_.Fail(ln, "usage: pitch F [F2 [lin|exp]]");
        v.f0 = v.f1 = Real(ln, t[1], 1, 20000);
        if (t.size() >= 3) v.f1 = Real(ln, t[2], 1, 20000);
        if (t.size() == 4) {
          if (t[3] != "lin" && t[3] != "exp") src_.Fail(ln, "sweep is 'lin' or 'exp'");
          v.exp_sweep = t[3] == "exp";
        }
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
        v.attack = Real(ln, t[1], 0, kMaxSeconds);
        v.hold = Real(ln, t[2], 0, kMaxSeconds);
        v.decay = Real(ln, t[3], 0, kMaxSeconds);
        if (t.size() == 5) v.curve = Real(ln, t[4], 0.2, 8);
      } else if (k == "gain") {
        Count(t, 1, ln);
        v.gain = Real(ln, t[1], 0, 4);
      } else if (k == "lowpass") {
        StartAndEnd(t, ln, "usage: lowpass F [F2]", 20, 20000, v.lp0, v.lp1);
      } else if (k == "highpass") {
        Count(t, 1, ln);
        v.hp = Real(ln, t[1], 1, 20000);
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
  if (v.decay >= 0) return v.start + v.attack + v.hold + v.decay;
  return -1;
}

void Render(const Voice& v, int rate, std::vector<double>& mix) {
  double len = VoiceEnd(v) - v.start;
  int first = static_cast<int>(std::lround(v.start * rate));
  int n = static_cast<int>(std::lround(len * rate));
  Noise noise(v.seed);
  double phase = 0, held = noise.Next(), lp = 0, hp_in = 0, hp_out = 0;
  for (int i = 0; i < n && first + i < static_cast<int>(mix.size()); ++i) {
    double t = static_cast<double>(i) / rate;
    double u = len > 0 ? t / len : 0;
    double f = Sweep(v.f0, v.f1, u, v.exp_sweep);
    if (!v.arp.empty()) {
      size_t step = static_cast<size_t>(t / v.arp_step);
      f *= std::pow(2.0, v.arp[std::min(step, v.arp.size() - 1)] / 12.0);
    }
    if (v.vib_depth > 0) f *= std::pow(2.0, v.vib_depth * std::sin(kTwoPi * v.vib_rate * t) / 12.0);
    double prev = phase;
    phase += f / rate;
    double frac = phase - std::floor(phase);
    double s = 0;
    switch (v.wave) {
      case Wave::kSine:
        s = std::sin(kTwoPi * phase);
        break;
      case Wave::kSquare: {
        // Zero-mean pulse: a narrow pulse would otherwise carry a DC offset.
        double duty = v.duty0 + (v.duty1 - v.duty0) * u;
        s = (frac < duty ? 1.0 : -1.0) - (2 * duty - 1);
        break;
      }
      case Wave::kTriangle:
        s = frac < 0.5 ? 4 * frac - 1 : 3 - 4 * frac;
        break;
      case Wave::kSaw:
        s = 2 * frac - 1;
        break;
      case Wave::kNoise:
        if (std::floor(phase) != std::floor(prev)) held = noise.Next();
        s = held;
        break;
    }
    if (v.lp0 > 0) {
      double fc = Sweep(v.lp0, v.lp1, u, true);
      double a = 1 - std::exp(-kTwoPi * fc / rate);
      lp += a * (s - lp);
      s = lp;
    }
    if (v.hp > 0) {
      double a = 1 / (1 + kTwoPi * v.hp / rate);
      hp_out = a * (hp_out + s - hp_in);
      hp_in = s;
      s = hp_out;
    }
    double env;
    if (t < v.attack)
      env = t / v.attack;
    else if (t < v.attack + v.hold || v.decay < 0)
      env = 1;
    else if (v.decay > 0)
      env = std::pow(std::max(0.0, 1 - (t - v.attack - v.hold) / v.decay), v.curve);
    else
      env = 0;
    if (v.trem_depth > 0)
      env *= 1 - v.trem_depth * (0.5 + 0.5 * std::sin(kTwoPi * v.trem_rate * t));
    mix[first + i] += s * env * v.gain;
  }
}

}  // namespace

Pcm BuildSound(const Source& src) {
  Recipe r = SfxParser(src).Run();
  double total = r.length;
  for (const Voice& v : r.voices) {
    double end = VoiceEnd(v);
    if (end < 0) src.Fail(v.line, "voice needs a 'length' or an 'env' with a decay");
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
  std::vector<double> mix(n, 0.0);
  for (const Voice& v : r.voices) Render(v, r.rate, mix);
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
  // Fades before levelling, so the stated peak is the true peak.
  int fi = std::max(2, static_cast<int>(std::lround(r.fade_in * r.rate)));
  int fo = std::max(2, static_cast<int>(std::lround(r.fade_out * r.rate)));
  for (int i = 0; i < fi && i < n; ++i) mix[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / fi);
  for (int i = 0; i < fo && i < n; ++i)
    mix[n - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / fo);
  double peak = 0;
  for (double s : mix) peak = std::max(peak, std::fabs(s));
  if (peak < 1e-9) src.Fail(last, "the recipe makes no sound");
  double target = std::pow(10.0, r.peak_db / 20.0) * 32767.0;
  pcm.samples.resize(n);
  for (int i = 0; i < n; ++i) {
    double s = std::round(mix[i] / peak * target);
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
