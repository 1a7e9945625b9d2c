// The game; runs from the folder holding images/, sounds/ and scores/.
//   swarmbreak                  plays
//   swarmbreak --replay FILE    shows a recorded game, then ends (also --replay=FILE)
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/main_loop.h"
#include "app/replay.h"
#include "core/version.h"
#include "platform/sdl_backend.h"

int main(int argc, char** argv) {
  const char* replay = nullptr;
  if (argc == 3 && std::strcmp(argv[1], "--replay") == 0) {
    replay = argv[2];
  } else if (argc == 2 && std::strncmp(argv[1], "--replay=", 9) == 0 && argv[1][9] != '\0') {
    replay = argv[1] + 9;
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: swarmbreak [--replay FILE]\n");
    return 2;
  }
  sb::Replay r;
  if (replay) {
    sb::ReplayError e;
    if (!sb::ReadReplayFile(replay, r, e)) {
      std::fprintf(stderr, "swarmbreak: %s\n", sb::ReplayErrorText(replay, e).c_str());
      return 2;
    }
    if (r.rules != sb::kRulesVersion) {
      std::fprintf(stderr, "swarmbreak: %s: %s\n", replay, sb::RulesMismatch(r).c_str());
      return 3;
    }
  }
  auto backend = sb::MakeSdlBackend();
  if (!backend) return 1;
  sb::Platform platform(std::move(backend));
  sb::Game game(platform);
  if (replay) {
    if (!sb::StartUp(game)) return 1;
    sb::WatchReplay(game, r);
    platform.CloseDisplay();
    return 0;
  }
  game.record_replays = true;
  game.watch_entry = sb::WatchTableEntry;
  return sb::Main(game);
}
