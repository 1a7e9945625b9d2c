#include "shell/main_loop.h"

namespace sb {

int Main(Game&, const int64_t*) {
  return {};
}
bool StartUp(Game&, const int64_t*) {
  return {};
}
void RunScreenLoop(Game&) {}
void ShutDown(Game&) {}

}  // namespace sb
