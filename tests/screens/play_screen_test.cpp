// The play loop: waves in turn, lives, game over, the quit prompt and the
// difficulty step every hundred waves, run on the headless platform with
// hand-made wave records and scripted keys.
#include "screens/play_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "support/world.h"

namespace {

using sbt::World;

// A world ready for whole games: display open, scale 2, a probe font, sounds
// that count, and a wave list built by the test. The run is cut off by a
// frame limit; the quit prompts shown are counted.
struct PlayWorld : World {
  int presents = 0;
  int prompts = 0;
  bool prompt_up = false;
  int limit = 30000;

  PlayWorld() {
    P->OpenDisplay(640, 480, 0, 0, 0);
    P->SetScale(2, 2);
    g.img.imgfont = ProbeImage(6, 7, 80);
    g.kxwave_list.Clear();
    g.wave = nullptr;
    g.controls = 2;  // nothing held: the player stands and never fires
    CountingSounds();
    OnPresent([] {});
  }
  // Every death sequence starts with the death sound.
  int Deaths() { return TakeVoices()[sb::kSndPlayerhit]; }

  sb::kxwave& AddWave(int grunts, int hulks = 0, int electrodes = 0) {
    sb::kxwave& w = *g.kxwave_list.New();
    w.grunts = grunts;
    w.hulks = hulks;
    w.electrodes = electrodes;
    w.etype = 1;
    w.borderstyle = 1;
    return w;
  }

  // Runs `watch` at every present, after the counting and the frame limit.
  void OnPresent(std::function<void()> watch) {
    hb.on_present = [this, watch](int, const uint32_t*) {
      if (++presents > limit) throw sb::StopRun{1};
      if (hb.LastSync() == -1 && !prompt_up) ++prompts;
      prompt_up = hb.LastSync() == -1;
      watch();
    };
  }
  // Presses Escape whenever `when()` holds and answers Y at the quit prompt.
  void QuitWhen(std::function<bool()> when) {
    hb.on_pump = [this, when](sb::InputState& in) {
      if (when()) in.SetKey(sbt::kVkEscape, true);
      if (hb.LastSync() == -1) in.SetKey(89, true);
    };
  }

  bool Empty() {
    bool empty = true;
    sb::VisitLists(g, [&](const char*, auto& list) {
      if (&list != static_cast<void*>(&g.kxplyr_list) &&
          &list != static_cast<void*>(&g.kxwave_list) && !list.Empty())
        empty = false;
    });
    return empty;
  }
};

// --- the quit prompt ---

TEST(ConfirmQuit, ShowsTheRedBarAndAnswersYesOrNoWaitingBetweenPolls) {
  struct Case {
    bool y, n;
    int answer;
  } cases[] = {{true, false, 1}, {false, true, 0}, {true, true, 0}};
  for (const Case& c : cases) {
    PlayWorld w;
    uint32_t bar = 0;
    int cell = -1;
    int polls_waited = 0;
    w.hb.on_present = [&](int, const uint32_t*) {
      if (w.hb.LastSync() == -1 && cell < 0) {
        bar = w.Pixel(95, 195);
        cell = w.CellAt(120 + 6, 200 + 7);
      }
    };
    w.hb.on_delay = [&](int ms) {
      ASSERT_GT(ms, 0);  // a pause, not a busy loop
      // The answer arrives after a few idle polls.
      if (++polls_waited == 3) {
        if (c.y) w.In().SetKey(89, true);
        if (c.n) w.In().SetKey(78, true);
      }
    };
    w.In().SetKey(89, true);  // held before the prompt: cleared, not an answer
    EXPECT_EQ(sb::ConfirmQuit(w.g), c.answer == 1);
    EXPECT_EQ(polls_waited, 3);
    EXPECT_EQ(bar, 0xFF0000u);
    EXPECT_EQ(cell, 57);  // 'H'
    EXPECT_EQ(w.hb.LastSync(), -1);
  }
}

TEST(ConfirmQuit, AControllerAnswersOnlyWithButtonsPressedWhileItAsks) {
  // {held, pressed while it asks, answer (-1: none, B later)}; 3 B 4 Y 5 Back 6 Start
  const int cases[][3] = {{0, 6, 1}, {0, 3, 0}, {0, 5, 0}, {6, 3, 0}, {0, 4, -1}};
  for (const auto& [held, press, answer] : cases) {
    PlayWorld w;
    int polls = 0;
    w.hb.on_delay = [&](int) { ++polls, w.In().SetJoyButton(polls == 6 ? 3 : press, polls >= 3); };
    w.In().SetJoyButton(held, true);
    EXPECT_EQ(sb::ConfirmQuit(w.g), answer == 1) << press;
  }
}

// --- whole games ---

TEST(PlayGame, WithNoReserveLivesTheFirstLossEndsTheGame) {
  PlayWorld w;
  w.g.lives = 0;
  w.AddWave(30);
  uint32_t banner_cell = 0, banner_at = 0;
  w.OnPresent([&] {
    if (w.g.plyr->gameover != 1) return;
    banner_cell = static_cast<uint32_t>(w.CellAt(260 + 6, 240 + 7));
    banner_at = w.P->Millis();
  });
  sb::PlayGame(w.g);
  EXPECT_EQ(w.g.plyr->men, -1);
  EXPECT_EQ(w.g.plyr->gameover, 1);
  EXPECT_EQ(w.Deaths(), 1);
  EXPECT_EQ(banner_cell, 56u);  // 'G' of GAME OVER
  EXPECT_GE(w.P->Millis() - banner_at, 2000u) << "the banner stays up two seconds";
  EXPECT_TRUE(w.Empty());
}

TEST(PlayGame, ThreeReserveLivesGiveFourLivesInAll) {
  PlayWorld w;
  w.g.lives = 3;
  sb::kxwave& wave = w.AddWave(30);
  std::vector<int> men_seen;
  std::vector<size_t> grunts_after_restart;
  w.OnPresent([&] {
    if (men_seen.empty() || men_seen.back() != w.g.plyr->men) {
      men_seen.push_back(w.g.plyr->men);
      grunts_after_restart.push_back(w.g.kxgrunt_list.Count());
    }
  });
  sb::PlayGame(w.g);
  EXPECT_EQ(men_seen, (std::vector<int>{3, 2, 1, 0, -1}));
  EXPECT_EQ(w.Deaths(), 4);
  // Every restart re-places the whole wave (no grunt was shot).
  for (size_t i = 1; i + 1 < grunts_after_restart.size(); ++i) {
    EXPECT_EQ(grunts_after_restart[i], 30u);
  }
  EXPECT_EQ(wave.grunts_remaining, 30);
  EXPECT_TRUE(w.Empty());
}

TEST(PlayGame, InvincibilityClearsTheMarkAndNothingElseHappens) {
  PlayWorld w;
  w.g.lives = 0;
  w.g.invincible = 1;
  w.AddWave(30);
  int marked_frames = 0;
  size_t grunts_min = 1000;
  w.OnPresent([&] {
    marked_frames += w.g.plyr->dead;
    grunts_min = std::min(grunts_min, w.g.kxgrunt_list.Count());
  });
  w.QuitWhen([&] { return w.presents == 1600 && w.prompts == 0; });  // long after the grunts arrive
  sb::PlayGame(w.g);
  EXPECT_GT(marked_frames, 0);
  EXPECT_EQ(w.g.plyr->men, 0);
  EXPECT_EQ(w.g.plyr->gameover, 0);
  EXPECT_EQ(w.Deaths(), 0);
  EXPECT_EQ(grunts_min, 30u);
  EXPECT_EQ(w.prompts, 1);
  EXPECT_TRUE(w.Empty());
}

TEST(PlayGame, EscapeThenNResumesAndEscapeThenYEnds) {
  PlayWorld w;
  w.AddWave(1, 0, 0);
  int pressed_at = -1, frames_after_yes = 0;
  w.hb.on_pump = [&](sb::InputState& in) {
    const int f = w.presents;
    if ((f == 100 || f == 200) && pressed_at != f) {
      in.SetKey(sbt::kVkEscape, true);
      pressed_at = f;
    }
    if (w.prompt_up) {
      in.SetKey(sbt::kVkEscape, false);
      in.SetKey(w.prompts == 1 ? 78 : 89, true);
    }
  };
  w.OnPresent([&] { frames_after_yes += w.prompts == 2 && !w.prompt_up; });
  w.g.invincible = 1;
  sb::PlayGame(w.g);
  EXPECT_EQ(w.prompts, 2);
  EXPECT_EQ(frames_after_yes, 0);
  EXPECT_EQ(w.g.plyr->gameover, 0);
  EXPECT_EQ(w.g.quitgame, 0);
  EXPECT_TRUE(w.Empty());
}

TEST(PlayGame, ClosingTheWindowAsksAndThenEndsTheProgramAfterTheGame) {
  PlayWorld w;
  w.g.invincible = 1;
  w.AddWave(1, 0, 0);
  bool closed = false, escaped = false;
  w.hb.on_pump = [&](sb::InputState& in) {
    if (w.presents == 100 && !closed) {
      in.RequestClose();
      closed = true;
    }
    if (w.presents == 150 && !escaped) {
      in.SetKey(sbt::kVkEscape, true);
      escaped = true;
    }
    if (w.prompt_up) in.SetKey(w.prompts == 1 ? 78 : 89, true);
  };
  sb::PlayGame(w.g);
  EXPECT_EQ(w.g.quitgame, 1);
  EXPECT_EQ(w.prompts, 2) << "N let the game go on after the close request";
}

TEST(PlayGame, APauseShowsNoFrameAndLeavesTheGameAsItWas) {
  // Straight, paused by Start, by a focus loss: the same game at frame 110.
  std::vector<std::vector<int64_t>> seen;
  for (int kind : {0, 1, 2}) {
    PlayWorld w;
    w.g.invincible = 1, w.g.controls = 0;  // autofire: it moves and fires every frame
    w.AddWave(6, 2, 3);
    int waits = 0, flipped = 0;
    w.OnPresent([&] { flipped = 1; });
    w.hb.on_pump = [&](sb::InputState& in) {
      if (w.presents == 80 && waits == 0 && kind > 0)
        kind == 1 ? in.SetJoyButton(sb::kPadStart, true) : in.SetFocus(false);
      in.SetKey(sbt::kVkRight, w.presents < 90);
      in.SetKey(sbt::kVkEscape, w.presents >= 110);
      if (w.hb.LastSync() == -1) in.SetKey(89, true);
    };
    w.hb.on_delay = [&](int ms) {
      if (!flipped && ms == 10 && ++waits == 5) {  // a wait in the pause
        w.In().SetJoyButton(sb::kPadStart, false);
        kind == 1 ? w.In().SetJoyButton(sb::kPadStart, true) : w.In().SetFocus(true);
      }
      flipped = 0;
    };
    sb::PlayGame(w.g);
    EXPECT_EQ(waits, kind ? 5 : 0);
    seen.push_back({w.presents, int64_t(w.Draws()), w.g.plyr->sx, w.g.plyr->sy, w.g.plyr->score});
    EXPECT_EQ(seen.back(), seen[0]);
  }
}

TEST(PlayGame, CompletingWaveOneHundredRepeatsTheTableOneDifficultyHarder) {
  for (int start_difficulty : {3, 5}) {
    PlayWorld w;
    w.g.difficulty = start_difficulty;
    sb::kxwave& first = w.AddWave(0);
    w.AddWave(0);
    w.g.startwave = 100;  // level 100, played with the last record
    w.QuitWhen([&] { return w.g.plyr->level == 101; });
    sb::PlayGame(w.g);
    EXPECT_EQ(w.g.plyr->level, 101);
    EXPECT_EQ(w.g.wave, &first);
    EXPECT_EQ(w.g.difficulty, std::min(start_difficulty + 1, 5));
  }
}

TEST(PlayGame, AWaveEndsOnlyAfterItsLastFragmentIsGone) {
  PlayWorld w;
  w.g.invincible = 1;
  w.AddWave(1, 2, 3);  // hulks and electrodes do not hold the wave open
  w.AddWave(5);
  std::vector<int> bits_at_play_frames;  // fragments alive at each later level-1 play frame
  w.OnPresent([&] {
    if (w.presents > 100 && w.hb.LastSync() == 0 && w.g.plyr->level == 1)
      bits_at_play_frames.push_back(static_cast<int>(w.g.kxbit_list.Count()));
    if (w.presents == 100) {  // in play, after the intro
      ASSERT_EQ(w.g.kxgrunt_list.Count(), 1u);
      w.g.kxgrunt_list.First()->hit = 8;  // as if shot flying down
    }
  });
  w.QuitWhen([&] { return w.g.plyr->level == 2; });
  sb::PlayGame(w.g);
  // Twenty frames with the burst in flight, then one more frame before the outro.
  std::vector<int> expect(20, 12);
  expect.push_back(0);
  ASSERT_GE(bits_at_play_frames.size(), expect.size());
  EXPECT_EQ(std::vector<int>(bits_at_play_frames.begin(), bits_at_play_frames.begin() + 21),
            expect);
  EXPECT_EQ(w.g.plyr->level, 2);
  EXPECT_EQ(w.g.plyr->score, 100);
}

}  // namespace
