// Sound files as a player's disk may hold them. A file we cannot use is
// silent (handle 0, playing it does nothing); a valid file in an unusual
// form plays, converted to our 16-bit mono 44100 Hz. Neither stops start-up.
#include <gtest/gtest.h>

#include "bad_files.h"
#include "platform/mixer.h"
#include "support/world.h"

using namespace sbt;
using namespace hostile;

namespace {

constexpr int kSilent = -1;

struct SoundCase {
  const char* what;
  std::string bytes;
  int samples;  // after conversion, or kSilent
};

std::vector<SoundCase> Cases() {
  const std::string fmt16 = Chunk("fmt ", FmtBody(1, 1, 44100, 16));
  const std::string tone = Tone16(200, 1);
  const std::string good = MakeWav(1, 1, 44100, 16, tone);
  std::string s24, f32;
  for (int i = 0; i < 200; ++i) {
    s24 += std::string("\x00\x10\x20", 3);
    f32 += Le32(0x3F000000);  // 0.5f
  }
  std::string data_4g = good;
  Put32(data_4g, 40, 0xFFFFFFF0);
  std::string fmt_4g = good;
  Put32(fmt_4g, 16, 0xFFFFFFF0);
  std::string riff_4g = good;
  Put32(riff_4g, 4, 0xFFFFFFF0);
  std::string many_chunks;
  for (int i = 0; i < 20000; ++i) many_chunks += Chunk("junk", "");
  return {
      {"header cut after 10 bytes", good.substr(0, 10), kSilent},
      {"fmt chunk cut short", Riff(Chunk("fmt ", FmtBody(1, 1, 44100, 16).substr(0, 8))), kSilent},
      {"data chunk cut short", good.substr(0, good.size() - 300), 50},
      {"data chunk claiming 4 GB", data_4g, 200},
      {"RIFF size claiming 4 GB", riff_4g, 200},
      {"fmt chunk claiming 4 GB", fmt_4g, kSilent},
      {"no RIFF header, data chunk claiming 4 GB", data_4g.substr(8), 200},
      {"no data chunk", Riff(fmt16), kSilent},
      // The reader wants the format before the samples: unusual, but silent.
      {"data before fmt", Riff(Chunk("data", tone) + fmt16), kSilent},
      {"torn last frame", MakeWav(1, 1, 44100, 16, tone + "\x01"), 200},
      {"24-bit samples", MakeWav(1, 1, 44100, 24, s24), 200},
      {"32-bit float samples", MakeWav(3, 1, 44100, 32, f32), 200},
      {"6 channels", MakeWav(1, 6, 44100, 16, Tone16(100, 6)), 100},
      {"8-bit at 22050 Hz", MakeWav(1, 1, 22050, 8, std::string(100, '\x90')), 200},
      {"sample rate 0", MakeWav(1, 1, 0, 16, tone), kSilent},
      {"sample rate 1 Hz, 200 KB", MakeWav(1, 1, 1, 8, std::string(200000, '\x80')), kSilent},
      {"0 channels", MakeWav(1, 0, 44100, 16, tone), kSilent},
      {"12-bit samples", MakeWav(1, 1, 44100, 12, tone), kSilent},
      {"0-bit samples", MakeWav(1, 1, 44100, 0, tone), kSilent},
      {"MP3 format tag", MakeWav(0x55, 1, 44100, 16, tone), kSilent},
      {"20000 empty chunks before the data", Riff(fmt16 + many_chunks + Chunk("data", tone)),
       kSilent},
      {"a BMP named .wav", MakeBmp(20, 20, 24), kSilent},
      {"an empty file", "", kSilent},
  };
}

TEST(HostileSounds, BadFilesAreSilentAndUnusualValidOnesPlayConverted) {
  TempDir dir;
  for (const SoundCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    WriteBytes("x.wav", c.bytes);
    sb::Mixer m;
    const int h = m.LoadSound("x.wav");
    if (c.samples == kSilent) {
      EXPECT_EQ(h, 0);
      m.Play(h);
      EXPECT_EQ(m.ActiveVoices(), 0);
      continue;
    }
    ASSERT_NE(h, 0);
    ASSERT_EQ(m.GetSound(h)->samples.size(), static_cast<size_t>(c.samples));
    // Plays through and retires, overlapping copies included.
    m.Play(h);
    m.Play(h);
    std::vector<int16_t> out(64);
    for (int i = 0; i < 100 && m.ActiveVoices() > 0; ++i) m.Mix(out.data(), 64);
    EXPECT_EQ(m.ActiveVoices(), 0);
  }
}

TEST(HostileSounds, ConvertedSamplesKeepTheirValues) {
  TempDir dir;
  sb::Mixer m;
  // 24-bit 0x201000 and float 0.5 become 16-bit 0x2010 and 16384 (the
  // conversion goes through float, so within one step).
  std::string s24, f32;
  for (int i = 0; i < 4; ++i) {
    s24 += std::string("\x00\x10\x20", 3);
    f32 += Le32(0x3F000000);
  }
  WriteBytes("a.wav", MakeWav(1, 1, 44100, 24, s24));
  WriteBytes("b.wav", MakeWav(3, 1, 44100, 32, f32));
  const int a = m.LoadSound("a.wav"), b = m.LoadSound("b.wav");
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NEAR(m.GetSound(a)->samples[0], 0x2010, 1);
  EXPECT_NEAR(m.GetSound(b)->samples[0], 16384, 1);
}

TEST(HostileSounds, BadSoundFilesDoNotStopStartUp) {
  World w(kBare);
  WriteTestAssets();
  WriteBytes("sounds/tank.wav", "RIFF\xFF\xFF\xFF\xFFWAVEfmt ");
  WriteBytes("sounds/bonus.wav", MakeWav(1, 1, 1, 8, std::string(200000, '\x80')));
  fs::create_directory("sounds/grunthit.wav");
  WriteBytes("sounds/newwave.wav", MakeWav(1, 2, 22050, 16, Tone16(100, 2)));
  ASSERT_TRUE(sb::StartUp(w.g, &w.seed));
  EXPECT_FALSE(fs::exists("errors.log"));
  EXPECT_EQ(w.g.snd[sb::kSndTank], 0);
  EXPECT_EQ(w.g.snd[sb::kSndBonus], 0);
  EXPECT_EQ(w.g.snd[sb::kSndGrunthit], 0);
  EXPECT_NE(w.g.snd[sb::kSndNewwave], 0);
  // Playing the silent ones is harmless.
  w.P->PlaySound(w.g.snd[sb::kSndTank]);
  w.P->PlaySound(w.g.snd[sb::kSndNewwave]);
  EXPECT_EQ(w.P->GetMixer().Started(), 1u);
}

}  // namespace
