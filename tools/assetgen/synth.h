// Sound recipes (*.sfx): a few voices mixed, levelled to a peak and faded in
// and out, rendered to 16-bit mono PCM.
//
//   rate 22050            samples per second (22050 or 44100)
//   length S              seconds (default: end of the last voice)
//   peak DB               level of the loudest sample, dBFS (at most -1)
//   fade IN OUT           seconds of fade at each end (default 0.002 0.01)
//   echo DELAY FEEDBACK   a simple repeating echo on the mix
//   voice ... end         one sound source:
//     wave sine|square|triangle|saw|noise   (noise: pitch is its change rate)
//     duty D [D2]         square pulse width, sweeping from D to D2
//     start S, length S   when it sounds
//     pitch F [F2 [lin|exp]]   frequency in Hz, swept over the voice
//     arp STEP SEMITONES...    steps through pitch offsets every STEP seconds
//     vibrato RATE SEMITONES, tremolo RATE DEPTH
//     env ATTACK HOLD DECAY [CURVE]   amplitude shape (decay to silence)
//     gain G
//     lowpass F [F2], highpass F     one-pole filters (cut-off sweeps)
//     seed N              noise seed
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "source.h"

namespace assetgen {

struct Pcm {
  int rate = 22050;
  std::vector<int16_t> samples;
};

Pcm BuildSound(const Source& src);
std::vector<uint8_t> EncodeWav(const Pcm& pcm);

}  // namespace assetgen
