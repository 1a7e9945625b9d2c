// JSON Lines trace: one object per presented frame with the whole game state.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/game.h"

namespace sim {

// Row number 1..100 of the current wave record, 0 when there is none.
int WaveRow(const sb::Game& g);

// Appends one trace line (with its newline) to `out`. The full wave table is
// written when `all_waves` is set, otherwise only the current wave record.
void FormatTraceLine(sb::Game& g, int64_t frame, bool all_waves, std::string& out);

// Appends x as the shortest of %.9g; non-finite values as NaN / Infinity.
void AppendReal(std::string& out, float x);
void AppendInt(std::string& out, int64_t x);

class TraceWriter {
 public:
  TraceWriter() = default;
  ~TraceWriter();
  TraceWriter(const TraceWriter&) = delete;
  TraceWriter& operator=(const TraceWriter&) = delete;

  bool Open(const std::string& path, std::string& err);
  bool IsOpen() const { return f_ != nullptr; }
  // The first line carries the whole wave table.
  bool Write(sb::Game& g, int64_t frame);
  bool Close();

 private:
  std::FILE* f_ = nullptr;
  std::string buf_;
  bool first_ = true;
  bool ok_ = true;
};

}  // namespace sim
