// Turning BMP and WAV files into pixels and samples. The shared loaders
// (ImageStore, Mixer) check the file and the size caps and call these; each
// build links one decoder behind the unprefixed names: SDL's readers on the
// desktop (decode_sdl.cpp), our own plain readers in the browser
// (decode_plain.cpp via decode_use_plain.cpp). The plain readers are built
// on the desktop too, so tests can hold the two to the same output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sb {

struct Bitmap;

// Little-endian fields of file headers.
inline uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint16_t ReadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Converted sound from one file is bounded: a file that claims a sample rate
// of 1 Hz would otherwise ask for 44100 bytes per byte of data.
inline constexpr uint64_t kMaxConvertBytes = uint64_t{256} << 20;

// The first bytes of a BMP file that HeaderAcceptable looks at.
inline constexpr size_t kBmpHeaderBytes = 34;

// The sides are within the caps (kMaxImageSide, kMaxImagePixels).
bool SizeAcceptable(int64_t w, int64_t h);
// A BMP header (the first `got` bytes of the file, at most kBmpHeaderBytes
// looked at) announces a picture within the caps and a pixel method we
// decode. Checked before anything is allocated from the header's numbers.
bool HeaderAcceptable(const uint8_t* hdr, size_t got);

// Decodes the BMP file at `path` (already known to be a regular file) into
// 0x00RRGGBB rows, top row first; false when unreadable, corrupt or too
// large.
bool DecodeBmp(const std::string& path, Bitmap& out);
// Decodes a whole WAV file's bytes into signed 16-bit mono samples at the
// mixer's rate; false when corrupt or not convertible. May rewrite `bytes`.
bool DecodeWav(std::vector<uint8_t>& bytes, std::vector<int16_t>& out);

namespace plain {
bool DecodeBmp(const std::string& path, Bitmap& out);
bool DecodeWav(std::vector<uint8_t>& bytes, std::vector<int16_t>& out);
}  // namespace plain

}  // namespace sb
