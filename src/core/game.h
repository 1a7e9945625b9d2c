// The whole mutable state of the game in one object. Every game routine
// takes it explicitly, so a test builds a fresh world with `Game g(platform);`.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "entities/records.h"
#include "platform/platform.h"
#include "shell/catalogue.h"

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
struct Behaviour {
  float gruntspeed = 0, hulkspeed = 0, brainspeed = 0, cruisespeed = 0, progspeed = 0,
        humanspeed = 0, spheroidspeed = 0, enforcerspeed = 0, plusspeed = 0, quarkspeed = 0,
        tankspeed = 0, ballspeed = 0, cruisefirst = 0, enforcerfirst = 0, plusfirst = 0,
        tankfirst = 0, ballfirst = 0, cruisegap = 0, enforcergap = 0, plusgap = 0, tankgap = 0,
        ballgap = 0;
};
template <class B, class V>
void VisitBehaviour(B& b, V&& v) {
  v("gruntspeed", b.gruntspeed);
  v("hulkspeed", b.hulkspeed);
  v("brainspeed", b.brainspeed);
  v("cruisespeed", b.cruisespeed);
  v("progspeed", b.progspeed);
  v("humanspeed", b.humanspeed);
  v("spheroidspeed", b.spheroidspeed);
  v("enforcerspeed", b.enforcerspeed);
  v("plusspeed", b.plusspeed);
  v("quarkspeed", b.quarkspeed);
  v("tankspeed", b.tankspeed);
  v("ballspeed", b.ballspeed);
  v("cruisefirst", b.cruisefirst);
  v("enforcerfirst", b.enforcerfirst);
  v("plusfirst", b.plusfirst);
  v("tankfirst", b.tankfirst);
  v("ballfirst", b.ballfirst);
  v("cruisegap", b.cruisegap);
  v("enforcergap", b.enforcergap);
  v("plusgap", b.plusgap);
  v("tankgap", b.tankgap);
  v("ballgap", b.ballgap);
}

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

  // --- entity lists, one per kind, in this order ---
  TList<kxshot> kxshot_list;
  TList<kxbit> kxbit_list;
  TList<kxplyr> kxplyr_list;
  TList<kxhuman> kxhuman_list;
  TList<kxprog> kxprog_list;
  TList<kxdeath> kxdeath_list;
  TList<kxhulk> kxhulk_list;
  TList<kxgrunt> kxgrunt_list;
  TList<kxbrain> kxbrain_list;
  TList<kxcruise> kxcruise_list;
  TList<kxspheroid> kxspheroid_list;
  TList<kxenforcer> kxenforcer_list;
  TList<kxquark> kxquark_list;
  TList<kxtank> kxtank_list;
  TList<kxplus> kxplus_list;
  TList<kxball> kxball_list;
  TList<kxelectrode> kxelectrode_list;
  TList<kxshrinkle> kxshrinkle_list;
  TList<kxpoint> kxpoint_list;
  TList<kxwave> kxwave_list;

  kxplyr* plyr = nullptr;  // created at start-up, never removed
  kxwave* wave = nullptr;  // the current wave record

  // --- screen flow ---
  int32_t gamestate = 0;
  int32_t quitgame = 0;
  int32_t speedmul = 2;
  std::array<int32_t, 238> keytable{};

  // --- settings (player adjustable) ---
  int32_t lives = 3;
  int32_t freeman = 25000;
  int32_t invincible = 0;
  int32_t sound = 1;
  int32_t controls = 0;
  int32_t difficulty = 3;
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
  int32_t numshots = 0;
  int32_t rescues = 0;
  int32_t movex = 0, movey = 0;
  int32_t firex = 0, firey = 0;
  int32_t firedelay = 0;
  int32_t spotx = 0, spoty = 0;
  int32_t req[kSndCount] = {};

  // --- cycling colour ---
  int32_t cycr = 250, cycg = 20, cycb = 30;
  int32_t cycdr = -3, cycdg = 5, cycdb = 7;

  // --- high scores ---
  int32_t hiscores[11] = {};
  int32_t hiwaves[11] = {};
  std::string hinames[11];
  int32_t lowscore = 0;
  int32_t namechars[4] = {};

  // --- assets ---
  Images img;
  int snd[kSndCount] = {};
};

// Calls v(name, value) for every scalar global of the game state (not the
// lists, tables or high scores), by its game name.
template <class G, class V>
void VisitGlobals(G& g, V&& v) {
  v("gamestate", g.gamestate);
  v("quitgame", g.quitgame);
  v("speedmul", g.speedmul);
  v("lives", g.lives);
  v("freeman", g.freeman);
  v("invincible", g.invincible);
  v("sound", g.sound);
  v("controls", g.controls);
  v("difficulty", g.difficulty);
  v("numshots", g.numshots);
  v("rescues", g.rescues);
  v("movex", g.movex);
  v("movey", g.movey);
  v("firex", g.firex);
  v("firey", g.firey);
  v("firedelay", g.firedelay);
  v("spotx", g.spotx);
  v("spoty", g.spoty);
  VisitBehaviour(g.beh, v);
  v("cycr", g.cycr);
  v("cycg", g.cycg);
  v("cycb", g.cycb);
  v("cycdr", g.cycdr);
  v("cycdg", g.cycdg);
  v("cycdb", g.cycdb);
  v("lowscore", g.lowscore);
}

// Calls f(name, list) for the twenty lists in order.
template <class G, class F>
void VisitLists(G& g, F&& f) {
  f("kxshot", g.kxshot_list);
  f("kxbit", g.kxbit_list);
  f("kxplyr", g.kxplyr_list);
  f("kxhuman", g.kxhuman_list);
  f("kxprog", g.kxprog_list);
  f("kxdeath", g.kxdeath_list);
  f("kxhulk", g.kxhulk_list);
  f("kxgrunt", g.kxgrunt_list);
  f("kxbrain", g.kxbrain_list);
  f("kxcruise", g.kxcruise_list);
  f("kxspheroid", g.kxspheroid_list);
  f("kxenforcer", g.kxenforcer_list);
  f("kxquark", g.kxquark_list);
  f("kxtank", g.kxtank_list);
  f("kxplus", g.kxplus_list);
  f("kxball", g.kxball_list);
  f("kxelectrode", g.kxelectrode_list);
  f("kxshrinkle", g.kxshrinkle_list);
  f("kxpoint", g.kxpoint_list);
  f("kxwave", g.kxwave_list);
}

// --- arithmetic the rules rely on, without undefined behaviour ---

// Real to integer, truncating toward zero; NaN gives 0, out of range saturates.
inline int32_t Trunc(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}
// 32-bit wrapping addition (scores).
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
template <class T>
inline T Sgn(T x) {
  return static_cast<T>((x > 0) - (x < 0));
}
inline void AddScore(Game& g, int32_t points) {
  g.plyr->score = WrapAdd(g.plyr->score, points);
}
inline void Raise(Game& g, Snd s) {
  g.req[s] = 1;
}

}  // namespace sb
