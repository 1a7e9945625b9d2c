// Named pipes where the game expects files. Opening or reading one blocks
// until another program writes to it, so each must be refused at once: the
// image counts as missing, the sound is silent, the score table is the
// default and saving it fails, all without hanging.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "scores/hiscores.h"
#include "support/world.h"

using namespace sbt;

namespace {

// Runs f in a child that an alarm ends after 10 s; f's result, or -1 when
// the child hung or died.
int WithinTenSeconds(const std::function<int()>& f) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(10);
    _exit(f());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Pipe(const char* path) {
  fs::remove(path);
  ASSERT_EQ(mkfifo(path, 0644), 0);
}

TEST(NamedPipes, AnImageThatIsAPipeIsMissing) {
  World w(kBare);
  WriteTestAssets();
  Pipe("images/grunts.bmp");
  EXPECT_EQ(WithinTenSeconds([&] {
              if (sb::StartUp(w.g, &w.seed)) return 1;
              return ReadBytes("errors.log") ==
                             "Failed to load file: grunts.bmpCheck Directory Structure.\r\n"
                         ? 0
                         : 2;
            }),
            0);
}

TEST(NamedPipes, ASoundThatIsAPipeIsSilent) {
  World w(kBare);
  WriteTestAssets();
  Pipe("sounds/tank.wav");
  EXPECT_EQ(WithinTenSeconds([&] {
              if (!sb::StartUp(w.g, &w.seed)) return 1;
              return w.g.snd[sb::kSndTank] == 0 ? 0 : 2;
            }),
            0);
}

TEST(NamedPipes, AScoreFileThatIsAPipeGivesTheDefaultsAndIsNotReplaced) {
  World w(kBare);
  fs::create_directory("scores");
  Pipe("scores/hiscores.dat");
  EXPECT_EQ(WithinTenSeconds([&] {
              sb::LoadScores(w.g);
              if (w.g.hiscores[0] != 50000 || w.g.hinames[9] != "MAX") return 1;
              return 0;
            }),
            0);
  // A pipe in place of the temporary file: saving fails, the pipe stays.
  fs::remove("scores/hiscores.dat");
  Pipe("scores/hiscores.dat.tmp");
  sb::DefaultScores(w.g);
  EXPECT_EQ(WithinTenSeconds([&] {
              testing::internal::CaptureStderr();
              const bool saved = sb::SaveScores(w.g);
              testing::internal::GetCapturedStderr();
              return saved ? 1 : 0;
            }),
            0);
  EXPECT_FALSE(fs::exists("scores/hiscores.dat"));
}

TEST(NamedPipes, AnErrorLogThatIsAPipeDoesNotHangTheFailedStartUp) {
  World w(kBare);
  WriteTestAssets({"player.bmp"});
  Pipe("errors.log");
  EXPECT_EQ(WithinTenSeconds([&] {
              testing::internal::CaptureStderr();
              const bool started = sb::StartUp(w.g, &w.seed);
              const std::string err = testing::internal::GetCapturedStderr();
              // The line goes to standard error instead.
              return !started && err.find("player.bmp") != std::string::npos ? 0 : 1;
            }),
            0);
}

}  // namespace
