// The game in a browser tab: the same start-up and screen loop as the
// desktop on the web back end, from the page's file system (/game holds the
// bundled images/ and sounds/ and the scores/ kept in IndexedDB).
//
// The page's test mode (index.html?seed=N&script=URL, see web/page.js) runs
// a scripted game from a fixed seed instead of the keyboard.
#include <emscripten.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/main_loop.h"
#include "core/game.h"
#include "platform/web_backend.h"
#include "scores/hiscores.h"

// clang-format off
// A test-mode parameter of the page's address into buf; -1 when absent.
EM_JS(int, sb_param, (const char* name, char* buf, int cap), {
  const v = Module.sb.params.get(UTF8ToString(name));
  if (v === null) return -1;
  stringToUTF8(v, buf, cap);
  return lengthBytesUTF8(v);
});
EM_JS(void, sb_show_error, (const char* text, int once), {
  Module.sb.showError(UTF8ToString(text), once !== 0);
});
EM_JS(void, sb_state, (int frame, int gamestate, int score, int x, int y, int shots), {
  Module.sb.setState({frame, gamestate, score, x, y, shots});
});
EM_JS(void, sb_ended, (int started), { Module.sb.ended(started); });
// Writes the scores folder back to IndexedDB and waits until it is stored.
EM_ASYNC_JS(void, sb_sync_scores, (), {
  await new Promise((done) => FS.syncfs(false, (err) => {
    if (err) console.error("swarmbreak: high scores not stored in the browser: " + err);
    done();
  }));
});
// clang-format on

namespace {

bool Param(const char* name, std::string& out) {
  char buf[256];
  const int n = sb_param(name, buf, sizeof buf);
  if (n < 0) return false;
  out.assign(buf);
  return true;
}

bool IntParam(const char* name, int64_t& out) {
  std::string v;
  if (!Param(name, v)) return false;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), out);
  return r.ec == std::errc() && r.ptr == v.data() + v.size();
}

// The scripted run the page asked for, or null for a real game. The page
// has fetched the script to /game/test.script.
std::unique_ptr<sb::WebScript> ReadScript() {
  std::string url;
  if (!Param("script", url)) return nullptr;
  auto s = std::make_unique<sb::WebScript>();
  std::ifstream in("test.script", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  sim::ScriptError err;
  if (!in || !sim::ParseScript(text.str(), s->changes, err)) {
    sb_show_error(
        ("test script '" + url + "' line " + std::to_string(err.line) + ": " + err.reason).c_str(),
        0);
    return nullptr;
  }
  std::string shots;
  if (Param("shots", shots)) {
    std::istringstream list(shots);
    for (std::string f; std::getline(list, f, ',');) {
      int64_t n = 0;
      if (std::from_chars(f.data(), f.data() + f.size(), n).ec == std::errc())
        s->shots.push_back(n);
    }
  }
  IntParam("frames", s->frames);
  return s;
}

void ShowErrorLog() {
  std::ifstream log("errors.log");
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // lines end in CRLF
    sb_show_error(line.c_str(), 1);
  }
}

}  // namespace

int main() {
  auto script = ReadScript();
  const bool scripted = script != nullptr;
  auto backend = std::make_unique<sb::WebBackend>(std::move(script));
  sb::WebBackend* web = backend.get();
  sb::Platform platform(std::move(backend));
  sb::Game g(platform);
  web->on_present = [&] {
    const sb::kxplyr* p = g.plyr;
    sb_state(static_cast<int>(web->Frames()), static_cast<int>(g.gamestate), p ? p->score : 0,
             p ? p->sx : 0, p ? p->sy : 0, g.numshots);
  };

  int64_t seed = 0;
  const bool seeded = IntParam("seed", seed);
  // Settings a scripted run may ask for, as the simulator's options.
  if (int64_t v = 0; scripted && IntParam("invincible", v)) g.invincible = v != 0;
  if (int64_t v = 0; scripted && IntParam("controls", v)) g.controls = static_cast<int32_t>(v);
  if (scripted) web->Begin(platform.Input());

  if (!sb::StartUp(g, seeded ? &seed : nullptr)) {
    ShowErrorLog();
    sb_ended(0);
    return 1;
  }
  while (g.quitgame == 0) {
    const sb::Screen screen = g.gamestate;
    sb::ScreenLoopStep(g);
    // A page may be closed at any moment: a new entry is saved at once.
    if (screen == sb::Screen::kNameEntry && sb::SaveScores(g)) sb_sync_scores();
  }
  sb::ShutDown(g);
  sb_sync_scores();
  sb_ended(1);
  return 0;
}
