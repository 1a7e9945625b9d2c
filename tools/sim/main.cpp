// swarmbreak-sim: the game without a window, for replays, traces and bots.
#include <cstdio>
#include <string>
#include <vector>

#include "run.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return sim::SimMain(args, stdout, stderr);
}
