// One simulator run: checks and opens every file first, then drives the real
// game on a headless platform, observing it at each presented frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "options.h"
#include "script.h"
#include "trace.h"

namespace sim {

// What a run needs from the file system, checked before anything starts.
struct Prepared {
  std::vector<Change> script;
  bool has_script = false;
  std::unique_ptr<TraceWriter> trace;
};

// Reads and parses the script, opens the trace, checks that shot and audio
// paths can be written (creating the shots folder), makes every path
// absolute. False with a one-line reason on any fault.
bool PrepareRun(Options& o, Prepared& p, std::string& err);

struct RunResult {
  int status = 0;        // exit status of the run
  bool started = false;  // start-up succeeded (the state is worth a digest)
  int64_t frames = 0;    // presented frames (every Flip)
  uint64_t digest = 0;
  int32_t score = 0, level = 0, men = 0;
  double seconds = 0;  // wall time of the run proper
};

// Runs the prepared simulation; writes problems during the run (a shot that
// could not be saved) to `err`.
RunResult Run(const Options& o, Prepared& p, std::FILE* err);

// The whole program: parse, prepare, run, report. Returns the exit status.
int SimMain(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace sim
