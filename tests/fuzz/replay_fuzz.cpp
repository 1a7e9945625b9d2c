// A replay file from anywhere: arbitrary bytes parsed as a replay. A replay
// the reader accepts writes its input lines back to the same changes, and a
// short one plays to a verdict on a fresh headless game.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/replay.h"
#include "core/replay.h"
#include "fuzz_common.h"
#include "platform/headless_backend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  sb::Replay r;
  sb::ReplayError e;
  if (!sb::ParseReplay(text, r, e)) {
    FUZZ_CHECK(!e.what.empty());
    return 0;
  }
  FUZZ_CHECK(r.has_end && r.rules >= 1);
  int64_t last = 0;
  for (const sb::ReplayInput& in : r.inputs) {
    FUZZ_CHECK(in.frame >= last && in.frame <= sb::kReplayMaxFrame);
    last = in.frame;
    const std::string line = "swarmbreak replay 1\nrules 1\n" +
                             sb::ReplayInputLine(in.frame, in.change) + "\nend frames " +
                             std::to_string(in.frame) + "\n";
    sb::Replay back;
    FUZZ_CHECK(sb::ParseReplay(line, back, e));
    FUZZ_CHECK(back.inputs.size() == 1);
    const sb::InputChange& a = back.inputs[0].change;
    FUZZ_CHECK(a.kind == in.change.kind && a.code == in.change.code && a.value == in.change.value);
  }
  if (r.end_frames > 600) return 0;  // long games are for the tests, not each fuzz input
  auto P = sb::MakeHeadlessPlatform();
  P->SetDrawingEnabled(false);
  P->OpenDisplay(640, 480, 0, 0, 0);  // frames are counted only when shown
  sb::Game g(*P);
  sb::ReadyForReplay(g);
  const sb::ReplayVerdict v = sb::VerifyReplay(g, r);
  FUZZ_CHECK(v.status >= 0 && v.status <= 3);
  FUZZ_CHECK(v.frames <= r.end_frames + 1);
  FUZZ_CHECK((v.status == 0) == v.message.empty());
  return 0;
}
