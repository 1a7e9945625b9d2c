#include "screens/play_screen.h"

#include <algorithm>

#include "core/keys.h"
#include "draw/drawutil.h"
#include "draw/playfield.h"
#include "platform/input.h"
#include "play/collisions.h"
#include "play/player.h"
#include "play/round.h"
#include "play/sound.h"
#include "play/waves.h"
#include "robots/bits.h"
#include "robots/grunts.h"
#include "robots/humans.h"
#include "robots/update.h"
#include "screens/transitions.h"

namespace sb {

namespace {

constexpr int kMaxDifficulty = 5;

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
  MakeWaveLabel(g);
  WaveIntro(g, false);
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
  WaveIntro(g, true);
}

void DrawGameOver(Game& g) {
  Colour(g, 0, 0, 0);
  DrawBox(g, 260, 240, 126, 12, 1, -1, -1, -1, 1);
  g.P.SetColor(255, 255, 255);
  DrawFontText(g, 260, 240, "GAME OVER");
}

// Holds the game while the window is in the background or after Start: the
// last picture stays up and nothing is presented, drawn, moved or drawn at
// random, so a pause leaves no trace in the game. Start again, the focus
// coming back or a close request (asked about right after) ends it.
void Pause(Game& g) {
  bool by_focus = !g.P.HasFocus();
  for (;;) {
    g.P.Delay(10);
    if (g.P.JoyButtonPresses(kPadStart, 0) != 0) return;
    const bool focus = g.P.HasFocus();
    if (by_focus && focus) return;
    if (!focus) by_focus = true;
    if (g.P.Input().ClosePending()) return;
  }
}

}  // namespace

bool ConfirmQuit(Game& g) {
  Colour(g, 255, 0, 0);
  DrawBox(g, 90, 190, 480, 32, 1, -1, -1, -1, 1);
  g.P.SetColor(255, 255, 255);
  DrawFontText(g, 120, 200, "Hit Y to quit or N to continue");
  g.P.Flip(-1);
  g.P.ClearKeys();  // button presses too: a button held as the prompt opens is no answer
  int answer = -1;
  for (;;) {
    // A controller answers with Start (yes), or its right face button or Back
    // (no): no face button that fires in play or steers the name entry says yes.
    if (AnyOf(g.P.KeyPresses(kCodeY) != 0, g.P.JoyButtonPresses(kPadStart, 0) != 0)) answer = 1;
    if (AnyOf(g.P.KeyPresses(kCodeN) != 0, g.P.JoyButtonPresses(kPadB, 0) != 0,
              g.P.JoyButtonPresses(kPadBack, 0) != 0))
      answer = 0;  // N wins a tie
    if (answer >= 0) break;
    g.P.Delay(1);  // wait for the answer without spinning a core
  }
  g.P.Flip(-1);
  return answer == 1;
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
  MakeWaveLabel(g);
  WaveIntro(g, false);

  bool quit = false;
  while (p.gameover == 0 && !quit) {
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
    if (!g.P.HasFocus() || g.P.JoyButtonPresses(kPadStart, 0) != 0) Pause(g);
    // A controller's Back button asks as Escape does.
    if (AnyOf(LegacyKeyHit(g, kKeyEscape) != 0, g.P.JoyButtonPresses(kPadBack, 0) != 0))
      quit = ConfirmQuit(g);
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
