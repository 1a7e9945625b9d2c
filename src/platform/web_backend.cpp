#include "platform/web_backend.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>

#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/platform.h"
#include "platform/web_keys.h"

// The page's side (web/page.js keeps Module.sb).
// clang-format off
EM_JS(void, sb_present, (const uint8_t* rgba), {
  Module.sb.present(HEAPU8.subarray(rgba, rgba + 640 * 480 * 4));
});
EM_JS(void, sb_shot, (int frame, const uint8_t* rgba), {
  Module.sb.shot(frame, HEAPU8.slice(rgba, rgba + 640 * 480 * 4));
});
// Next queued event: 0 none, 1 key down, 2 key up, 3 focus changed; the
// key's code and its KeyboardEvent.key are written to code and key.
EM_JS(int, sb_next_event, (char* code, char* key, int cap), {
  const e = Module.sb.events.shift();
  if (!e) return 0;
  stringToUTF8(e.code || "", code, cap);
  stringToUTF8(e.key || "", key, cap);
  return e.kind;
});
// The first connected pad into out[8]: buttons left, bottom, right, top,
// back, start, then x and y (-1, 0, 1). 0 when no pad is connected.
EM_JS(int, sb_read_pad, (int* out), {
  return Module.sb.readPad(HEAP32.subarray(out >> 2, (out >> 2) + 8));
});
EM_JS(int, sb_audio_running, (), { return Module.sb.audioRunning() ? 1 : 0; });
EM_JS(void, sb_audio_push, (const int16_t* s, int n), {
  Module.sb.playSamples(HEAP16.subarray(s >> 1, (s >> 1) + n));
});
EM_JS(int, sb_fullscreen, (), { return document.fullscreenElement ? 1 : 0; });
EM_JS(void, sb_request_fullscreen, (), { Module.sb.requestFullscreen(); });
EM_JS(void, sb_script_done, (int frames), { Module.sb.scriptDone(frames); });
// clang-format on

namespace sb {

namespace {

// A scripted run hands the page a turn every this many Delays.
constexpr int64_t kYieldEvery = 32;
// Never more sound at once than this (after the tab slept, say).
constexpr uint64_t kMaxFeed = Mixer::kRate / 4;

}  // namespace

WebBackend::WebBackend(std::unique_ptr<WebScript> script)
    : script_(std::move(script)), rgba_(size_t{kScreenW} * kScreenH * 4, 255) {
  if (script_) player_ = std::make_unique<sim::ScriptPlayer>(script_->changes);
  start_ms_ = emscripten_get_now();
}

WebBackend::~WebBackend() = default;

void WebBackend::Begin(InputState& input) {
  if (!player_) return;
  sink_ = std::make_unique<sim::InputStateSink>(input);
  player_->ApplyUpTo(1, *sink_);
}

bool WebBackend::OpenWindow(bool fullscreen) {
  moments_.Opened();
  if (fullscreen && !script_) sb_request_fullscreen();
  return true;
}

bool WebBackend::IsFullScreen() const {
  return sb_fullscreen() != 0;
}

void WebBackend::Present(const uint32_t* pixels, int sync) {
  (void)sync;  // the page shows frames at its own refresh
  const bool flip = moments_.Presented();
  uint8_t* out = rgba_.data();
  for (size_t i = 0; i < size_t{kScreenW} * kScreenH; ++i, out += 4) {
    const uint32_t c = pixels[i];
    out[0] = static_cast<uint8_t>(c >> 16);
    out[1] = static_cast<uint8_t>(c >> 8);
    out[2] = static_cast<uint8_t>(c);
  }
  sb_present(rgba_.data());
  if (flip) {
    ++frame_;
    if (script_) OnFlip();
  }
  if (on_present) on_present();
}

void WebBackend::PumpEvents(InputState& input) {
  input_ = &input;
  if (script_) {
    if (moments_.Pumped()) Wait();
    return;
  }
  char code[64], key[64];
  for (int kind; (kind = sb_next_event(code, key, sizeof code)) != 0;) {
    if (kind == 3) {
      input.FocusChanged();
      continue;
    }
    int codes[2];
    const int n = VirtualKeysOfCode(code, key, codes);
    for (int i = 0; i < n; ++i) input.SetKey(codes[i], kind == 1);
  }
  ReadPad(input);
  moments_.Pumped();  // no busy-poll limit outside a scripted run
}

void WebBackend::ReadPad(InputState& in) {
  int pad[8] = {};
  sb_read_pad(pad);  // all zero without a pad: nothing held
  for (int i = 0; i < 6; ++i) in.SetJoyButton(i + 1, pad[i] != 0);
  in.SetJoyAxes(pad[6], pad[7]);
}

uint32_t WebBackend::Millis() {
  if (script_) return clock_;
  return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now() - start_ms_));
}

void WebBackend::Delay(int ms) {
  const bool waiting = moments_.Paused();
  if (script_) {
    if (ms > 0) clock_ += static_cast<uint32_t>(ms);
    if (mixer_ && ms > 0) mixer_->Advance(ms * Mixer::kRate / 1000);
    if (++delays_ % kYieldEvery == 0) emscripten_sleep(0);
    if (waiting) Wait();
    return;
  }
  emscripten_sleep(static_cast<unsigned>(std::max(ms, 0)));
  FeedAudio();
}

// The sound due since the last feed: mixed and queued in Web Audio once the
// page has started it, else let pass unheard so voices still end.
void WebBackend::FeedAudio() {
  if (!mixer_) return;
  const uint64_t due =
      static_cast<uint64_t>((emscripten_get_now() - start_ms_) * Mixer::kRate / 1000.0);
  if (due <= mixed_) return;
  const uint64_t n = std::min(due - mixed_, kMaxFeed);
  mixed_ = due;
  if (sb_audio_running() == 0) {
    mixer_->Advance(static_cast<int>(n));
    return;
  }
  mix_.resize(n);
  mixer_->Mix(mix_.data(), static_cast<int>(n));
  sb_audio_push(mix_.data(), static_cast<int>(n));
}

void WebBackend::OnFlip() {
  for (int64_t f : script_->shots)
    if (f == frame_) sb_shot(static_cast<int>(frame_), rgba_.data());
  if (script_->frames && frame_ >= script_->frames) EndScript();
  if (sink_) player_->ApplyUpTo(frame_ + 1, *sink_);
}

// The game waits for a key without presenting frames: the script's next
// change, whatever its frame; nothing left ends the run.
void WebBackend::Wait() {
  if (!sink_ || !player_->ApplyNext(*sink_)) EndScript();
}

void WebBackend::EndScript() {
  sb_script_done(static_cast<int>(frame_));
  for (;;) emscripten_sleep(1000);  // the page stays as it is
}

}  // namespace sb
