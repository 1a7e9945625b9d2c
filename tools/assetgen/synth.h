// Sound recipes (*.sfx): a few voices rendered 16 times oversampled with
// band-limited oscillators, decimated, levelled by loudness and faded in and
// out, to 16-bit mono PCM. The recipe language is described in
// assets/README.md; in short:
//
//   rate 44100            samples per second (22050 or 44100)
//   length S              seconds (default: end of the last voice)
//   loudness DB           A-weighted level of the loudest 50 ms, dB re full
//                         scale (a full-scale 1 kHz sine reads -3)
//   fade IN OUT, echo DELAY FEEDBACK
//   voice ... end         one sound source:
//     wave sine|square|triangle|saw|noise|pink|metal
//     pitch, duty, amp, fm, ring, filter cut-offs take a PATH:
//       A                 a constant
//       A B [lin|exp]     a glide from A to B over the voice
//       A @T1 B @T2 C ... breakpoints at seconds from the voice's start
//     amp PATH [every P]  breakpoint loudness, repeating every P seconds
//     env ATTACK HOLD DECAY [CURVE], tremolo, vibrato, arp STEP SEMITONES...
//     filter lowpass|highpass|bandpass|notch[24] Q PATH   resonant filter
//     lowpass PATH, highpass PATH   gentle one-pole filters
//     fm RATIO PATH         sine phase modulation at RATIO x pitch, PATH = index
//     ring PATH             ring modulation by a sine of PATH Hz
//     drive G, crush BITS [HZ]   soft saturation, bit and rate reduction
//     gain G, start S, length S, seed N
#pragma once

#include <complex>
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

// Measuring sounds (samples in full-scale units, +-1).
// In-place radix-2 FFT; the size must be a power of two.
void Fft(std::vector<std::complex<double>>& a, bool inverse = false);
// The A-weighting curve in dB (0 at 1 kHz).
double AWeightDb(double hz);
// A-weighted RMS of the loudest 50 ms window in dB re full scale.
double LoudestDbA(const std::vector<double>& x, int rate);
// Share (0..1) of the sound's energy above hz.
double ShareAbove(const std::vector<double>& x, int rate, double hz);
std::vector<double> ToUnit(const std::vector<int16_t>& samples);

}  // namespace assetgen
