#include <gtest/gtest.h>

#include "support/world.h"

using namespace sbt;

TEST(ScreenLoop, AScoreForTheTableSurvivesClosingTheWindow) {
  // {answer to the prompt (N: then game over), score}; the tenth is 10000.
  const std::pair<char, int32_t> cases[] = {{'Y', 12345}, {'N', 45000}, {'Y', 10000}};
  for (const auto& [answer, score] : cases) {  // the dying may add points
    World w(kBare);
    ASSERT_TRUE(w.Start());
    for (int i = 0; i < 10; ++i) w.g.hiscores[i] = 46000 - 4000 * i;  // 46000 ... 10000
    w.g.lowscore = 10000, w.g.lives = 0, w.g.startwave = 3;
    int shown = 0, closed = 0;
    w.hb.on_present = [&](int, const uint32_t*) {
      if (++shown > 20000) throw sb::StopRun{1};
      if (shown == 200) w.g.plyr->score = score;
      if (shown == 210 && answer == 'N') w.g.plyr->dead = 1;
    };
    w.hb.on_pump = [&](sb::InputState& in) {
      if (shown == 205 && !closed++) in.RequestClose();
      if (w.hb.LastSync() == -1) in.SetKey(answer, true);
    };
    w.g.gamestate = sb::Screen::kPlay;
    sb::ScreenLoopStep(w.g);
    sb::ShutDown(w.g);
    const std::string entry = std::to_string(w.g.plyr->score) + "\r\n3\r\nA  \r\n";
    EXPECT_EQ(w.g.plyr->gameover, answer == 'N' ? 1 : 0);
    EXPECT_EQ(ReadBytes("scores/hiscores.dat").find(entry) != std::string::npos, score > 10000)
        << entry;
  }
}
