// Closing the window during a game ends the program without the name entry;
// a score for the table is still kept, under the name the entry starts with.
#include <gtest/gtest.h>

#include <string>

#include "scores/hiscores.h"
#include "support/world.h"

using namespace sbt;

namespace {

TEST(ScreenLoop, AScoreForTheTableSurvivesClosingTheWindow) {
  struct Case {
    const char* what;
    char answer;     // to the close request's prompt
    bool game_over;  // the game then ends by losing the last life
    int32_t score;
    bool kept;
  };
  const Case cases[] = {
      {"closed, then Y", 'Y', false, 12345, true},
      {"closed, N, then game over", 'N', true, 45000, true},
      {"closed, then Y, too low for the table", 'Y', false, 10000, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    World w(kBare);
    ASSERT_TRUE(w.Start());
    for (int i = 0; i < 10; ++i) w.g.hiscores[i] = 46000 - 4000 * i;  // 46000 ... 10000
    w.g.lowscore = 10000;
    w.g.lives = 0;
    w.g.startwave = 3;
    int presents = 0;
    bool closed = false;
    w.hb.on_present = [&](int, const uint32_t*) {
      if (++presents > 20000) throw sb::StopRun{1};
      if (presents == 200) w.g.plyr->score = c.score;
      if (presents == 210 && c.game_over) w.g.plyr->dead = 1;
    };
    w.hb.on_pump = [&](sb::InputState& in) {
      if (presents == 205 && !closed) {
        in.RequestClose();
        closed = true;
      }
      if (w.hb.LastSync() == -1) in.SetKey(c.answer, true);
    };
    w.g.gamestate = sb::Screen::kPlay;
    sb::ScreenLoopStep(w.g);
    EXPECT_EQ(w.g.quitgame, 1);
    EXPECT_EQ(w.g.plyr->gameover, c.game_over ? 1 : 0);
    const int32_t score = w.g.plyr->score;  // the dying may have added points
    int row = -1;
    for (int i = 9; i >= 0; --i)
      if (w.g.hinames[i] == "A  ") row = i;
    if (!c.kept) {
      EXPECT_EQ(row, -1);
      EXPECT_EQ(w.g.hiscores[9], 10000);
      continue;
    }
    ASSERT_GE(row, 0);
    EXPECT_GE(score, c.score);
    EXPECT_EQ(w.g.hiscores[row], score);
    EXPECT_EQ(w.g.hiwaves[row], 3);
    EXPECT_EQ(w.g.hiscores[9], row == 9 ? score : 14000) << "one row dropped off";
    // And it is what the program saves on its way out.
    sb::ShutDown(w.g);
    const std::string saved = ReadBytes("scores/hiscores.dat");
    EXPECT_NE(saved.find(std::to_string(score) + "\r\n3\r\nA  \r\n"), std::string::npos) << saved;
  }
}

}  // namespace
