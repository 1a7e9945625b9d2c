// The game: no arguments; runs from the folder holding images/, sounds/ and scores/.
#include <memory>

#include "app/main_loop.h"
#include "platform/sdl_backend.h"

int main() {
  auto backend = sb::MakeSdlBackend();
  if (!backend) return 1;
  sb::Platform platform(std::move(backend));
  sb::Game game(platform);
  return sb::Main(game);
}
