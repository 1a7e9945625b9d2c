// The generated sounds: valid 16-bit mono PCM the game can load, within the
// length and level limits, starting and ending at silence, and not all alike.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "platform/headless_backend.h"
#include "platform/mixer.h"
#include "support.h"

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
