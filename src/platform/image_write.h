// Writing pixel buffers to disk: 24-bit BMP and uncompressed PNG. No
// dependencies, so tools and tests can use it without SDL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sb {

// pixels: w*h values 0x00RRGGBB, row-major from the top-left. Returns false
// on bad arguments or any write error.
bool WriteBmp(const std::string& path, const uint32_t* pixels, int w, int h);
bool WritePng(const std::string& path, const uint32_t* pixels, int w, int h);
// As WritePng, with an alpha channel: pixels are 0xAARRGGBB.
bool WritePngRgba(const std::string& path, const uint32_t* pixels, int w, int h);

// The encoded file contents, for callers that want the bytes.
std::vector<uint8_t> EncodeBmp(const uint32_t* pixels, int w, int h);
std::vector<uint8_t> EncodePng(const uint32_t* pixels, int w, int h);
std::vector<uint8_t> EncodePngRgba(const uint32_t* pixels, int w, int h);

uint32_t Crc32(const uint8_t* data, size_t n);
uint32_t Adler32(const uint8_t* data, size_t n);

}  // namespace sb
