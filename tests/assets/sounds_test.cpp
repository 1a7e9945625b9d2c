// The generated sounds: valid 16-bit mono PCM the game can load, within the
// length and level limits, starting and ending at silence, and not all alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <numbers>
#include <numeric>
#include <set>

#include "platform/headless_backend.h"
#include "platform/mixer.h"
#include "support.h"
#include "synth.h"

namespace {

const char* const kSounds[] = {
    "shotborn", "newwave",    "playerhit", "bonus",       "gruntborn", "gruntwalk",    "grunthit",
    "hulkhit",  "brainborn",  "brainhit",  "humansaved",  "humanhit",  "progborn",     "proghit",
    "prog",     "cruiseborn", "spheroid",  "spheroidhit", "enforcer",  "enforcerhit",  "plusborn",
    "quark",    "quarkhit",   "tank",      "tankhit",     "ballborn",  "electrodehit",
};

// -1 dBFS of full scale.
const int kMaxPeak = static_cast<int>(32767 * std::pow(10.0, -1.0 / 20.0));

at::Wav Read(const std::string& name) {
  return at::ParseWav(at::ReadBytes(at::kGameDir / "sounds" / (name + ".wav")));
}

TEST(Sounds, EachIsMonoSixteenBitPcmWithinLengthAndLevel) {
  for (const char* name : kSounds) {
    SCOPED_TRACE(name);
    at::Wav w = Read(name);
    ASSERT_TRUE(w.ok) << w.why;
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << w.rate;
    double seconds = static_cast<double>(w.samples.size()) / w.rate;
    EXPECT_GE(seconds, 0.03);
    EXPECT_LE(seconds, 1.5);
    int peak = 0;
    for (int16_t s : w.samples) peak = std::max(peak, std::abs(int{s}));
    EXPECT_LE(peak, kMaxPeak) << "louder than -1 dBFS";
    EXPECT_GT(peak, kMaxPeak / 10) << "too quiet to hear";
  }
}

TEST(Sounds, EachStartsAndEndsAtSilence) {
  // No click: the sound fades in from zero and out to zero.
  for (const char* name : kSounds) {
    SCOPED_TRACE(name);
    at::Wav w = Read(name);
    ASSERT_TRUE(w.ok) << w.why;
    ASSERT_GT(w.samples.size(), 2u);
    EXPECT_LE(std::abs(int{w.samples.front()}), 64);
    EXPECT_LE(std::abs(int{w.samples.back()}), 64);
    // The first and last few samples stay well below the sound's peak.
    int peak = 0;
    for (int16_t s : w.samples) peak = std::max(peak, std::abs(int{s}));
    for (size_t i = 0; i < 5; ++i) {
      EXPECT_LE(std::abs(int{w.samples[i]}), peak / 4) << "start, sample " << i;
      EXPECT_LE(std::abs(int{w.samples[w.samples.size() - 1 - i]}), peak / 4) << "end, " << i;
    }
  }
}

TEST(Sounds, TheShotIsShortAndQuieterThanTheExplosions) {
  // It repeats about seven times a second and overlaps itself.
  at::Wav shot = Read("shotborn");
  at::Wav boom = Read("grunthit");
  ASSERT_TRUE(shot.ok && boom.ok);
  EXPECT_LE(static_cast<double>(shot.samples.size()) / shot.rate, 0.15);
  auto peak = [](const at::Wav& w) {
    int p = 0;
    for (int16_t s : w.samples) p = std::max(p, std::abs(int{s}));
    return p;
  };
  EXPECT_LT(peak(shot), peak(boom));
}

TEST(Sounds, NoTwoSoundsAreTheSame) {
  std::set<std::vector<int16_t>> seen;
  for (const char* name : kSounds) EXPECT_TRUE(seen.insert(Read(name).samples).second) << name;
}

TEST(Sounds, LevelledByLoudnessAndAudibleOnSmallSpeakers) {
  for (double hz : {1000.0, 100.0}) {  // the meters, on 0.1 s of a full-scale sine
    std::vector<double> x(4410);
    for (size_t i = 0; i < x.size(); ++i) x[i] = std::sin(2 * std::numbers::pi * hz * i / 44100);
    EXPECT_NEAR(assetgen::LoudestDbA(x, 44100), hz > 500 ? -3.0 : -22.1, 0.15);
    EXPECT_NEAR(assetgen::ShareAbove(x, 44100, 200), hz > 500 ? 1 : 0, 0.03);
  }
  // The player's death and the new wave lead; the cues that repeat many
  // times a second sit a few dB under the rest; nothing is lost.
  const std::set<std::string> kRepeating = {"gruntwalk", "prog", "enforcer", "shotborn"};
  std::map<std::string, double> la;
  std::vector<double> rest;
  for (const char* name : kSounds) {
    at::Wav w = Read(name);
    auto x = assetgen::ToUnit(w.samples);
    la[name] = assetgen::LoudestDbA(x, w.rate);
    if (!kRepeating.count(name)) rest.push_back(la[name]);
    EXPECT_GE(assetgen::ShareAbove(x, w.rate, 200), 0.5) << name << ": too much below 200 Hz";
  }
  std::ranges::sort(rest);
  const double loudest = std::min(la["playerhit"], la["newwave"]);
  for (const auto& [name, db] : la) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(name == "playerhit" || name == "newwave" || db < loudest);
    EXPECT_GT(db, loudest - 10);
    EXPECT_TRUE(!kRepeating.count(name) ||
                (db < rest.front() - 1 && db < rest[rest.size() / 2] - 3));
  }
}

// A spectrogram in third-octave bands from 100 Hz (magnitudes, unit length),
// over a fixed number of 512-sample hops so that sounds of any length line up.
std::vector<double> Bands(const std::vector<double>& x, int hops) {
  constexpr int kN = 1024, kBands = 24;
  std::vector<double> m(static_cast<size_t>(hops) * kBands, 0);
  for (int f = 0; f < hops; ++f) {
    std::vector<std::complex<double>> a(kN);
    for (size_t i = 0, k = f * 512u; i < kN && k + i < x.size(); ++i)
      a[i] = x[k + i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kN));
    assetgen::Fft(a);
    for (int k = 1; k < kN / 2; ++k) {
      int b = std::clamp(static_cast<int>(3 * std::log2(k * 44100.0 / kN / 100)), 0, kBands - 1);
      m[f * kBands + b] += std::norm(a[k]);
    }
  }
  const double norm = std::sqrt(std::accumulate(m.begin(), m.end(), 0.0));
  for (double& v : m) v = std::sqrt(v) / norm;
  return m;
}

TEST(Sounds, EveryDestructionHasItsOwnVoice) {
  // Cosine similarity of the band spectrograms. When seven of these came
  // from one template (a noise burst under a falling lowpass and a falling
  // tone), those pairs scored 0.76 to 0.81, the prog's copy of the grunt's
  // 0.80; a pair at 0.72 or above is that template again.
  const char* kDeaths[] = {"grunthit", "proghit", "brainhit", "spheroidhit",  "enforcerhit",
                           "quarkhit", "tankhit", "hulkhit",  "electrodehit", "playerhit"};
  std::vector<std::vector<double>> s;
  for (const char* name : kDeaths) s.push_back(Bands(assetgen::ToUnit(Read(name).samples), 130));
  for (size_t i = 0; i < s.size(); ++i)
    for (size_t j = i + 1; j < s.size(); ++j)
      EXPECT_LT(std::inner_product(s[i].begin(), s[i].end(), s[j].begin(), 0.0), 0.72)
          << kDeaths[i] << " sounds like " << kDeaths[j];
}

// The strongest bin away from every harmonic of the sweep, below 19 kHz, in
// dB under the frame's strongest bin (worst frame). Only aliases live there.
double WorstAliasDb(const std::vector<double>& x, double f0, double f1) {
  constexpr int kN = 2048;
  double worst = -300;
  for (size_t at = kN; at + 2 * kN <= x.size(); at += kN) {  // not the fades
    std::vector<std::complex<double>> a(kN);
    for (int i = 0; i < kN; ++i) {
      double w = 2 * std::numbers::pi * i / (kN - 1);
      a[i] = x[at + i] * (0.35875 - 0.48829 * std::cos(w) + 0.14128 * std::cos(2 * w) -
                          0.01168 * std::cos(3 * w));
    }
    assetgen::Fft(a);
    const double f = f0 * std::pow(f1 / f0, (at + kN / 2.0) / x.size()), bin = 44100.0 / kN;
    double top = 0, alias = 0;
    for (int k = 2; k * bin < 19000; ++k) {
      double hz = k * bin, e = std::norm(a[k]), h = std::round(hz / f);
      top = std::max(top, e);
      if (std::fabs(hz - h * f) > 0.05 * h * f + 6 * bin) alias = std::max(alias, e);
    }
    worst = std::max(worst, 10 * std::log10(std::max(alias, 1e-30) / top));
  }
  return worst;
}

TEST(Synth, HighSweepsHaveNoAliasesAboveTheNoiseFloor) {
  auto sweep = [](const std::string& wave) {
    auto pcm = assetgen::BuildSound(assetgen::Source::FromText(
        "sweep.sfx",
        "rate 44100\nloudness -12\nvoice\n wave " + wave + "\n pitch 2500 9000\n length 1\nend\n"));
    return WorstAliasDb(assetgen::ToUnit(pcm.samples), 2500, 9000);
  };
  // A sine has no partials to fold: what it shows there is the floor of
  // 16-bit rounding and of the measurement. Rendered plainly at the output
  // rate, this square's aliases reach -18 dB; four times oversampled, -76.
  const double floor = sweep("sine");
  EXPECT_LT(floor, -90);
  for (const char* wave : {"square", "saw"}) EXPECT_LT(sweep(wave), floor + 3) << wave;
}

TEST(Sounds, TheGameLoadsEveryOne) {
  auto p = sb::MakeHeadlessPlatform();
  for (const char* name : kSounds) {
    std::string path = (at::kGameDir / "sounds" / (std::string(name) + ".wav")).string();
    int h = p->LoadSound(path, 0);
    ASSERT_NE(h, 0) << name;
    const sb::Mixer::Sound* s = p->GetMixer().GetSound(h);
    ASSERT_NE(s, nullptr);
    at::Wav w = Read(name);
    // Converted to the mixer's rate, the length is kept.
    double expected = static_cast<double>(w.samples.size()) * sb::Mixer::kRate / w.rate;
    EXPECT_NEAR(static_cast<double>(s->samples.size()), expected, expected * 0.01 + 2) << name;
  }
}

}  // namespace
