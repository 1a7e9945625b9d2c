// The mixer: voices summed and clamped, retired when done, WAV loading and
// conversion, and the headless capture of what would be heard.
#include <gtest/gtest.h>

#include "helpers.h"

namespace {

std::vector<int16_t> Mix(sb::Mixer& m, int n) {
  std::vector<int16_t> out(static_cast<size_t>(n), 12345);
  m.Mix(out.data(), n);
  return out;
}

// A PCM WAV file with the given header values around raw sample bytes.
std::vector<uint8_t> Wav(int channels, int rate, int bits, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> b;
  b.reserve(44 + data.size());
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i)));
  };
  // Tags go in byte by byte: GCC 12 at -O3 misreads initializer-list inserts
  // into a growing vector as an overflow (-Wstringop-overflow).
  auto tag = [&](const char* t) {
    for (int i = 0; t[i] != 0; ++i) b.push_back(uint8_t(t[i]));
  };
  tag("RIFF");
  put(36 + uint32_t(data.size()), 4);
  tag("WAVEfmt ");
  put(16, 4);
  put(1, 2);
  put(uint32_t(channels), 2);
  put(uint32_t(rate), 4);
  put(uint32_t(rate * channels * bits / 8), 4);
  put(uint32_t(channels * bits / 8), 2);
  put(uint32_t(bits), 2);
  tag("data");
  put(uint32_t(data.size()), 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

TEST(Mixer, VoicesSumAndClampToSixteenBits) {
  sb::Mixer m;
  int loud = m.AddSound(std::vector<int16_t>(8, 20000));
  int quiet = m.AddSound(std::vector<int16_t>(8, -3000));
  int low = m.AddSound(std::vector<int16_t>(8, -20000));
  m.Play(loud);
  m.Play(quiet);
  EXPECT_EQ(Mix(m, 1)[0], 17000);
  m.Play(loud);  // a second copy of the same sound overlaps the first
  EXPECT_EQ(Mix(m, 1)[0], 32767);
  sb::Mixer n;
  int l2 = n.AddSound(std::vector<int16_t>(8, -20000));
  n.Play(l2);
  n.Play(l2);
  EXPECT_EQ(Mix(n, 1)[0], -32768);
  (void)low;
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
  pt::WriteBytes(dir / "s.wav", Wav(2, 22050, 8, data));
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
  pt::WriteBytes(dir / "m.wav", Wav(1, 44100, 16, data));
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
  auto w = Wav(1, 44100, 16, std::vector<uint8_t>(100, 1));
  pt::WriteBytes(dir / "cut.wav", std::vector<uint8_t>(w.begin(), w.begin() + 30));
  EXPECT_EQ(p->LoadSound(dir / "cut.wav", 0), 0);
  pt::WriteBytes(dir / "zero_rate.wav", Wav(1, 0, 16, std::vector<uint8_t>(100, 1)));
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
