#include "play/play.h"

#include <algorithm>

#include "draw/drawutil.h"
#include "draw/playfield.h"
#include "play/collisions.h"
#include "play/player.h"
#include "play/sound.h"
#include "play/transitions.h"
#include "play/waves.h"
#include "robots/bits.h"
#include "robots/grunts.h"
#include "robots/humans.h"
#include "shell/keys.h"

namespace sb {

namespace {

constexpr int kKeyEscape = 1;  // old-style number
constexpr int kCodeY = 89;     // key codes, read directly
constexpr int kCodeN = 78;
constexpr int kMaxDifficulty = 5;

float DiffScale(const Game& g) {
  // The table has spare zero entries at both ends; never index outside it.
  const int i = std::clamp<int32_t>(g.difficulty, 0, 6);
  return g.diffscale[i];
}

// A speed grows each frame up to its cap; a gap shrinks down to its floor.
void Grow(float& v, float step, float cap) {
  v = v + step;
  if (v > cap) v = cap;
}
void Shrink(float& v, float step, float floor) {
  v = v - step;
  if (v < floor) v = floor;
}

void NextWave(Game& g) {
  WaveOutro(g);
  ClearPlayfield(g);
  g.kxhuman_list.Clear();
  g.plyr->level += 1;
  // Every hundred waves the table repeats one difficulty step harder.
  if (g.plyr->level % 100 == 1) g.difficulty = std::min(g.difficulty + 1, kMaxDifficulty);
  kxwave* next = g.kxwave_list.After(g.wave);
  g.wave = next != nullptr ? next : g.kxwave_list.First();
  ResetBehaviour(g);
  ResetPlayer(g);
  CreateWave(g, g.wave);
  WaveIntro(g, 0);
}

void LoseLife(Game& g) {
  kxplyr& p = *g.plyr;
  if (g.invincible != 0) {
    p.dead = 0;
    return;
  }
  PlayerDeath(g);
  p.men -= 1;
  if (p.men < 0) p.gameover = 1;
  if (p.gameover != 0) return;
  ClearPlayfield(g);
  ResetBehaviour(g);
  ResetPlayer(g);
  RestartWave(g, g.wave);
  WaveIntro(g, 1);
}

void DrawGameOver(Game& g) {
  Colour(g, 0, 0, 0);
  DrawBox(g, 260, 240, 126, 12, 1, -1, -1, -1, 1);
  g.P.SetColor(255, 255, 255);
  DrawFontText(g, 260, 240, "GAME OVER");
}

}  // namespace

void ResetPlayer(Game& g) {
  g.plyr->sx = 320;
  g.plyr->sy = 240;
  g.plyr->dead = 0;
  g.numshots = 0;
  g.rescues = 0;
}

void ResetBehaviour(Game& g) {
  const float d = DiffScale(g);
  const float late = 20.0f * (1.0f - d);  // spawn delays shrink with difficulty
  Behaviour& b = g.beh;
  b.gruntspeed = 0.25f * d;
  b.hulkspeed = 0.3f * d;
  b.brainspeed = 0.25f * d;
  b.cruisespeed = 1.4f * d;
  b.progspeed = 1.7f * d;
  b.humanspeed = 0.35f;
  b.spheroidspeed = 1.1f * d;
  b.enforcerspeed = 1.2f * d;
  b.plusspeed = 4.4f * d;
  b.quarkspeed = 1.55f * d;
  b.tankspeed = 1.1f * d;
  b.ballspeed = 3.45f * d;
  b.cruisefirst = 115.0f + late;
  b.enforcerfirst = 100.0f + late;
  b.plusfirst = 25.0f + late;
  b.tankfirst = 110.0f + late;
  b.ballfirst = 80.0f + late;
  b.cruisegap = 150.0f + late;
  b.enforcergap = 55.0f + late;
  b.plusgap = 40.0f + late;
  b.tankgap = 50.0f + late;
  b.ballgap = 50.0f + late;
}

void RampBehaviour(Game& g) {
  Behaviour& b = g.beh;
  Grow(b.gruntspeed, 0.001f, 4.0f);
  Grow(b.hulkspeed, 0.001f, 4.0f);
  Grow(b.brainspeed, 0.001f, 4.0f);
  Grow(b.cruisespeed, 0.005f, 4.0f);
  Grow(b.spheroidspeed, 0.002f, 4.0f);
  Grow(b.enforcerspeed, 0.002f, 4.0f);
  Grow(b.plusspeed, 0.005f, 6.0f);
  Grow(b.quarkspeed, 0.001f, 4.0f);
  Grow(b.tankspeed, 0.001f, 4.0f);
  Grow(b.ballspeed, 0.001f, 4.0f);
  Shrink(b.cruisegap, 0.01f, 10.0f);
  Shrink(b.enforcergap, 0.01f, 10.0f);
  Shrink(b.plusgap, 0.01f, 10.0f);
  Shrink(b.tankgap, 0.01f, 10.0f);
  Shrink(b.ballgap, 0.01f, 10.0f);
}

bool WaveCleared(Game& g) {
  const kxwave& w = *g.wave;
  return w.grunts_remaining <= 0 && w.brains_remaining <= 0 && w.spheroids_remaining <= 0 &&
         w.quarks_remaining <= 0 && w.tanks_remaining <= 0 && w.enforcers_remaining <= 0 &&
         g.kxbit_list.Empty();
}

void ClearPlayfield(Game& g) {
  g.kxhulk_list.Clear();
  g.kxgrunt_list.Clear();
  g.kxprog_list.Clear();
  g.kxbrain_list.Clear();
  g.kxcruise_list.Clear();
  g.kxspheroid_list.Clear();
  g.kxenforcer_list.Clear();
  g.kxquark_list.Clear();
  g.kxtank_list.Clear();
  g.kxball_list.Clear();
  g.kxplus_list.Clear();
  g.kxelectrode_list.Clear();
  g.kxpoint_list.Clear();
  g.kxbit_list.Clear();
  g.kxdeath_list.Clear();
  g.kxshot_list.Clear();
  g.kxshrinkle_list.Clear();
}

int ConfirmQuit(Game& g) {
  Colour(g, 255, 0, 0);
  DrawBox(g, 90, 190, 480, 32, 1, -1, -1, -1, 1);
  g.P.SetColor(255, 255, 255);
  DrawFontText(g, 120, 200, "Hit Y to quit or N to continue");
  g.P.Flip(-1);
  g.P.ClearKeys();
  int answer = -1;
  for (;;) {
    if (g.P.KeyPresses(kCodeY) != 0) answer = 1;
    if (g.P.KeyPresses(kCodeN) != 0) answer = 0;  // N wins a tie
    if (answer >= 0) break;
    g.P.Delay(1);  // wait for the answer without spinning a core
  }
  g.P.Flip(-1);
  return answer;
}

void PlayGame(Game& g) {
  kxplyr& p = *g.plyr;
  p.gameover = 0;
  p.score = 0;
  // Games start at wave 1; the simulator may start them later in the table.
  p.level = std::max<int32_t>(1, g.startwave);
  p.men = g.lives;
  p.numfreemen = 1;
  p.animcounter = 1;
  p.animdir = 1;
  ResetPlayer(g);
  g.wave = g.kxwave_list.First();
  if (g.wave == nullptr) return;  // no wave table loaded: nothing to play
  for (int i = 1; i < p.level; ++i) {
    kxwave* next = g.kxwave_list.After(g.wave);
    if (next == nullptr) break;
    g.wave = next;
  }
  ResetBehaviour(g);
  CreateWave(g, g.wave);
  WaveIntro(g, 0);

  int quit = 0;
  while (p.gameover == 0 && quit == 0) {
    // The wave test comes first: a hit in the frame the wave ends costs nothing.
    if (WaveCleared(g)) NextWave(g);
    if (p.dead == 1) LoseLife(g);

    g.P.SetColor(255, 255, 255);
    if (p.gameover == 0) {
      ReadControls(g);
      MovePlayer(g);
      UpdateHumans(g);
      UpdateRobots(g);
      CheckCollisions(g);
      MoveShots(g);
      UpdateBits(g);
      UpdateShrinkles(g);
      RampBehaviour(g);
      DrawPlayer(g);
      DrawShots(g);
    }
    // Points, skulls and the status line age and award every frame, also after game over.
    DrawHumans(g);
    DrawRobots(g);
    DrawEffectsAndHud(g);
    if (p.gameover == 1) DrawGameOver(g);

    g.P.Flip(0);
    if (LegacyKeyHit(g, kKeyEscape) != 0) quit = ConfirmQuit(g);
    if (g.P.CloseRequested() != 0) {
      quit = ConfirmQuit(g);
      g.quitgame = 1;  // the program ends once this game returns, whatever the answer
    }
    PlaySoundRequests(g);
    ClearSoundRequests(g);
    g.P.Cls();
    g.P.Delay(35);
    if (p.gameover == 1) g.P.Delay(2000);  // leave the banner up
  }

  ClearPlayfield(g);
  g.kxhuman_list.Clear();
}

}  // namespace sb
