#include "screens/menus.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/keys.h"
#include "draw/drawutil.h"
#include "play/sound.h"
#include "scores/hiscores.h"

namespace sb {

namespace {

constexpr const char* kCredits[4] = {
    "Swarmbreak",
    "Made by the Swarmbreak team",
    "Written in C plus plus with SDL2",
    "First released in 2026",
};
constexpr const char* kAim[3] = {
    "Shoot the robots",
    "Save the humans",
    "Survive a hundred waves",
};

const char* const kControlLines[8][2] = {
    {"Control[ Shoot[ SPC autofire", "         Move[ cursor keys"},
    {"Control[ Shoot[ 1st fire button", "         Move[ Joystick"},
    {"Control[ Shoot[ SPC no autofire", "         Move[ cursor keys"},
    {"Control[ Shoot[ 1st no autofire", "         Move[ Joystick"},
    {"Control[ Shoot[ e s d f keys", "         Move[ i j k l keys"},
    {"Control[ Shoot[ i j k l keys", "         Move[ e s d f keys"},
    {"Control[ Shoot[ 4 fire buttons", "         Move[ Joystick"},
    {"Control[ Shoot[ Joystick", "         Move[ 4 fire buttons"},
};
const char* const kDifficultyLines[6] = {
    nullptr,
    "Difficulty[ Very Easy",
    "Difficulty[ Easy",
    "Difficulty[ Normal",
    "Difficulty[ Hard",
    "Difficulty[ Very Hard",
};

// One turn of the prompts every 40 frames.
double PromptAngle(int i) {
  return ((i / 2) % 20) * 18.0;
}

// Escape or closing the window ends the program from any menu screen.
void QuitInput(Game& g, bool& done) {
  if (g.P.KeyPresses(kCodeEscape)) {
    g.quitgame = 1;
    done = true;
  }
  if (g.P.CloseRequested()) {
    g.quitgame = 1;
    done = true;
  }
}

// Title, attract and table screens: the later test wins (fire and O → options).
void MenuInput(Game& g, bool& done) {
  if (FirePressed(g)) {
    g.gamestate = Screen::kPlay;
    done = true;
  }
  // A controller's Back button stands for O.
  if (AnyOf(g.P.KeyPresses(kCodeO) != 0, g.P.JoyButtonPresses(kPadBack, 0) != 0)) {
    g.gamestate = Screen::kOptions;
    done = true;
  }
  QuitInput(g, done);
}

void ScreenFrame(Game& g) {
  CycleColour(g);
  Colour(g, g.cycr, g.cycg, g.cycb);
  DrawBox(g, 0, 0, 639, 479, 0, g.cycr, g.cycg, g.cycb, 2);
}

// Frame end of the three cycling screens; true once the 1001st frame is shown.
bool EndMenuFrame(Game& g, int& i) {
  ScreenFrame(g);
  g.P.Flip(0);
  g.P.Cls();
  ++i;
  const bool timeout = i > 1000;
  g.P.Delay(10);
  return timeout;
}

// The three prompts, white, at x and 360/380/400 + dy.
void Prompts(Game& g, double x, double dy) {
  const float fx = static_cast<float>(x);
  DrawFontText(g, fx, static_cast<float>(360 + dy), "Press O for options");
  DrawFontText(g, fx, static_cast<float>(380 + dy), "Hit Fire to play");
  DrawFontText(g, fx, static_cast<float>(400 + dy), "Esc To quit ");
}

// Direction inputs of the options and name-entry screens. Key sources are
// press counts, so presses between two polls count once.
struct Directions {
  bool up, down, left, right;
};
Directions PollDirections(Game& g) {
  Directions d;
  d.up = LegacyKeyHit(g, kKeyUp) || g.P.JoyYDir(0) == -1 || g.P.JoyButtonDown(4, 0) ||
         LegacyKeyHit(g, kKeyE) || LegacyKeyHit(g, kKeyI);
  d.down = LegacyKeyHit(g, kKeyDown) || g.P.JoyYDir(0) == 1 || g.P.JoyButtonDown(2, 0) ||
           LegacyKeyHit(g, kKeyD) || LegacyKeyHit(g, kKeyK);
  d.left = LegacyKeyHit(g, kKeyLeft) || g.P.JoyXDir(0) == -1 || g.P.JoyButtonDown(1, 0) ||
           LegacyKeyHit(g, kKeyS) || LegacyKeyHit(g, kKeyJ);
  d.right = LegacyKeyHit(g, kKeyRight) || g.P.JoyXDir(0) == 1 || g.P.JoyButtonDown(3, 0) ||
            LegacyKeyHit(g, kKeyF) || LegacyKeyHit(g, kKeyL);
  return d;
}

const std::string& OnOff(Game& g, int32_t v) {
  return g.onoff[v == 0 || v == 1 ? v : 2];
}

}  // namespace

void TitleScreen(Game& g) {
  bool done = false;
  for (int i = 0; !done;) {
    MenuInput(g, done);
    g.P.SetColor(255, 255, 255);
    const int a = i / 20;
    int letters = a + 1;
    if (a >= 10) {
      g.P.DrawImage(g.img.imglogo, 240, 160, 0);
      letters = 10;
    }
    // A letter arrives every 20 frames, its rows closing from 20 px apart to 1.
    for (int j = 0; j < letters; ++j) {
      int b = 1;
      if (j == a) {
        b = 20 - i % 20;
        if (i % 20 == 0) PlayMenuSound(g, kSndBonus);
      }
      for (int k = 0; k < 27; ++k)
        g.P.DrawImage(g.img.imgtitle, static_cast<float>(80 + 48 * j),
                      static_cast<float>(120 + b * (k - 28)), 27 * j + k);
    }
    if (i > 250) {
      for (int l = 0; l < 4; ++l)
        DrawFontText(g, 100, static_cast<float>(260 + 20 * l), kCredits[l]);
      const double t = PromptAngle(i);
      Prompts(g, 160 + 3 * SinDeg(t), 3 * CosDeg(t));
    }
    if (EndMenuFrame(g, i)) done = true;
  }
}

void AttractScreen(Game& g) {
  bool done = false;
  for (int i = 0; !done;) {
    MenuInput(g, done);
    if (i % 100 == 1) PlayMenuSound(g, kSndTank);
    g.P.SetColor(255, 255, 255);
    // The lettering ripples like a flag between frames 51 and 449.
    const int amp = (i > 50 && i < 450) ? 20 - std::abs((250 - i) / 10) : 0;
    for (int j = 0; j < 10; ++j) {
      for (int k = 0; k < 27; ++k) {
        const double x = 80 + 48 * j + amp * CosDeg(3.0 * i + 10.0 * k);
        g.P.DrawImage(g.img.imgtitle, static_cast<float>(x), static_cast<float>(92 + k),
                      27 * j + k);
      }
    }
    g.P.DrawImage(g.img.imglogo, 240, 160, 0);
    for (int l = 0; l < 3; ++l) DrawFontText(g, 160, static_cast<float>(260 + 20 * l), kAim[l]);
    Prompts(g, 160 + 3 * SinDeg(PromptAngle(i)), 0);
    if (EndMenuFrame(g, i)) done = true;
  }
}

// Digit keys 1..9 and 0 watch the replay of entries 1..10 (when the program
// keeps replays), then the table goes on as it was.
static void WatchKeys(Game& g) {
  for (int i = 0; i < 10; ++i) {
    if (g.P.KeyPresses(i == 9 ? '0' : '1' + i) != 0) return g.watch_entry(g, i);
  }
}

void ScoresScreen(Game& g) {
  int rr[10], rg[10], rb[10];
  for (int j = 9; j >= 0; --j) {
    CycleColour(g);
    CycleColour(g);
    rr[j] = g.cycr;
    rg[j] = g.cycg;
    rb[j] = g.cycb;
  }
  bool done = false;
  for (int i = 0; !done;) {
    // New colour enters at the bottom; every fourth frame they flow up a row.
    CycleColour(g);
    CycleColour(g);
    rr[9] = g.cycr;
    rg[9] = g.cycg;
    rb[9] = g.cycb;
    if (i % 4 == 0) {
      for (int j = 1; j <= 9; ++j) {
        rr[j - 1] = rr[j];
        rg[j - 1] = rg[j];
        rb[j - 1] = rb[j];
      }
    }
    MenuInput(g, done);
    if (g.watch_entry) WatchKeys(g);
    Colour(g, 255, 0, 0);
    DrawFontText(g, 240, 40, "Top Scores");
    Colour(g, 0, 255, 0);
    DrawFontText(g, 140, 80, "  SCORE    NAME   WAVE");
    const int a = i / 20;
    const int c = std::min(a, 9);
    for (int j = 0; j <= c; ++j) {
      // The newest row slides in from alternate sides, 5 px a frame.
      int b = (j == c && a < 10) ? (20 - i % 20) * 5 : 0;
      if (j % 2 == 1) b = -b;
      if (a < 10 && i % 20 == 1) PlayMenuSound(g, kSndGruntwalk);
      Colour(g, rr[j], rg[j], rb[j]);
      const float y = static_cast<float>(120 + 18 * j);
      const std::string t = IntStr(g.hiscores[j]);
      DrawFontText(g, static_cast<float>(260 - b - 14 * static_cast<int>(t.size())), y, t);
      DrawFontText(g, static_cast<float>(300 - b), y, g.hinames[j]);
      DrawFontText(g, static_cast<float>(400 - b), y, IntStr(g.hiwaves[j]));
    }
    Colour(g, 255, 255, 255);
    Prompts(g, 160, 3 * SinDeg(PromptAngle(i)));
    if (EndMenuFrame(g, i)) done = true;
  }
}

void OptionsScreen(Game& g) {
  int cursor = 0;
  int fullscreen = 0;
  int polldelay = 0;
  int frame = 0;
  bool done = false;
  while (!done) {
    if (AnyOf(g.P.KeyPresses(kCodeO) != 0, g.P.JoyButtonPresses(kPadBack, 0) != 0)) {
      g.gamestate = Screen::kTitle;
      done = true;
    }
    if (FirePressed(g)) {
      g.gamestate = Screen::kPlay;
      done = true;
    }
    QuitInput(g, done);

    int dir = 0;
    if (polldelay <= 0) {
      const Directions d = PollDirections(g);
      if (d.up) {
        if (--cursor < 0) cursor = 6;
        PlayMenuSound(g, kSndShotborn);
      }
      if (d.down) {
        if (++cursor > 6) cursor = 0;
        PlayMenuSound(g, kSndShotborn);
      }
      if (d.left) {
        dir = -1;
        PlayMenuSound(g, kSndShotborn);
      }
      if (d.right) {
        dir = 1;
        PlayMenuSound(g, kSndShotborn);
      }
      polldelay = 10;
    }
    --polldelay;

    // The display's real mode, every frame: Alt+Enter may have changed it.
    fullscreen = g.P.FullScreen() ? 1 : 0;
    if (dir != 0) {
      switch (cursor) {
        case 0:
          g.lives = std::clamp(g.lives + dir, 0, 99);
          break;
        case 1:
          g.freeman = std::clamp(g.freeman + dir * 5000, 5000, 200000);
          break;
        case 2:
          g.invincible = dir > 0 ? 1 : 0;
          break;
        case 3:
          g.sound = dir > 0 ? 1 : 0;
          break;
        case 4:
          g.controls += dir;
          if (g.controls < 0) g.controls = 7;
          if (g.controls > 7) g.controls = 0;
          break;
        case 5:
          g.difficulty = std::clamp(g.difficulty + dir, 1, 5);
          break;
        case 6: {
          const int want = dir > 0 ? 1 : 0;
          if (want != fullscreen) {
            g.P.OpenDisplay(640, 480, want ? 32 : 0, 0, 0);
            // No full-screen mode to be had: back to a window.
            if (!g.P.DisplayOpen() && want) g.P.OpenDisplay(640, 480, 0, 0, 0);
            g.P.SetScale(2, 2);  // a new display starts at scale 1
            // The line shows the mode we actually got.
            fullscreen = g.P.FullScreen() ? 1 : 0;
          }
          break;
        }
        default:
          break;
      }
    }

    g.P.SetColor(255, 255, 255);
    DrawFontText(g, 270, 40, "Options");
    DrawFontText(g, 120, 80, "Number of Lives[" + IntStr(WrapAdd(g.lives, 1)));
    DrawFontText(g, 120, 120, "Free man[ every " + IntStr(g.freeman) + " pts");
    DrawFontText(g, 120, 160, "Invincibility[ " + OnOff(g, g.invincible));
    DrawFontText(g, 120, 200, "Sound[ " + OnOff(g, g.sound));
    if (g.controls >= 0 && g.controls <= 7) {
      DrawFontText(g, 120, 240, kControlLines[g.controls][0]);
      DrawFontText(g, 120, 260, kControlLines[g.controls][1]);
    }
    if (g.difficulty >= 1 && g.difficulty <= 5)
      DrawFontText(g, 120, 280, kDifficultyLines[g.difficulty]);
    DrawFontText(g, 120, 320, "Fullscreen[ " + OnOff(g, fullscreen));
    g.P.DrawImage(g.img.imgarrow, 80, static_cast<float>(78 + 40 * cursor), 0);
    DrawBox(g, 60, 60, 520, 290, 0, 255, 0, 0, 2);

    // Circling the other way round from the title screen's prompts.
    const double t = PromptAngle(frame);
    const float px = static_cast<float>(160 + 3 * SinDeg(t));
    const float dy = static_cast<float>(3 * CosDeg(t));
    DrawFontText(g, px, 360 - dy, "Press O to exit options");
    DrawFontText(g, px, 380 - dy, "Hit Fire to play");
    DrawFontText(g, px, 400 - dy, "Esc To quit ");

    ScreenFrame(g);
    g.P.Flip(0);
    g.P.Cls();
    ++frame;
    g.P.Delay(10);
  }
}

void EnterHiScore(Game& g) {
  g.namechars[0] = 0;
  g.namechars[1] = 26;
  g.namechars[2] = 26;
  int pos = 0;
  int polldelay = 0;
  PlayMenuSound(g, kSndNewwave);
  std::string name;
  bool done = false;
  while (!done) {
    if (polldelay <= 0) {
      const Directions d = PollDirections(g);
      // Up steps backwards through A, space, Z, Y ...; Down forwards.
      if (d.up) {
        if (--g.namechars[pos] < 0) g.namechars[pos] = 26;
        PlayMenuSound(g, kSndGrunthit);
      }
      if (d.down) {
        if (++g.namechars[pos] > 26) g.namechars[pos] = 0;
        PlayMenuSound(g, kSndGrunthit);
      }
      if (d.left) {
        if (--pos < 0) pos = 2;
        PlayMenuSound(g, kSndGrunthit);
      }
      if (d.right) {
        if (++pos > 2) pos = 0;
        PlayMenuSound(g, kSndGrunthit);
      }
      polldelay = 10;
    }
    --polldelay;
    // A controller's Start button finishes the name as Y does.
    if (AnyOf(LegacyKeyHit(g, kKeyY) != 0, g.P.JoyButtonPresses(kPadStart, 0) != 0)) done = true;

    g.P.SetColor(255, 255, 255);
    DrawFontText(g, 100, 40, "Congratulations");
    DrawFontText(g, 100, 80, "You are in the top 10");
    const std::string score = "Score " + IntStr(g.plyr->score);
    DrawFontText(g, static_cast<float>(260 - 14 * static_cast<int>(score.size())), 160, score);
    DrawFontText(g, 400, 160, "Wave " + IntStr(g.plyr->level));
    DrawFontText(g, 80, 320, "Up and Down to select letter");
    DrawFontText(g, 80, 360, "Left and Right to select position");
    DrawFontText(g, 80, 400, "Hit y when done");

    name.clear();
    for (int p = 0; p < 3; ++p)
      name += g.namechars[p] == 26 ? ' ' : static_cast<char>(65 + g.namechars[p]);
    DrawFontText(g, 280, 160, name);

    CycleColour(g);
    Colour(g, g.cycr, g.cycg, g.cycb);
    DrawBox(g, 277 + 14 * pos, 157, 16, 18, 0, g.cycr, g.cycg, g.cycb, 2);
    DrawBox(g, 0, 0, 639, 479, 0, g.cycr, g.cycg, g.cycb, 2);
    g.P.Flip(0);
    g.P.Cls();
    g.P.Delay(10);
  }
  InsertScore(g, g.plyr->score, name, g.plyr->level);
}

}  // namespace sb
