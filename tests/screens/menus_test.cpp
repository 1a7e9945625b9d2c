// The title, attract, table, options and name-entry screens, driven by
// scripted keys on the headless platform and read back from their frames.
#include "screens/menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "draw/drawutil.h"
#include "support/frame_read.h"

using namespace sbt;

namespace {

constexpr int kEsc = 27, kO = 79, kY = 89, kSpace = 32, kE = 69, kLeft = 37, kUp = 38, kRight = 39,
              kDown = 40;

// A started world counting the frames a screen shows (a re-opened display's
// own blank presents are not the screen's), keeping pictures when asked.
struct Screens : World {
  int done = 0;               // frames shown
  std::map<int, Shot> shots;  // frame index (0-based) -> picture
  std::set<int> keep;
  // after[i]: input applied once frame i is shown (read by frame i + 1).
  std::map<int, std::function<void(sb::InputState&)>> after;
  explicit Screens(
      std::unique_ptr<sb::HeadlessBackend> backend = std::make_unique<sb::HeadlessBackend>())
      : World(kBare, std::move(backend)) {
    EXPECT_TRUE(Start());
    hb.on_present = [this](int, const uint32_t* px) {
      if (std::all_of(px, px + 640 * 480, [](uint32_t c) { return c == 0; })) return;
      const int i = done++;
      if (keep.count(i)) shots[i] = Copy(px);
      auto it = after.find(i);
      if (it != after.end()) it->second(In());
    };
  }
  // Input for frame index i (a poll frame when a multiple of 10).
  void At(int i, std::function<void(sb::InputState&)> f) {
    if (i == 0)
      f(In());
    else
      after[i - 1] = std::move(f);
  }
  void Tap(int frame, int code) {
    At(frame, [code](sb::InputState& in) { sbt::Tap(in, code); });
  }
};

double Theta(int i) {
  return ((i / 2) % 20) * 18.0;
}

// Top-left of the first 'P' (cell 65) near the prompts.
std::pair<int, int> PromptAt(const Shot& s) {
  auto p = Find(s, FontColour(65), 150, 350, 180, 370);
  EXPECT_TRUE(p.has_value());
  return p.value_or(std::make_pair(-1, -1));
}
// The same, checked against the real position (x, y) the prompts have in frame i.
std::pair<int, int> PromptAt(const Shot& s, int i, double x, double y) {
  const auto p = PromptAt(s);
  EXPECT_EQ(p.first, FirstPixel(x)) << "prompt x, frame " << i;
  EXPECT_EQ(p.second, FirstPixel(y)) << "prompt y, frame " << i;
  return p;
}

// --- title, attract and table screens ---

TEST(TitleScreen, LettersArriveThenCreditsAndPromptsFromFrame251) {
  Screens w;
  w.CountingSounds();
  w.keep = {0, 19, 200, 250, 251, 252, 1000};
  sb::TitleScreen(w.g);
  EXPECT_EQ(w.done, 1001);
  EXPECT_EQ(w.g.gamestate, sb::Screen::kTitle);
  EXPECT_EQ(w.g.quitgame, 0);
  EXPECT_EQ(w.TakeVoices()[sb::kSndBonus], 10) << "one bonus sound per arriving letter";

  // Frame 0: only the first letter's rows 22..26 are on screen, 20 px apart.
  const Shot& f0 = w.shots[0];
  EXPECT_EQ(f0[80 * 640 + 90], FileColour(26));
  EXPECT_EQ(f0[20 * 640 + 90], FileColour(23));
  EXPECT_EQ(f0[100 * 640 + 90], 0u);
  EXPECT_EQ(f0[80 * 640 + 138], 0u);
  // Frame 19: rows 1 px apart, in place.
  EXPECT_EQ(w.shots[19][92 * 640 + 90], FileColour(0));
  EXPECT_EQ(w.shots[19][118 * 640 + 90], FileColour(26));
  // Frame 200: all ten letters in place at y 92..119, logo below.
  const Shot& f200 = w.shots[200];
  for (int j = 0; j < 10; ++j) {
    EXPECT_EQ(f200[100 * 640 + 80 + 48 * j + 10], FileColour(27 * j + 8)) << j;
    EXPECT_EQ(f200[119 * 640 + 80 + 48 * j + 10], FileColour(27 * j + 26)) << j;
  }
  EXPECT_EQ(f200[160 * 640 + 240], FileColour(0));
  EXPECT_TRUE(w.shots[19][160 * 640 + 240] == 0u) << "no logo before frame 200";

  EXPECT_TRUE(Ink(w.shots[250], 2, 250, 637, 430).Empty()) << "nothing yet at frame 250";
  const Shot& f251 = w.shots[251];
  std::string credits;
  for (int l = 0; l < 4; ++l) {
    const std::string line = ReadText(f251, 100, 260 + 20 * l, 38);
    EXPECT_FALSE(line.empty());
    EXPECT_EQ(line.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ["), std::string::npos)
        << line;
    credits += line + "|";
  }
  for (const char* word : {"SWARMBREAK", "SWARMBREAK TEAM", "C PLUS PLUS", "SDL2", "2026"})
    EXPECT_NE(credits.find(word), std::string::npos) << word << " in " << credits;
  EXPECT_LE(Ink(f251, 2, 255, 637, 335).x1, 636) << "credits fit inside the frame";

  // The prompts circle: (160 + 3 sin t, 360 + 3 cos t).
  for (int i : {251, 252, 1000}) {
    const auto [x, y] =
        PromptAt(w.shots[i], i, 160 + 3 * sb::SinDeg(Theta(i)), 360 + 3 * sb::CosDeg(Theta(i)));
    EXPECT_EQ(ReadText(w.shots[i], x, y, 19), "PRESS O FOR OPTIONS");
    EXPECT_EQ(ReadText(w.shots[i], x, y + 20, 16), "HIT FIRE TO PLAY");
    EXPECT_EQ(ReadText(w.shots[i], x, y + 40, 12), "ESC TO QUIT");
  }
}

TEST(TitleScreen, SoundOffPlaysNothing) {
  Screens w;
  w.CountingSounds();
  w.g.sound = 0;
  sb::TitleScreen(w.g);
  EXPECT_EQ(w.TakeVoices()[sb::kSndBonus], 0);
}

TEST(MenuScreens, InputEndsTheScreenAfterTheCurrentFrame) {
  struct Case {
    const char* what;
    std::function<void(sb::InputState&)> input;
    int gamestate, quitgame;
  };
  const Case cases[] = {
      {"fire held", [](sb::InputState& in) { in.SetKey(kSpace, true); }, 2, 0},
      {"joystick button", [](sb::InputState& in) { in.SetJoyButton(3, true); }, 2, 0},
      {"O", [](sb::InputState& in) { Tap(in, kO); }, 3, 0},
      {"fire and O", [](sb::InputState& in) { in.SetKey(kE, true), Tap(in, kO); }, 3, 0},
      {"Escape", [](sb::InputState& in) { Tap(in, kEsc); }, -1, 1},
      {"close", [](sb::InputState& in) { in.RequestClose(); }, -1, 1},
      {"O and close", [](sb::InputState& in) { Tap(in, kO), in.RequestClose(); }, 3, 1},
  };
  using ScreenFn = void (*)(sb::Game&);
  const std::pair<ScreenFn, int> screens[] = {
      {sb::TitleScreen, 0}, {sb::AttractScreen, 1}, {sb::ScoresScreen, 5}};
  for (const Case& c : cases) {
    for (auto [screen, state] : screens) {
      Screens w;
      w.g.gamestate = sb::Screen(state);
      w.At(37, c.input);
      screen(w.g);
      EXPECT_EQ(w.done, 38) << c.what;
      EXPECT_EQ(w.g.gamestate, sb::Screen(c.gamestate < 0 ? state : c.gamestate)) << c.what;
      EXPECT_EQ(w.g.quitgame, c.quitgame) << c.what;
    }
  }
}

TEST(TitleScreen, OptionsWhileLettersArriveThenTheNextVisitStartsAgain) {
  Screens w;
  w.Tap(30, kO);
  sb::TitleScreen(w.g);
  EXPECT_EQ(w.g.gamestate, sb::Screen::kOptions);
  w.after.clear();
  w.done = 0;
  w.keep = {0};
  w.shots.clear();
  w.g.gamestate = sb::Screen::kTitle;
  w.Tap(0, kEsc);
  sb::TitleScreen(w.g);
  EXPECT_EQ(w.shots[0][80 * 640 + 90], FileColour(26)) << "first letter arriving again";
  EXPECT_EQ(w.shots[0][80 * 640 + 138], 0u);
}

TEST(AttractScreen, LetteringRipplesBetweenFrames51And449) {
  Screens w;
  w.CountingSounds();
  w.keep = {0, 50, 51, 250, 300, 449, 450, 1000};
  sb::AttractScreen(w.g);
  EXPECT_EQ(w.done, 1001);
  EXPECT_EQ(w.TakeVoices()[sb::kSndTank], 10) << "tank sound at frames 1, 101, ... 901";
  const std::map<int, int> amplitude = {{0, 0},    {50, 0},  {51, 1},  {250, 20},
                                        {300, 15}, {449, 1}, {450, 0}, {1000, 0}};
  for (auto [i, a] : amplitude) {
    const Shot& s = w.shots[i];
    for (int j : {0, 7}) {
      for (int k = 1; k < 27; k += 5) {
        const double x = 80 + 48 * j + a * sb::CosDeg(3.0 * i + 10.0 * k);
        const auto p = Find(s, FileColour(27 * j + k), 40 + 48 * j, 92 + k, 140 + 48 * j, 92 + k);
        ASSERT_TRUE(p.has_value()) << i << " " << j << " " << k;
        EXPECT_EQ(p->first, FirstPixel(x)) << "frame " << i << " letter " << j << " row " << k;
      }
    }
    EXPECT_EQ(s[160 * 640 + 240], FileColour(0)) << "logo";
  }
  // The aim, in three lines that fit the frame; prompts sway sideways.
  const Shot& s = w.shots[250];
  std::string aim;
  for (int l = 0; l < 3; ++l) aim += ReadText(s, 160, 260 + 20 * l, 34) + "|";
  for (const char* word : {"ROBOTS", "HUMANS", "HUNDRED WAVES"})
    EXPECT_NE(aim.find(word), std::string::npos) << aim;
  EXPECT_LE(Ink(s, 2, 255, 637, 315).x1, 636);
  for (int i : {0, 250, 1000}) PromptAt(w.shots[i], i, 160 + 3 * sb::SinDeg(Theta(i)), 360);
}

TEST(ScoresScreen, RowsSlideInFromAlternateSidesAndSettleRightAligned) {
  Screens w;
  w.CountingSounds();
  w.g.hiscores[0] = 1234567;
  w.keep = {0, 25, 300, 2, 6};
  sb::ScoresScreen(w.g);
  EXPECT_EQ(w.done, 1001);
  EXPECT_EQ(w.TakeVoices()[sb::kSndGruntwalk], 55)
      << "row c's reveal starts the walk sound c + 1 times";

  // Frame 0: row 0 alone, 100 px to the left.
  const Box r0 = Ink(w.shots[0], 2, 120, 299, 133);
  EXPECT_EQ(r0.x0, 260 - 100 - 14 * 7);
  EXPECT_TRUE(Ink(w.shots[0], 2, 138, 637, 151).Empty());
  // Frame 25: row 1 (odd) comes from the right, 75 px out; row 0 settled.
  EXPECT_EQ(Ink(w.shots[25], 2, 138, 374, 151).x0, 260 + 75 - 14 * 5);
  EXPECT_EQ(Ink(w.shots[25], 2, 120, 299, 133).x0, 162);
  EXPECT_TRUE(Ink(w.shots[25], 2, 156, 637, 169).Empty());
  // Settled: the seven-digit score spans 162 .. 246 + 11; all ten rows shown.
  const Shot& s = w.shots[300];
  const Box settled = Ink(s, 2, 120, 299, 133);
  EXPECT_EQ(settled.x0, 162);
  EXPECT_EQ(settled.x1, 257);
  for (int j = 0; j < 10; ++j) {
    const Box wave = Ink(s, 395, 120 + 18 * j, 637, 133 + 18 * j);
    EXPECT_EQ(wave.x0, 400) << j;
  }
  // Headings in red and green; prompts sway up and down.
  const Box top = Ink(s, 2, 40, 637, 53), head = Ink(s, 2, 80, 637, 93);
  EXPECT_EQ(top.x0, 240);
  EXPECT_EQ(top.x1, 240 + 14 * 10 - 3);
  EXPECT_EQ(s[(top.y0 + 7) * 640 + top.x0 + 6] & 0x00FFFFu, 0u) << "red";
  EXPECT_EQ(head.x0, 140 + 2 * 14);
  EXPECT_EQ(s[(head.y0 + 7) * 640 + head.x0 + 6] & 0xFF00FFu, 0u) << "green";
  for (int i : {2, 6, 300}) PromptAt(w.shots[i], i, 160, 360 + 3 * sb::SinDeg(Theta(i)));
}

// --- options ---

struct Options : Screens {
  using Screens::Screens;
  std::vector<std::string> lines;  // the texts of the last kept frame
  // Runs the options screen with the script, leaving with O after frame `last`.
  void Run(int last) {
    Tap(last, kO);
    keep.insert(last);
    sb::OptionsScreen(g);
    EXPECT_EQ(done, last + 1);
    const Shot& s = shots[last];
    lines.clear();
    for (int y : {80, 120, 160, 200, 240, 260, 280, 320}) lines.push_back(ReadText(s, 120, y, 36));
  }
};

TEST(OptionsScreen, DefaultsShowTheLinesWithLivesPlusOne) {
  Options w;
  w.Run(3);
  const std::vector<std::string> want = {"NUMBER OF LIVES[4",
                                         "FREE MAN[ EVERY 25000 PTS",
                                         "INVINCIBILITY[ OFF",
                                         "SOUND[ ON",
                                         "CONTROL[ SHOOT[ SPC AUTOFIRE",
                                         "         MOVE[ CURSOR KEYS",
                                         "DIFFICULTY[ NORMAL",
                                         "FULLSCREEN[ OFF"};
  EXPECT_EQ(w.lines, want);
  const Shot& s = w.shots[3];
  EXPECT_EQ(ReadText(s, 270, 40, 7), "OPTIONS");
  EXPECT_EQ(s[78 * 640 + 80], FileColour(0)) << "arrow beside line 0";
  EXPECT_EQ(s[60 * 640 + 300], 0xFF0000u) << "red panel";
  EXPECT_EQ(s[350 * 640 + 580], 0xFF0000u);
  EXPECT_EQ(w.g.gamestate, sb::Screen::kTitle);
}

TEST(OptionsScreen, EveryLineClampsOrWraps) {
  struct Case {
    int32_t sb::Game::*setting;
    int line, start, key, want;
    const char* shown;  // the line's text afterwards
  };
  using G = sb::Game;
  const Case cases[] = {
      {&G::lives, 0, 0, kLeft, 0, "NUMBER OF LIVES[1"},
      {&G::lives, 0, 99, kRight, 99, "NUMBER OF LIVES[100"},
      {&G::lives, 0, 3, kLeft, 2, "NUMBER OF LIVES[3"},
      {&G::freeman, 1, 200000, kRight, 200000, "FREE MAN[ EVERY 200000 PTS"},
      {&G::freeman, 1, 5000, kLeft, 5000, "FREE MAN[ EVERY 5000 PTS"},
      {&G::freeman, 1, 25000, kRight, 30000, "FREE MAN[ EVERY 30000 PTS"},
      {&G::invincible, 2, 0, kRight, 1, "INVINCIBILITY[ ON"},
      {&G::invincible, 2, 1, kRight, 1, "INVINCIBILITY[ ON"},
      {&G::sound, 3, 1, kLeft, 0, "SOUND[ OFF"},
      {&G::controls, 4, 0, kLeft, 7, "CONTROL[ SHOOT[ JOYSTICK"},
      {&G::controls, 4, 7, kRight, 0, "CONTROL[ SHOOT[ SPC AUTOFIRE"},
      {&G::difficulty, 5, 1, kLeft, 1, "DIFFICULTY[ VERY EASY"},
      {&G::difficulty, 5, 5, kRight, 5, "DIFFICULTY[ VERY HARD"},
      {&G::difficulty, 5, 3, kRight, 4, "DIFFICULTY[ HARD"},
  };
  for (const Case& c : cases) {
    Options w;
    w.g.*c.setting = c.start;
    for (int d = 0; d < c.line; ++d) w.Tap(10 * d, kDown);
    w.Tap(10 * c.line, c.key);
    w.Run(10 * c.line + 2);
    EXPECT_EQ(w.g.*c.setting, c.want) << c.shown;
    // Line 4 is two texts; the difficulty follows them.
    EXPECT_EQ(w.lines[static_cast<size_t>(c.line + (c.line > 4))], c.shown);
    EXPECT_EQ(w.shots[10 * c.line + 2][(78 + 40 * c.line) * 640 + 81], FileColour(0)) << "arrow";
  }
}

TEST(OptionsScreen, CursorWrapsBothWays) {
  Options up;
  up.Tap(0, kUp);
  up.Run(2);
  EXPECT_EQ(up.shots[2][318 * 640 + 81], FileColour(0)) << "Up from line 0 selects line 6";
  Options down;
  down.Tap(0, kUp);
  down.Tap(10, kDown);
  down.Run(12);
  EXPECT_EQ(down.shots[12][78 * 640 + 81], FileColour(0)) << "Down from line 6 selects line 0";
}

TEST(OptionsScreen, PressesBetweenPollsCountOnceAndAStickRepeats) {
  Options w;
  // Frame 0 polls (nothing); three presses before frame 10 change lives once.
  for (int f : {3, 5, 8}) w.Tap(f, kRight);
  w.Run(15);
  EXPECT_EQ(w.g.lives, 4);

  Options stick;
  stick.At(0, [](sb::InputState& in) { in.SetJoyAxes(1, 0); });
  stick.At(25, [](sb::InputState& in) { in.SetJoyAxes(0, 0); });
  stick.Run(40);
  EXPECT_EQ(stick.g.lives, 6) << "read at frames 0, 10 and 20";
}

TEST(OptionsScreen, SelectionSoundFollowsTheSoundSettingAtThatMoment) {
  Options w;
  w.CountingSounds();
  for (int f : {0, 10, 20}) w.Tap(f, kDown);  // 3 sounds, cursor on line 3
  w.Tap(30, kLeft);                           // sound off: still heard
  w.Tap(40, kRight);                          // sound on: silent
  w.Tap(50, kUp);                             // heard again
  w.Run(52);
  EXPECT_EQ(w.g.sound, 1);
  EXPECT_EQ(w.TakeVoices()[sb::kSndShotborn], 5);
}

TEST(OptionsScreen, LeavingKeys) {
  struct Case {
    const char* what;
    int gamestate, frame;
    std::function<void(sb::InputState&)> input;
    int done, gamestate_after, quitgame;
  };
  const Case cases[] = {
      {"E is fire: it starts a game from here", 0, 4,
       [](sb::InputState& in) { in.SetKey(kE, true); }, 5, 2, 0},
      {"fire tested after O wins", 0, 2,
       [](sb::InputState& in) { Tap(in, kO), in.SetKey(kSpace, true); }, 3, 2, 0},
      {"Escape", 3, 2, [](sb::InputState& in) { Tap(in, kEsc); }, 3, 3, 1},
      {"close", 0, 2, [](sb::InputState& in) { in.RequestClose(); }, 3, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Options w;
    w.g.gamestate = sb::Screen(c.gamestate);
    w.At(c.frame, c.input);
    sb::OptionsScreen(w.g);
    EXPECT_EQ(w.done, c.done);
    EXPECT_EQ(w.g.gamestate, sb::Screen(c.gamestate_after));
    EXPECT_EQ(w.g.quitgame, c.quitgame);
  }
}

TEST(OptionsScreen, FullScreenReopensTheDisplayAndKeepsDrawingAtScale2) {
  Options w;
  const int opened = w.hb.WindowsOpened();
  w.Tap(0, kUp);
  w.Tap(10, kRight);
  w.Run(12);
  EXPECT_TRUE(w.P->FullScreen());
  EXPECT_EQ(w.hb.WindowsOpened(), opened + 1);
  EXPECT_EQ(w.lines[7], "FULLSCREEN[ ON");
  float sx, sy;
  w.P->GetScale(sx, sy);
  EXPECT_EQ(sx, 2.0f);
  EXPECT_EQ(sy, 2.0f);
  const Box o = Ink(w.shots[12], 260, 35, 380, 55);
  EXPECT_EQ(o.x1 - o.x0 + 1, 14 * 7 - 2) << "\"Options\" still drawn at scale 2";

  // Back on the options later: the line follows the real mode; Right again
  // changes nothing, Left returns to a window.
  Options again;
  again.P->OpenDisplay(640, 480, 32, 0, 0);
  again.P->SetScale(2, 2);
  const int before = again.hb.WindowsOpened();
  again.Tap(0, kUp);
  again.Tap(10, kRight);
  again.Tap(20, kLeft);
  again.keep.insert(12);
  again.Run(22);
  EXPECT_EQ(ReadText(again.shots[12], 120, 320, 20), "FULLSCREEN[ ON");
  EXPECT_EQ(again.hb.WindowsOpened(), before + 1);
  EXPECT_FALSE(again.P->FullScreen());
  EXPECT_EQ(again.lines[7], "FULLSCREEN[ OFF");
}

TEST(OptionsScreen, TheFullScreenLineFollowsAModeChangedBehindItsBack) {
  // Alt+Enter switches the display without the screen knowing: the line
  // shows it at once, and Left on it returns to a window.
  Options w;
  w.At(3, [&w](sb::InputState&) { w.hb.OpenWindow(true); });
  w.Tap(10, kUp);
  w.Tap(20, kLeft);
  w.keep.insert(5);
  w.Run(22);
  EXPECT_EQ(ReadText(w.shots[5], 120, 320, 20), "FULLSCREEN[ ON");
  EXPECT_FALSE(w.P->FullScreen());
  EXPECT_EQ(w.lines[7], "FULLSCREEN[ OFF");
}

class NoFullScreen : public sb::HeadlessBackend {
 public:
  bool OpenWindow(bool fullscreen) override {
    return !fullscreen && sb::HeadlessBackend::OpenWindow(false);
  }
};

TEST(OptionsScreen, WithoutAFullScreenModeTheGameStaysInAWindow) {
  Options w(std::make_unique<NoFullScreen>());
  w.Tap(0, kUp);
  w.Tap(10, kRight);
  w.Run(12);
  EXPECT_TRUE(w.P->DisplayOpen());
  EXPECT_FALSE(w.P->FullScreen());
  EXPECT_EQ(w.lines[7], "FULLSCREEN[ OFF");
}

TEST(OptionsScreen, PromptsCircleTheOtherWay) {
  Options w;
  for (int i : {0, 7, 13}) w.keep.insert(i);
  w.Run(13);
  for (int i : {0, 7, 13}) {
    const auto [x, y] =
        PromptAt(w.shots[i], i, 160 + 3 * sb::SinDeg(Theta(i)), 360 - 3 * sb::CosDeg(Theta(i)));
    EXPECT_EQ(ReadText(w.shots[i], x, y, 23), "PRESS O TO EXIT OPTIONS");
  }
}

// --- name entry ---

struct Entry : Screens {
  Entry() {
    g.plyr->score = 45000;
    g.plyr->level = 7;
  }
  // Y after frame `last`; returns the name drawn in the last frame.
  std::string Run(int last) {
    Tap(last, kY);
    keep.insert(last);
    sb::EnterHiScore(g);
    EXPECT_EQ(done, last + 1);
    return ReadText(shots[last], 280, 160, 3);
  }
};

TEST(EnterHiScore, YAtOnceStoresAAndTwoSpaces) {
  Entry w;
  w.CountingSounds();
  w.Run(0);
  EXPECT_EQ(w.TakeVoices()[sb::kSndNewwave], 1) << "new-wave sound on entry";
  EXPECT_EQ(w.g.hinames[2], "A  ");
  EXPECT_EQ(w.g.hiscores[2], 45000);
  EXPECT_EQ(w.g.hiwaves[2], 7);
  EXPECT_EQ(w.g.lowscore, 10000);
  const Shot& s = w.shots[0];
  EXPECT_EQ(ReadText(s, 100, 40, 15), "CONGRATULATIONS");
  EXPECT_EQ(ReadText(s, 100, 80, 21), "YOU ARE IN THE TOP 10");
  EXPECT_EQ(ReadText(s, 260 - 14 * 11, 160, 11), "SCORE 45000");
  EXPECT_EQ(ReadText(s, 400, 160, 6), "WAVE 7");
  EXPECT_EQ(ReadText(s, 80, 320, 28), "UP AND DOWN TO SELECT LETTER");
  EXPECT_EQ(ReadText(s, 80, 360, 33), "LEFT AND RIGHT TO SELECT POSITION");
  EXPECT_EQ(ReadText(s, 80, 400, 15), "HIT Y WHEN DONE");
}

TEST(EnterHiScore, LettersWrapBothWaysAndPositionsWrap) {
  Entry w;
  // One key per poll. Position 0: A, space, Z; Left to position 2: space, A,
  // space, Z, space, A, B; Right wraps to position 0: Z, space.
  const int keys[] = {kUp, kUp, kLeft, kDown, kUp, kUp, kDown, kDown, kDown, kRight, kDown};
  for (int i = 0; i < 11; ++i) w.Tap(10 * i, keys[i]);
  w.keep.insert(25);
  EXPECT_EQ(w.Run(102), "  B");
  EXPECT_EQ(w.g.hinames[2], "  B");
  // Cursor box at position 2 (x 305) after the Left.
  EXPECT_NE(w.shots[25][166 * 640 + 305], 0u);
  EXPECT_EQ(w.shots[25][166 * 640 + 277], 0u);
}

TEST(EnterHiScore, ThreePressesWithinTenFramesStepOnce) {
  Entry w;
  w.CountingSounds();
  for (int f : {2, 4, 9}) w.Tap(f, kDown);
  // Down and Right in one poll: the letter steps first, then the cursor moves;
  // a sound for each.
  w.At(20, [](sb::InputState& in) { Tap(in, kDown), Tap(in, kRight); });
  w.keep.insert(21);
  EXPECT_EQ(w.Run(22), "C");
  EXPECT_EQ(w.g.hinames[2], "C  ");
  EXPECT_NE(w.shots[21][166 * 640 + 291], 0u) << "cursor box on position 1";
  EXPECT_EQ(w.TakeVoices()[sb::kSndGrunthit], 3);
}

TEST(EnterHiScore, EscapeAndCloseDoNothingAndSoundOffIsSilent) {
  Entry w;
  w.CountingSounds();
  w.g.sound = 0;
  w.g.plyr->score = 123456;
  w.At(0, [](sb::InputState& in) { Tap(in, kEsc), in.RequestClose(), Tap(in, kDown); });
  w.Run(30);
  EXPECT_EQ(w.TakeVoices()[sb::kSndGrunthit], 0);
  EXPECT_EQ(w.g.quitgame, 0);
  EXPECT_EQ(w.g.hinames[0], "B  ");
  EXPECT_EQ(ReadText(w.shots[30], 92, 160, 12), "SCORE 123456");
  EXPECT_EQ(w.P->CloseRequested(), 1) << "the close request is left for the next screen";
}

}  // namespace
