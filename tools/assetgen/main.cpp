// assetgen: turns the readable sources under assets/ into the game's images
// and sounds, and draws a contact sheet of the images for review.
//
//   assetgen --assets DIR --out GAMEDIR
//   assetgen --contact-sheet OUT.png --images DIR [--palette PALETTE.pal]
//   add --only FILE.bmp to either to make or show just one image
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "art.h"
#include "catalogue.h"
#include "platform/image_write.h"
#include "sheet.h"
#include "source.h"
#include "svg.h"
#include "synth.h"

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

constexpr int kLogoMaxW = 80, kLogoMaxH = 45;
constexpr int kIconSide = 32;

int Usage() {
  std::fprintf(stderr,
               "usage: assetgen --assets DIR --out GAMEDIR\n"
               "       assetgen --contact-sheet OUT.png --images DIR [--palette FILE.pal]\n");
  return 2;
}

std::string Base(std::string_view file) {
  std::string s(file);
  return s.substr(0, s.rfind('.'));
}

// Every source file of a kind must be one the game loads.
void CheckNoStrays(const fs::path& dir, const std::string& ext,
                   const std::set<std::string>& known) {
  if (!fs::is_directory(dir)) return;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().extension() != ext) continue;
    if (!known.count(e.path().stem().string()))
      throw SourceError(e.path().string(), 0,
                        "not one of the game's files (names come from the asset catalogue)");
  }
}

void Check(const ArtImage& art, const std::string& src) {
  Pixels all = art.Compose();
  for (const ImageCut& cut : kImageCuts) {
    if (cut.file != art.name) continue;
    if (cut.cw == 0) {
      if (art.frames != 1) throw SourceError(src, 0, art.name + " must be a single picture");
      if (art.name == "tessik.bmp" && (all.w > kLogoMaxW || all.h > kLogoMaxH))
        throw SourceError(src, 0, "the emblem must fit 80 x 45 pixels");
      continue;
    }
    int cells = (all.w / cut.cw) * (all.h / cut.ch);
    if (cells < cut.frames || all.w % cut.cw || all.h % cut.ch)
      throw SourceError(src, 0,
                        art.name + " is " + std::to_string(all.w) + "x" + std::to_string(all.h) +
                            ", which does not cut into " + std::to_string(cut.frames) +
                            " cells of " + std::to_string(cut.cw) + "x" + std::to_string(cut.ch));
  }
}

void WriteBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw SourceError(p.string(), 0, "cannot write the file");
}

void WriteOrThrow(bool ok, const fs::path& p) {
  if (!ok) throw SourceError(p.string(), 0, "cannot write the file");
}

// Icons: the emblem's icon region, opaque where drawn, clear elsewhere.
std::vector<uint32_t> Scaled(const Pixels& icon, int zoom) {
  int w = icon.w * zoom, h = icon.h * zoom;
  std::vector<uint32_t> out(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t c = icon.At(x / zoom, y / zoom);
      out[static_cast<size_t>(y) * w + x] = c ? (0xff000000u | c) : 0;
    }
  return out;
}

// Halves an RGBA picture with a 2x2 box filter, weighting colour by alpha.
std::vector<uint32_t> Halve(const std::vector<uint32_t>& in, int w, int h) {
  std::vector<uint32_t> out(static_cast<size_t>(w / 2) * (h / 2));
  for (int y = 0; y < h / 2; ++y)
    for (int x = 0; x < w / 2; ++x) {
      uint32_t a = 0, r = 0, g = 0, b = 0;
      for (int k = 0; k < 4; ++k) {
        uint32_t c = in[static_cast<size_t>(2 * y + k / 2) * w + 2 * x + k % 2];
        uint32_t ca = c >> 24;
        a += ca;
        r += ((c >> 16) & 0xff) * ca;
        g += ((c >> 8) & 0xff) * ca;
        b += (c & 0xff) * ca;
      }
      out[static_cast<size_t>(y) * (w / 2) + x] =
          a ? ((a / 4) << 24) | ((r / a) << 16) | ((g / a) << 8) | (b / a) : 0;
    }
  return out;
}

int Generate(const fs::path& assets, const fs::path& out, const std::string& only) {
  // Read and build everything first, so a bad source writes nothing.
  std::vector<ArtImage> images;
  std::set<std::string> image_bases;
  fs::path pal = assets / "images" / "palette.pal";
  if (!fs::exists(pal)) throw SourceError(pal.string(), 0, "missing master palette");
  const MasterPalette master = MasterPalette::Parse(Source::Load(pal.string()));
  for (const ImageCut& cut : kImageCuts) {
    std::string base = Base(cut.file);
    if (!image_bases.insert(base).second) continue;
    if (!only.empty() && only != cut.file) continue;
    fs::path src = assets / "images" / (base + ".art");
    if (!fs::exists(src))
      throw SourceError(src.string(), 0, "missing source for images/" + std::string(cut.file));
    ArtImage art = BuildArt(Source::Load(src.string()), std::string(cut.file), master);
    Check(art, src.string());
    images.push_back(std::move(art));
  }
  CheckNoStrays(assets / "images", ".art", image_bases);
  if (!only.empty()) {
    if (images.empty()) throw SourceError(only, 0, "not an image the game loads");
    fs::create_directories(out / "images");
    Pixels p = images[0].Compose();
    fs::path dst = out / "images" / images[0].name;
    WriteOrThrow(sb::WriteBmp(dst.string(), p.px.data(), p.w, p.h), dst);
    return 0;
  }

  std::vector<std::pair<std::string, Pcm>> sounds;
  std::set<std::string> sound_names;
  for (std::string_view name : kSounds) {
    fs::path src = assets / "sounds" / (std::string(name) + ".sfx");
    if (!fs::exists(src))
      throw SourceError(src.string(), 0, "missing source for sounds/" + std::string(name) + ".wav");
    sounds.emplace_back(std::string(name), BuildSound(Source::Load(src.string())));
    sound_names.insert(std::string(name));
  }
  CheckNoStrays(assets / "sounds", ".sfx", sound_names);

  const ArtImage* logo = nullptr;
  for (const ArtImage& a : images)
    if (a.name == "tessik.bmp") logo = &a;
  const std::string logo_src = (assets / "images" / "tessik.art").string();
  if (!logo || !logo->has_icon)
    throw SourceError(logo_src, 0, "the emblem needs an 'icon X Y 32 32' region");
  if (logo->icon_w != kIconSide || logo->icon_h != kIconSide)
    throw SourceError(logo_src, 0, "the icon region must be 32 x 32");

  fs::create_directories(out / "images");
  fs::create_directories(out / "sounds");
  fs::create_directories(out / "icons" / "48x48");
  fs::create_directories(out / "icons" / "128x128");
  for (const ArtImage& a : images) {
    Pixels p = a.Compose();
    fs::path dst = out / "images" / a.name;
    WriteOrThrow(sb::WriteBmp(dst.string(), p.px.data(), p.w, p.h), dst);
  }
  for (const auto& [name, pcm] : sounds)
    WriteBytes(out / "sounds" / (name + ".wav"), EncodeWav(pcm));

  Pixels whole = logo->Compose();
  Pixels icon(kIconSide, kIconSide);
  for (int y = 0; y < kIconSide; ++y)
    for (int x = 0; x < kIconSide; ++x)
      icon.At(x, y) = whole.At(logo->icon_x + x, logo->icon_y + y);
  fs::path ib = out / "images" / "icon.bmp";
  WriteOrThrow(sb::WriteBmp(ib.string(), icon.px.data(), kIconSide, kIconSide), ib);
  std::vector<uint32_t> big = Scaled(icon, 4);
  fs::path p128 = out / "icons" / "128x128" / "swarmbreak.png";
  WriteOrThrow(sb::WritePngRgba(p128.string(), big.data(), 128, 128), p128);
  std::vector<uint32_t> mid = Halve(Scaled(icon, 3), 96, 96);
  fs::path p48 = out / "icons" / "48x48" / "swarmbreak.png";
  WriteOrThrow(sb::WritePngRgba(p48.string(), mid.data(), 48, 48), p48);
  fs::path svg = out / "icons" / "scalable" / "swarmbreak.svg";
  WriteOrThrow(WriteIconSvg(svg.string(), icon), svg);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> opt;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("--", 0) != 0 || i + 1 >= argc) return Usage();
    opt[a] = argv[++i];
  }
  try {
    if (opt.count("--contact-sheet")) {
      if (!opt.count("--images") || opt.size() != 2 + opt.count("--only") + opt.count("--palette"))
        return Usage();
      std::optional<MasterPalette> pal;
      if (opt.count("--palette")) pal = MasterPalette::Parse(Source::Load(opt["--palette"]));
      std::string err = WriteContactSheet(opt["--contact-sheet"], opt["--images"], opt["--only"],
                                          pal ? &*pal : nullptr);
      if (!err.empty()) {
        std::fprintf(stderr, "assetgen: error: %s\n", err.c_str());
        return 1;
      }
      return 0;
    }
    if (!opt.count("--assets") || !opt.count("--out") || opt.size() != 2 + opt.count("--only"))
      return Usage();
    return Generate(opt["--assets"], opt["--out"], opt["--only"]);
  } catch (const SourceError& e) {
    std::fprintf(stderr, "%s\n", e.Report().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: error: %s\n", e.what());
    return 1;
  }
}
