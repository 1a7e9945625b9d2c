// Sound files from the player's disk: arbitrary bytes as a WAV, loaded,
// played several times over and mixed. Input: 2 parameter bytes, then the
// file.  0 voices to start (low 3 bits) and a second sound (bit 3)
//         1 mix buffer sizes
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "platform/mixer.h"

namespace {

constexpr int kChunks[8] = {1, 7, 64, 441, 512, 1024, 4096, 3};
// Enough to hear several plays through; a very long sound is cut short here.
constexpr int64_t kMixLimit = 1 << 18;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchDir() + "/sound.wav";
  fuzz::Bytes in(data, size);
  const uint8_t vsel = in.U8(), csel = in.U8();
  if (!fuzz::WriteFileBytes(path, in.Rest(), in.RestSize())) return 0;

  sb::Mixer mixer;
  const int h = mixer.LoadSound(path);
  if (h == 0) {
    FUZZ_CHECK(mixer.GetSound(1) == nullptr);
    mixer.Play(0);
    mixer.Play(1);
    FUZZ_CHECK(mixer.ActiveVoices() == 0);
    return 0;
  }
  const sb::Mixer::Sound* s = mixer.GetSound(h);
  FUZZ_CHECK(s != nullptr);
  const int beep = (vsel & 8) ? mixer.AddSound(std::vector<int16_t>(300, 20000)) : 0;

  const int voices = vsel & 7;
  for (int i = 0; i < voices; ++i) mixer.Play(h);
  mixer.Play(beep);
  mixer.Play(h + 7);  // names nothing
  const int expect = (s->samples.empty() ? 0 : voices) + (beep ? 1 : 0);
  FUZZ_CHECK(mixer.ActiveVoices() == expect);

  std::vector<int16_t> out(4096);
  int64_t mixed = 0;
  for (int k = 0; mixer.ActiveVoices() > 0 && mixed < kMixLimit; ++k) {
    const int n = kChunks[(csel >> (k % 3)) & 7];
    mixer.Mix(out.data(), n);
    mixed += n;
    if (k == 2) mixer.Play(h);  // a voice starting mid-stream
  }
  // Every voice retires once its samples have been mixed.
  if (mixed < kMixLimit) {
    FUZZ_CHECK(mixer.ActiveVoices() == 0);
    if (voices > 0) FUZZ_CHECK(static_cast<size_t>(mixed) >= s->samples.size());
  }
  return 0;
}
