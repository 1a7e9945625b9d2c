// The whole mutable state of the game in one object. Every game routine
// takes it explicitly, so a test builds a fresh world with `Game g(platform);`.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/catalogue.h"
#include "core/numbers.h"
#include "core/records.h"
#include "platform/platform.h"

namespace sb {

// Sound request flags, in the order they are played (the load order).
enum Snd : int {
  kSndShotborn,
  kSndNewwave,
  kSndPlayerhit,
  kSndBonus,
  kSndGruntborn,
  kSndGruntwalk,
  kSndGrunthit,
  kSndHulkhit,
  kSndBrainborn,
  kSndBrainhit,
  kSndHumansaved,
  kSndHumanhit,
  kSndProgborn,
  kSndProghit,
  kSndProg,
  kSndCruiseborn,
  kSndSpheroid,
  kSndSpheroidhit,
  kSndEnforcer,
  kSndEnforcerhit,
  kSndPlusborn,
  kSndQuark,
  kSndQuarkhit,
  kSndTank,
  kSndTankhit,
  kSndBallborn,
  kSndElectrodehit,
  kSndCount
};
static_assert(kSoundNames.size() == kSndCount, "a name for every sound");

// Image handles, in load order.
struct Images {
  int imgplayer = 0, imghulks = 0, imggrunts = 0, imgprogs = 0, imgbrains = 0, imgcruises = 0,
      imgspheroids = 0, imgenforcers = 0, imgquarks = 0, imgtanks = 0, imgballs = 0, imgpluses = 0,
      imgelectrodes = 0, imghumans = 0, imgshots = 0, imgdeath = 0, imgbits = 0, imgbitsv = 0,
      imgpoints = 0, imgfont = 0, imgarrow = 0, imglogo = 0, imgtitle = 0, imgwave = 0;
};

// The twenty-two behaviour settings (single-precision, reset per wave, ramped per frame).
// clang-format off
#define SB_BEHAVIOUR_FIELDS(X) \
  X(gruntspeed) X(hulkspeed) X(brainspeed) X(cruisespeed) X(progspeed) X(humanspeed) \
  X(spheroidspeed) X(enforcerspeed) X(plusspeed) X(quarkspeed) X(tankspeed) X(ballspeed) \
  X(cruisefirst) X(enforcerfirst) X(plusfirst) X(tankfirst) X(ballfirst) X(cruisegap) \
  X(enforcergap) X(plusgap) X(tankgap) X(ballgap)
// clang-format on
struct Behaviour {
#define SB_DECLARE(name) float name = 0;
  SB_BEHAVIOUR_FIELDS(SB_DECLARE)
#undef SB_DECLARE
};
template <class B, class V>
void VisitBehaviour(B& b, V&& v) {
#define SB_VISIT(name) v(#name, b.name);
  SB_BEHAVIOUR_FIELDS(SB_VISIT)
#undef SB_VISIT
}

// The screens `gamestate` picks; the numbers are traced and stay as they are.
enum class Screen : int32_t {
  kTitle = 0,
  kAttract = 1,
  kPlay = 2,
  kOptions = 3,
  kNameEntry = 4,
  kScores = 5
};

// The twenty entity lists, in the order the digest, the trace and clearing see them.
// clang-format off
#define SB_LISTS(X) \
  X(kxshot) X(kxbit) X(kxplyr) X(kxhuman) X(kxprog) X(kxdeath) X(kxhulk) X(kxgrunt) \
  X(kxbrain) X(kxcruise) X(kxspheroid) X(kxenforcer) X(kxquark) X(kxtank) X(kxplus) \
  X(kxball) X(kxelectrode) X(kxshrinkle) X(kxpoint) X(kxwave)

// The scalar globals the digest and the trace see, each group in trace order
// (the behaviour settings come between the play globals and the colour):
// type, name, starting value.
#define SB_FLOW_GLOBALS(X) \
  X(Screen, gamestate, Screen::kTitle) X(int32_t, quitgame, 0) X(int32_t, speedmul, 2)
#define SB_SETTINGS(X) \
  X(int32_t, lives, 3) X(int32_t, freeman, 25000) X(int32_t, invincible, 0) \
  X(int32_t, sound, 1) X(int32_t, controls, 0) X(int32_t, difficulty, 3)
#define SB_PLAY_GLOBALS(X) \
  X(int32_t, numshots, 0) X(int32_t, rescues, 0) X(int32_t, movex, 0) X(int32_t, movey, 0) \
  X(int32_t, firex, 0) X(int32_t, firey, 0) X(int32_t, firedelay, 0) X(int32_t, spotx, 0) \
  X(int32_t, spoty, 0)
#define SB_COLOUR_GLOBALS(X) \
  X(int32_t, cycr, 250) X(int32_t, cycg, 20) X(int32_t, cycb, 30) \
  X(int32_t, cycdr, -3) X(int32_t, cycdg, 5) X(int32_t, cycdb, 7)
#define SB_SCORE_GLOBALS(X) X(int32_t, lowscore, 0)
// clang-format on

// Thrown out of a screen's frame loop to end a run early (simulator frame
// limit, a script that ran out); caught at the top of the run.
struct StopRun {
  int status = 0;
};

struct Game {
  explicit Game(Platform& platform) : P(platform) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& P;

  // --- entity lists, one per kind ---
#define SB_DECLARE_LIST(kind) TList<kind> kind##_list;
  SB_LISTS(SB_DECLARE_LIST)
#undef SB_DECLARE_LIST

  kxplyr* plyr = nullptr;  // created at start-up, never removed
  kxwave* wave = nullptr;  // the current wave record

  // --- screen flow ---
#define SB_DECLARE_GLOBAL(type, name, start) type name = start;
  SB_FLOW_GLOBALS(SB_DECLARE_GLOBAL)
  std::array<int32_t, 238> keytable{};

  // --- settings (player adjustable) ---
  SB_SETTINGS(SB_DECLARE_GLOBAL)
  // Wave-table row (and level) a game starts at; only the simulator and tests
  // change it, to reach late waves quickly.
  int32_t startwave = 1;

  // --- constant tables (one spare element stays 0) ---
  float dirx[9] = {};
  float diry[9] = {};
  float bitspeeds[13] = {};
  float diffscale[7] = {};
  std::string onoff[3];

  // --- behaviour settings and play globals ---
  Behaviour beh;
  SB_PLAY_GLOBALS(SB_DECLARE_GLOBAL)
  int32_t req[kSndCount] = {};

  // --- cycling colour ---
  SB_COLOUR_GLOBALS(SB_DECLARE_GLOBAL)

  // --- high scores ---
  int32_t hiscores[11] = {};
  int32_t hiwaves[11] = {};
  std::string hinames[11];
  SB_SCORE_GLOBALS(SB_DECLARE_GLOBAL)
#undef SB_DECLARE_GLOBAL
  int32_t namechars[4] = {};

  // --- assets ---
  Images img;
  int snd[kSndCount] = {};

  // --- replays (set by the program; no part of the game's state) ---
  bool record_replays = false;
  std::string last_replay;  // the text of the last game's replay
  // Watches table entry 0..9's replay (the table screen's digit keys).
  void (*watch_entry)(Game& g, int entry) = nullptr;
};

// Calls v(name, value) for every scalar global of the game state (not the
// lists, tables or high scores), by its game name.
template <class G, class V>
void VisitGlobals(G& g, V&& v) {
#define SB_VISIT_GLOBAL(type, name, start) v(#name, g.name);
  SB_FLOW_GLOBALS(SB_VISIT_GLOBAL)
  SB_SETTINGS(SB_VISIT_GLOBAL)
  SB_PLAY_GLOBALS(SB_VISIT_GLOBAL)
  VisitBehaviour(g.beh, v);
  SB_COLOUR_GLOBALS(SB_VISIT_GLOBAL)
  SB_SCORE_GLOBALS(SB_VISIT_GLOBAL)
#undef SB_VISIT_GLOBAL
}

// Calls f(name, list) for the twenty lists in order.
template <class G, class F>
void VisitLists(G& g, F&& f) {
#define SB_VISIT_LIST(kind) f(#kind, g.kind##_list);
  SB_LISTS(SB_VISIT_LIST)
#undef SB_VISIT_LIST
}

inline void AddScore(Game& g, int32_t points) {
  g.plyr->score = WrapAdd(g.plyr->score, points);
}
inline void Raise(Game& g, Snd s) {
  g.req[s] = 1;
}

}  // namespace sb
