#include "app/main_loop.h"

#include <cstdio>

#include "app/assets.h"
#include "app/replay.h"
#include "core/keys.h"
#include "core/settings.h"
#include "play/waves.h"
#include "scores/hiscores.h"
#include "screens/menus.h"
#include "screens/play_screen.h"

namespace sb {

bool StartUp(Game& g, const int64_t* seed) {
  FillKeyTable(g);
  // The twenty lists are members of Game and already exist.
  g.speedmul = 2;
  g.P.OpenDisplay(640, 480, 0, 0, 0);
  if (!g.P.DisplayOpen()) {
    const std::string why = g.P.WhyNoDisplay();
    std::fprintf(stderr,
                 "swarmbreak: no display available (cannot open a 640x480 window%s%s); run it "
                 "in a desktop session, or set DISPLAY\n",
                 why.empty() ? "" : ": ", why.c_str());
    return false;
  }
  g.P.SetScale(2, 2);
  CreateSettingsTables(g);

  const std::string errormsg = LoadAssets(g);
  if (!errormsg.empty()) {
    WriteErrorLog(g, errormsg);
    g.P.Delay(2000);
    return false;
  }

  ReadDirectionTables(g);

  for (int i = 0; i < 11; ++i) {
    g.hiscores[i] = 0;
    g.hiwaves[i] = 0;
    g.hinames[i].clear();
  }
  LoadScores(g);
  g.lowscore = g.hiscores[9];
  for (int32_t& c : g.namechars) c = 0;

  LoadWaves(g);
  // The seed is masked to 31 bits by the generator; the conversion keeps the low 32 bits.
  const uint32_t s = seed ? static_cast<uint32_t>(*seed) : g.P.Millis();
  g.P.SeedRandom(static_cast<int32_t>(s));
  g.plyr = g.kxplyr_list.New();
  return true;
}

void ScreenLoopStep(Game& g) {
  switch (g.gamestate) {
    case Screen::kTitle:
      TitleScreen(g);
      if (g.gamestate == Screen::kTitle) g.gamestate = Screen::kAttract;
      break;
    case Screen::kAttract:
      AttractScreen(g);
      if (g.gamestate == Screen::kAttract) g.gamestate = Screen::kScores;
      break;
    case Screen::kPlay:
      PlayRecordedGame(g);
      // The window was closed during the game: the program ends without the
      // name entry, so a score for the table goes in under the name the
      // entry starts with rather than being lost.
      if (g.quitgame != 0 && g.plyr->score > g.lowscore) {
        InsertScore(g, g.plyr->score, "A  ", g.plyr->level);
        KeepTopTenReplay(g);
      }
      // Equal to the tenth score is not enough to enter the table.
      g.gamestate = g.plyr->score > g.lowscore ? Screen::kNameEntry : Screen::kScores;
      break;
    case Screen::kOptions:
      OptionsScreen(g);
      break;
    case Screen::kNameEntry:
      EnterHiScore(g);
      KeepTopTenReplay(g);
      g.gamestate = Screen::kScores;
      break;
    case Screen::kScores:
      ScoresScreen(g);
      if (g.gamestate == Screen::kScores) g.gamestate = Screen::kTitle;
      break;
    default:
      break;  // no screen; just pause and look again
  }
  // The key that ended one screen must not act on the next.
  g.P.Delay(100);
  g.P.ClearKeys();
}

void RunScreenLoop(Game& g) {
  while (g.quitgame == 0) ScreenLoopStep(g);
}

void ShutDown(Game& g) {
  SaveScores(g);  // reports its own failure; quitting goes on regardless
  g.P.Delay(200);
  g.P.CloseDisplay();
}

int Main(Game& g, const int64_t* seed) {
  if (!StartUp(g, seed)) return 1;
  RunScreenLoop(g);
  ShutDown(g);
  return 0;
}

}  // namespace sb
