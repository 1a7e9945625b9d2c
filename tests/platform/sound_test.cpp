// The mixer: voices summed under a limiter, retired when done, WAV loading and
// conversion, and the headless capture of what would be heard.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/catalogue.h"
#include "helpers.h"

namespace {

std::vector<int16_t> Mix(sb::Mixer& m, int n) {
  std::vector<int16_t> out(static_cast<size_t>(n), 12345);
  m.Mix(out.data(), n);
  return out;
}

TEST(Mixer, VoicesSumAndTheLimiterHoldsTheCeiling) {
  sb::Mixer m;
  int loud = m.AddSound(std::vector<int16_t>(8, 20000));
  int quiet = m.AddSound(std::vector<int16_t>(8, -3000));
  m.Play(loud);
  m.Play(quiet);
  EXPECT_EQ(Mix(m, 1)[0], 17000);
  m.Play(loud);  // a second copy of the same sound overlaps the first
  EXPECT_EQ(Mix(m, 1)[0], sb::Mixer::kCeiling);
  sb::Mixer n;
  n.AddSound(std::vector<int16_t>(8, -20000));
  n.Play(1);
  n.Play(1);
  EXPECT_EQ(Mix(n, 1)[0], -sb::Mixer::kCeiling);
}

// Mixes n samples in blocks, starting each (sample, handle) at its block
// boundary; `sum` is the plain sum of the same plays.
struct Mixed {
  std::vector<int16_t> out;
  std::vector<int32_t> sum;
};
Mixed Schedule(const std::vector<std::pair<size_t, int>>& plays, size_t n, size_t block) {
  sb::Mixer m;  // the game's sounds, handle = catalogue index + 1
  auto p = sb::MakeHeadlessPlatform();
  for (const char* name : sb::kSoundNames) {
    int h = p->LoadSound(std::string(SB_GAME_DIR) + "/sounds/" + name + ".wav", 0);
    EXPECT_NE(h, 0) << name;
    m.AddSound(h ? p->GetMixer().GetSound(h)->samples : std::vector<int16_t>{});
  }
  Mixed r{std::vector<int16_t>(n), std::vector<int32_t>(n, 0)};
  for (auto [at, h] : plays) {
    const auto& smp = m.GetSound(h)->samples;
    for (size_t i = 0; i < smp.size() && at + i < n; ++i) r.sum[at + i] += smp[i];
  }
  for (size_t at = 0, next = 0; at < n; at += block) {
    for (; next < plays.size() && plays[next].first < at + block; ++next)
      m.Play(plays[next].second);
    m.Mix(r.out.data() + at, static_cast<int>(std::min(block, n - at)));
  }
  return r;
}

TEST(Mixer, AnySoundAloneIsThePlainSumSampleForSample) {
  for (int h = 1; h <= static_cast<int>(sb::kSoundNames.size()); ++h) {
    Mixed r = Schedule({{0, h}}, 70000, 441);
    for (size_t k = 0; k < r.out.size(); ++k)
      ASSERT_EQ(r.out[k], std::clamp(r.sum[k], -32768, 32767)) << h << " sample " << k;
  }
}

TEST(Mixer, OverlappingExplosionsNeverClipAndTheGainGlides) {
  // Every big sound at once, then one every 0.1 s, then after a second of
  // silence a footstep alone.
  const int kBooms[] = {3, 18, 23, 25, 7, 2};  // player, spheroid, quark, tank, grunt, new wave
  std::vector<std::pair<size_t, int>> plays;
  for (int h : kBooms) plays.push_back({0, h});
  for (size_t k = 0; k < 30; ++k) plays.push_back({4410 * (k + 1), kBooms[k % 6]});
  plays.push_back({4410 * 60, 6});  // a grunt's footstep
  const size_t n = 4410 * 64;
  Mixed r = Schedule(plays, n, 441);
  EXPECT_EQ(Schedule(plays, n, 490).out, r.out) << "the device's block size matters";
  int32_t loudest = 0;
  auto gain = [&](size_t i) { return static_cast<double>(r.out[i]) / r.sum[i]; };
  for (size_t i = 1; i < n; ++i) {
    loudest = std::max(loudest, std::abs(r.sum[i]));
    ASSERT_LE(std::abs(r.out[i]), sb::Mixer::kCeiling) << i;
    const bool quiet = std::abs(r.sum[i]) < 4000 || std::abs(r.sum[i - 1]) < 4000;
    ASSERT_TRUE(quiet || std::fabs(gain(i) - gain(i - 1)) < 2.0 / sb::Mixer::kLookAhead) << i;
  }
  EXPECT_GT(loudest, 2 * 32767) << "the plain sum would have clipped hard";
  for (size_t i = 4410 * 60; i < n; ++i) ASSERT_EQ(r.out[i], r.sum[i]) << "still limiting at " << i;
}

TEST(Mixer, FinishedVoicesRetireAndLeaveSilence) {
  sb::Mixer m;
  int s = m.AddSound({100, 200, 300, 400, 500});
  m.Play(s);
  EXPECT_EQ(Mix(m, 3), (std::vector<int16_t>{100, 200, 300}));
  EXPECT_EQ(m.ActiveVoices(), 1);
  EXPECT_EQ(Mix(m, 4), (std::vector<int16_t>{400, 500, 0, 0}));
  EXPECT_EQ(m.ActiveVoices(), 0);
  EXPECT_EQ(Mix(m, 2), (std::vector<int16_t>{0, 0}));
}

TEST(Mixer, HandleZeroAndUnknownHandlesPlayNothing) {
  auto p = sb::MakeHeadlessPlatform();
  p->PlaySound(0);
  p->PlaySound(-1);
  p->PlaySound(7);
  EXPECT_EQ(p->GetMixer().ActiveVoices(), 0);
  EXPECT_EQ(p->GetMixer().Started(), 0u);
}

TEST(LoadSound, EightBitStereoIsConvertedToSixteenBitMonoAtTheMixerRate) {
  pt::TempDir dir;
  auto p = sb::MakeHeadlessPlatform();
  // 0.1 s at 22050 Hz, both channels at unsigned 200 (= +72 of 128).
  std::vector<uint8_t> data(2205 * 2, 200);
  pt::WriteBytes(dir / "s.wav", pt::Wav(2, 22050, 8, data));
  int snd = p->LoadSound(dir / "s.wav", 0);
  ASSERT_NE(snd, 0);
  const auto& smp = p->GetMixer().GetSound(snd)->samples;
  EXPECT_NEAR(double(smp.size()), 4410.0, 8.0);
  for (size_t i = 100; i + 100 < smp.size(); ++i) ASSERT_NEAR(smp[i], 72 * 256, 300) << i;
}

TEST(LoadSound, SixteenBitMonoAtTheMixerRateIsKeptAsIs) {
  pt::TempDir dir;
  auto p = sb::MakeHeadlessPlatform();
  std::vector<uint8_t> data;
  for (int16_t v : {1, -2, 300, -32768, 32767, 0}) {
    data.push_back(uint8_t(v));
    data.push_back(uint8_t(uint16_t(v) >> 8));
  }
  pt::WriteBytes(dir / "m.wav", pt::Wav(1, 44100, 16, data));
  int snd = p->LoadSound(dir / "m.wav", 0);
  ASSERT_NE(snd, 0);
  EXPECT_EQ(p->GetMixer().GetSound(snd)->samples,
            (std::vector<int16_t>{1, -2, 300, -32768, 32767, 0}));
}

TEST(LoadSound, BrokenFilesGiveNoSound) {
  pt::TempDir dir;
  auto p = sb::MakeHeadlessPlatform();
  EXPECT_EQ(p->LoadSound(dir / "missing.wav", 0), 0);
  pt::WriteBytes(dir / "empty.wav", {});
  EXPECT_EQ(p->LoadSound(dir / "empty.wav", 0), 0);
  auto w = pt::Wav(1, 44100, 16, std::vector<uint8_t>(100, 1));
  pt::WriteBytes(dir / "cut.wav", std::vector<uint8_t>(w.begin(), w.begin() + 30));
  EXPECT_EQ(p->LoadSound(dir / "cut.wav", 0), 0);
  pt::WriteBytes(dir / "zero_rate.wav", pt::Wav(1, 0, 16, std::vector<uint8_t>(100, 1)));
  EXPECT_EQ(p->LoadSound(dir / "zero_rate.wav", 0), 0);
  pt::WriteBytes(dir / "noise.wav", std::vector<uint8_t>(500, 0xA5));
  EXPECT_EQ(p->LoadSound(dir / "noise.wav", 0), 0);
}

TEST(HeadlessAudio, DelaysMixTheirShareOfSamplesAndTheCaptureSavesAsWav) {
  pt::TempDir dir;
  auto p = sb::MakeHeadlessPlatform();
  auto& hb = sb::Headless(*p);
  hb.SetAudioCapture(true);
  int s = p->GetMixer().AddSound(std::vector<int16_t>(500, 1000));
  p->PlaySound(s);
  p->PlaySound(s);
  p->Delay(10);
  EXPECT_EQ(hb.Captured().size(), 441u);
  for (int i = 0; i < 1000; ++i) p->Delay(1);  // 44.1 samples a step: fractions carry over
  EXPECT_EQ(hb.Captured().size(), 441u + 44100u);
  EXPECT_EQ(hb.Captured()[0], 2000);
  EXPECT_EQ(hb.Captured()[499], 2000);
  EXPECT_EQ(hb.Captured()[500], 0);
  EXPECT_EQ(p->GetMixer().ActiveVoices(), 0);
  p->Delay(-5);
  EXPECT_EQ(hb.Captured().size(), 441u + 44100u);

  ASSERT_TRUE(hb.SaveCapturedWav(dir / "out.wav"));
  int back = p->LoadSound(dir / "out.wav", 0);
  ASSERT_NE(back, 0);
  EXPECT_EQ(p->GetMixer().GetSound(back)->samples, hb.Captured());
}

}  // namespace
