// Sound effects: samples converted once at load to the mixer's format
// (signed 16-bit mono, 44100 Hz) and any number of one-shot voices summed in
// 32 bits. A look-ahead limiter rides over the sum: while it fits in 16 bits
// the output is the plain sum, sample for sample; before a peak that would
// not fit, the gain glides down in time so that nothing is ever clipped, and
// recovers smoothly afterwards. The audio device (or the headless capture)
// pulls mixed samples with Mix.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sb {

class Mixer {
 public:
  static constexpr int kRate = 44100;

  struct Sound {
    std::vector<int16_t> samples;
  };

  Mixer();
  ~Mixer();
  // Loads a WAV file; 0 when missing, corrupt, too long or not convertible.
  int LoadSound(const std::string& path);
  // Adds an already converted sample (tests, generated sounds).
  int AddSound(std::vector<int16_t> samples);
  const Sound* GetSound(int handle) const;
  // Starts a new voice of the sound; handle 0 or unknown plays nothing.
  // Callers hold the audio lock while audio may be running.
  void Play(int handle);
  // Fills out with the next n mixed samples; finished voices are retired.
  void Mix(int16_t* out, int n);
  // Lets n samples' time pass unheard: every voice moves on as Mix would
  // move it and finished ones are retired, without summing anything (a
  // headless run that does not capture its sound).
  void Advance(int n);
  int ActiveVoices() const { return static_cast<int>(voices_.size()); }
  // Voices started since the mixer was made, in all and of one sound.
  uint64_t Started() const { return started_; }
  uint64_t Started(int handle) const;
  // Beyond this many voices the oldest gives way.
  static constexpr size_t kMaxVoices = 65536;
  // The limiter keeps the sum within this level (-0.2 dBFS; every single
  // sound peaks below it, at most -1 dBFS), looks this many samples ahead (2 ms) and recovers with
  // this time constant (in samples, about 60 ms).
  static constexpr int32_t kCeiling = 32000;
  static constexpr int kLookAhead = 88;
  static constexpr double kRelease = 2646;

 private:
  struct Voice {
    const Sound* sound;
    size_t pos;
  };
  std::vector<Sound*> sounds_;  // owned; never freed while the mixer lives
  std::vector<Voice> voices_;
  std::vector<int32_t> acc_;          // the sum, with kLookAhead samples beyond the block
  std::vector<double> need_;          // the gain each of those samples needs to fit
  double gain_ = 1;                   // the limiter's gain at the end of the last block
  std::vector<uint64_t> started_of_;  // by handle - 1
  uint64_t started_ = 0;
};

}  // namespace sb
