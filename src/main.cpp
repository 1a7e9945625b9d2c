// The game: no arguments; runs from the folder holding images/, sounds/ and scores/.
#include <memory>

#include "platform/sdl_backend.h"
#include "shell/main_loop.h"

int main() {
  auto backend = sb::MakeSdlBackend();
  if (!backend) return 1;
  sb::Platform platform(std::move(backend));
  sb::Game game(platform);
  return sb::Main(game);
}
