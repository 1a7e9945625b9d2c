// Shared bits of the fuzz targets: a private scratch folder on a RAM disk,
// writing an input to the file the loader under test reads, reading the
// leading parameter bytes, and a check that aborts (which libFuzzer and the
// corpus replay both report as a finding).
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#define FUZZ_CHECK(cond)                                                            \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

namespace fuzz {

// One folder per process (libFuzzer's -jobs run several), removed at exit.
// /dev/shm keeps the per-input file writes off the disk.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::error_code ec;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, ec) || access(base.c_str(), W_OK) != 0)
      base = std::filesystem::temp_directory_path();
    std::string tmpl = (base / "sbfuzz-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    static std::string keep = tmpl;
    std::atexit([] {
      std::error_code e;
      std::filesystem::remove_all(keep, e);
    });
    return tmpl;
  }();
  return dir;
}

inline bool WriteFileBytes(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = (size == 0 || std::fwrite(data, 1, size, f) == size);
  return std::fclose(f) == 0 && ok;
}

// Takes parameter bytes off the front of the input; past the end it gives 0.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : p_(data), n_(size) {}
  uint8_t U8() {
    if (n_ == 0) return 0;
    --n_;
    return *p_++;
  }
  uint16_t U16() { return static_cast<uint16_t>(U8() | U8() << 8); }
  uint32_t U32() { return U16() | static_cast<uint32_t>(U16()) << 16; }
  const uint8_t* Rest() const { return p_; }
  size_t RestSize() const { return n_; }

 private:
  const uint8_t* p_;
  size_t n_;
};

}  // namespace fuzz
