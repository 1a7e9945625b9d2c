// Shared helpers for the asset tests: temporary folders, running the
// generator, and reading the bytes of WAV and PNG files.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace at {

namespace fs = std::filesystem;

inline const fs::path kGameDir = SB_GAME_DIR;
inline const fs::path kAssets = fs::path(SB_SOURCE_DIR) / "assets";

struct TempDir {
  fs::path path;
  TempDir() {
    static int n = 0;
    path = fs::temp_directory_path() /
           ("sb_assets_" + std::to_string(::getpid()) + "_" + std::to_string(n++));
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path operator/(const std::string& s) const { return path / s; }
};

inline std::vector<uint8_t> ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ReadText(const fs::path& p) {
  auto b = ReadBytes(p);
  return {b.begin(), b.end()};
}

inline void WriteText(const fs::path& p, const std::string& s) {
  std::ofstream out(p, std::ios::binary);
  out << s;
}

struct RunResult {
  int exit_code = -1;
  std::string err;
};

// Runs the generator with the given arguments, capturing its error output.
inline RunResult RunAssetgen(const std::string& args, const fs::path& scratch) {
  fs::path err = scratch / "stderr.txt";
  std::string cmd =
      std::string("\"") + SB_ASSETGEN + "\" " + args + " 2> \"" + err.string() + "\" > /dev/null";
  int rc = std::system(cmd.c_str());
  RunResult r;
  r.exit_code = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.err = ReadText(err);
  return r;
}

inline uint32_t Le(const std::vector<uint8_t>& b, size_t o, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[o + i];
  return v;
}

inline uint32_t Be32(const std::vector<uint8_t>& b, size_t o) {
  return (uint32_t{b[o]} << 24) | (uint32_t{b[o + 1]} << 16) | (uint32_t{b[o + 2]} << 8) | b[o + 3];
}

struct Wav {
  bool ok = false;
  std::string why;
  int format = 0, channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> samples;
};

// Walks the RIFF chunks; accepts only what the game's sounds must be.
inline Wav ParseWav(const std::vector<uint8_t>& b) {
  Wav w;
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
    w.why = "not RIFF/WAVE";
    return w;
  }
  if (Le(b, 4, 4) + 8 != b.size()) {
    w.why = "RIFF size does not match the file";
    return w;
  }
  size_t pos = 12;
  bool fmt = false;
  while (pos + 8 <= b.size()) {
    std::string id(b.begin() + pos, b.begin() + pos + 4);
    uint32_t len = Le(b, pos + 4, 4);
    if (pos + 8 + len > b.size()) {
      w.why = "chunk " + id + " runs past the end";
      return w;
    }
    if (id == "fmt ") {
      w.format = static_cast<int>(Le(b, pos + 8, 2));
      w.channels = static_cast<int>(Le(b, pos + 10, 2));
      w.rate = static_cast<int>(Le(b, pos + 12, 4));
      w.bits = static_cast<int>(Le(b, pos + 22, 2));
      fmt = true;
    } else if (id == "data") {
      if (!fmt) {
        w.why = "data before fmt";
        return w;
      }
      for (uint32_t i = 0; i + 1 < len; i += 2)
        w.samples.push_back(static_cast<int16_t>(Le(b, pos + 8 + i, 2)));
      w.ok = true;
      return w;
    }
    pos += 8 + len + (len & 1);
  }
  w.why = "no data chunk";
  return w;
}

}  // namespace at
