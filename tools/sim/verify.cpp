#include "verify.h"

#include <unistd.h>

#include <filesystem>

#include "app/main_loop.h"
#include "app/replay.h"
#include "core/version.h"
#include "platform/headless_backend.h"

namespace sim {
namespace {

struct Outcome {
  sb::ReplayVerdict v;
  bool read = false;  // the file was a readable replay
};

// Verifies a parsed replay in a fresh headless game started in the current folder.
sb::ReplayVerdict VerifyParsed(const sb::Replay& r) {
  auto P = sb::MakeHeadlessPlatform();
  P->SetDrawingEnabled(false);
  sb::Game g(*P);
  const int64_t seed = 0;
  sb::ReplayVerdict v;
  if (!sb::StartUp(g, &seed)) {
    v.status = 2;
    v.message = "the game cannot start here (images missing?)";
    return v;
  }
  return sb::VerifyReplay(g, r);
}

Outcome ReadAndVerify(const std::string& path, sb::Replay& r) {
  Outcome o;
  sb::ReplayError e;
  if (!sb::ReadReplayFile(path, r, e)) {
    o.v.status = 2;
    o.v.message = (e.line > 0 ? "line " + std::to_string(e.line) + ": " : "") + e.what;
    return o;
  }
  o.read = true;
  o.v = VerifyParsed(r);
  return o;
}

std::string Absolute(const std::string& p) {
  std::error_code ec;
  auto a = std::filesystem::absolute(p, ec);
  return ec ? p : a.string();
}

}  // namespace

int VerifyFile(const std::string& path, const std::string& assets, std::FILE* out, std::FILE* err) {
  sb::Replay r;
  sb::ReplayError e;
  if (!sb::ReadReplayFile(path, r, e)) {
    std::fprintf(err, "swarmbreak-sim: %s\n", sb::ReplayErrorText(path, e).c_str());
    return 2;
  }
  if (!assets.empty() && ::chdir(assets.c_str()) != 0) {
    std::fprintf(err, "swarmbreak-sim: cannot enter assets folder '%s'\n", assets.c_str());
    return 2;
  }
  const sb::ReplayVerdict v = VerifyParsed(r);
  if (v.status == 0) {
    std::fprintf(out, "verified: score %d wave %d frames %lld\n", v.score, v.wave,
                 static_cast<long long>(v.frames));
  } else {
    std::fprintf(err, "swarmbreak-sim: %s: %s\n", path.c_str(), v.message.c_str());
  }
  return v.status;
}

int VerifyTable(const std::string& dir, std::FILE* out, std::FILE* err) {
  if (::chdir(dir.c_str()) != 0) {
    std::fprintf(err, "swarmbreak-sim: cannot enter game folder '%s'\n", dir.c_str());
    return 2;
  }
  auto P = sb::MakeHeadlessPlatform();
  P->SetDrawingEnabled(false);
  sb::Game table(*P);
  if (!sb::StartUp(table)) {
    std::fprintf(err, "swarmbreak-sim: '%s' is not a game folder (images missing?)\n", dir.c_str());
    return 2;
  }
  int status = 0;
  for (int i = 0; i < 10; ++i) {
    const std::string path = sb::TableReplayPath(table, i);
    std::fprintf(out, "%2d. %d wave %d %s: ", i + 1, table.hiscores[i], table.hiwaves[i],
                 table.hinames[i].c_str());
    if (!P->FileExists(path)) {
      std::fprintf(out, "without replay\n");
      continue;
    }
    sb::Replay r;
    Outcome o = ReadAndVerify(Absolute(path), r);
    // The replay must prove this entry: its end states the entry's score and wave.
    if (o.v.status == 0 && (r.score != table.hiscores[i] || r.wave != table.hiwaves[i]))
      o.v = {1, "the replay ends with score " + std::to_string(r.score) + " wave " +
                    std::to_string(r.wave) + ", not this entry's"};
    if (o.v.status == 0) {
      std::fprintf(out, "verified (frames %lld)\n", static_cast<long long>(o.v.frames));
    } else {
      std::fprintf(out, "failed: %s\n", o.v.message.c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace sim
