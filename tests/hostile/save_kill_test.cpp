// Nothing lost: the table on disk is always the old one or the new one,
// whole, however the process saving it ends, and a disk that refuses the
// new table leaves the old one and the game running.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "scores/hiscores.h"
#include "support/world.h"

using namespace sbt;

namespace {

constexpr const char* kFile = "scores/hiscores.dat";
constexpr const char* kTemp = "scores/hiscores.dat.tmp";
constexpr int kSkip = 77;
// kBegin, kTempOpened, 30 x kLineWritten, kTempClosed, kRenamed.
constexpr int kSteps = 34;

std::string TableBytes(const sb::Game& g) {
  std::string s;
  for (int i = 0; i < 10; ++i)
    s += std::to_string(g.hiscores[i]) + "\r\n" + std::to_string(g.hiwaves[i]) + "\r\n" +
         g.hinames[i] + "\r\n";
  return s;
}

// The old table (on disk) and the new one (in memory, longer than the old).
void OldOnDiskNewInMemory(sb::Game& g, std::string& old_bytes, std::string& new_bytes) {
  fs::create_directories("scores");
  sb::DefaultScores(g);
  for (int i = 0; i < 10; ++i) g.hinames[i] = "OLD";
  old_bytes = TableBytes(g);
  WriteBytes(kFile, old_bytes);
  for (int i = 0; i < 10; ++i) {
    g.hiscores[i] = 1000000 - i;
    g.hinames[i] = "NEW";
  }
  new_bytes = TableBytes(g);
}

// Runs f in a child process; its wait status.
int InChild(const std::function<int()>& f) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) _exit(f());
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

int g_calls = 0, g_stop_at = 0;
void StopAtStep(sb::SaveStep) {
  if (++g_calls == g_stop_at) _exit(100 + g_calls);
}

TEST(SaveKilled, AtEveryStepTheTableOnDiskIsTheOldOrTheNewOneWhole) {
  World w(kBare);
  std::string old_bytes, new_bytes;
  OldOnDiskNewInMemory(w.g, old_bytes, new_bytes);
  for (int n = 1; n <= kSteps; ++n) {
    SCOPED_TRACE("stopped at step " + std::to_string(n));
    const int status = InChild([&] {
      g_stop_at = n;
      sb::g_save_step_hook = StopAtStep;
      sb::SaveScores(w.g);
      return 1;  // not reached: every step is passed on a good disk
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 100 + n);
    EXPECT_EQ(ReadBytes(kFile), n < kSteps ? old_bytes : new_bytes);
    // The next start-up reads a whole table, leftovers or not.
    sb::Game next(*w.P);
    sb::LoadScores(next);
    EXPECT_EQ(TableBytes(next), n < kSteps ? old_bytes : new_bytes);
    if (n == kSteps) {
      EXPECT_FALSE(fs::exists(kTemp));
    }
  }
  // A later save replaces whatever a dead one left behind.
  sb::g_save_step_hook = nullptr;
  w.g.hinames[0] = "END";
  ASSERT_TRUE(sb::SaveScores(w.g));
  EXPECT_EQ(ReadBytes(kFile), TableBytes(w.g));
  EXPECT_FALSE(fs::exists(kTemp));
}

TEST(SaveKilled, MidWriteAtEveryByteTheOldTableStaysWhole) {
  // The file-size limit kills the process (SIGXFSZ) as the write passes it,
  // leaving a temporary file cut at exactly that byte.
  World w(kBare);
  std::string old_bytes, new_bytes;
  OldOnDiskNewInMemory(w.g, old_bytes, new_bytes);
  for (size_t limit = 0; limit < new_bytes.size(); ++limit) {
    SCOPED_TRACE("file size limit " + std::to_string(limit));
    const int status = InChild([&] {
      const rlimit none{0, 0}, fsize{limit, limit};
      setrlimit(RLIMIT_CORE, &none);
      setrlimit(RLIMIT_FSIZE, &fsize);
      std::signal(SIGXFSZ, SIG_DFL);
      sb::SaveScores(w.g);
      return 1;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(fs::file_size(kTemp), limit);
    ASSERT_EQ(ReadBytes(kFile), old_bytes);
  }
}

// The whole quit path (screen loop end, saving, closing) on a disk that
// refuses the table; the child's exit status 0 means the game ended normally.
// Standard error goes to a pipe: a file would be cut by the size limit too.
int QuitGame(sb::Game& g) {
  int fds[2];
  if (pipe(fds) != 0 || dup2(fds[1], 2) < 0) return 2;
  g.quitgame = 1;
  sb::RunScreenLoop(g);
  sb::ShutDown(g);
  std::fflush(stderr);
  close(fds[1]);
  close(2);
  char buf[512] = {};
  const ssize_t n = read(fds[0], buf, sizeof buf - 1);
  return n > 0 && std::string(buf).find("not saved") != std::string::npos ? 0 : 3;
}

TEST(DiskFull, AFileSizeLimitLeavesTheOldTableAndTheGameRunning) {
  World w(kBare);
  ASSERT_TRUE(w.Start());
  std::string old_bytes, new_bytes;
  OldOnDiskNewInMemory(w.g, old_bytes, new_bytes);
  for (size_t limit : {size_t{0}, size_t{1}, size_t{100}, new_bytes.size() - 1}) {
    SCOPED_TRACE("file size limit " + std::to_string(limit));
    const int status = InChild([&] {
      const rlimit fsize{limit, limit};
      setrlimit(RLIMIT_FSIZE, &fsize);
      std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit fail with EFBIG
      return QuitGame(w.g);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadBytes(kFile), old_bytes);
    EXPECT_FALSE(fs::exists(kTemp));
  }
}

TEST(DiskFull, ADeviceWithNoSpaceLeftLeavesTheOldTableAndTheGameRunning) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  World w(kBare);
  ASSERT_TRUE(w.Start());
  std::string old_bytes, new_bytes;
  OldOnDiskNewInMemory(w.g, old_bytes, new_bytes);
  // Every write to the temporary file fails with ENOSPC.
  fs::create_symlink("/dev/full", kTemp);
  const int status = InChild([&] { return QuitGame(w.g); });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadBytes(kFile), old_bytes);
  EXPECT_FALSE(fs::is_symlink(kTemp));
}

TEST(DiskFull, AFullFileSystemLeavesTheOldTableAndTheGameRunning) {
  // A real full disk: a small tmpfs over scores/, mounted in a private mount
  // namespace of a child (needs root; skipped otherwise).
  World w(kBare);
  ASSERT_TRUE(w.Start());
  std::string old_bytes, new_bytes;
  OldOnDiskNewInMemory(w.g, old_bytes, new_bytes);
  const int status = InChild([&] {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", "scores", "tmpfs", 0, "size=16k") != 0)
      return kSkip;
    WriteBytes(kFile, old_bytes);
    // Fill the rest; a write that cannot complete leaves a short file.
    {
      std::FILE* f = std::fopen("scores/filler", "wb");
      if (!f) return 4;
      const std::string block(512, 'x');
      while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
      }
      std::fclose(f);
    }
    if (QuitGame(w.g) != 0) return 5;
    if (ReadBytes(kFile) != old_bytes) return 6;
    if (fs::exists(kTemp)) return 7;
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kSkip) GTEST_SKIP() << "cannot mount a tmpfs here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ReadOnly, AReadOnlyScoresFolderLeavesTheOldTableAndTheGameRunning) {
  World w(kBare);
  ASSERT_TRUE(w.Start());
  std::string old_bytes, new_bytes;
  OldOnDiskNewInMemory(w.g, old_bytes, new_bytes);
  fs::permissions("scores", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
  fs::permissions(".", fs::perms::all);
  const int status = InChild([&] {
    // File modes bind root only through another user.
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 3;
    return QuitGame(w.g);
  });
  fs::permissions("scores", fs::perms::all);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadBytes(kFile), old_bytes);
  EXPECT_FALSE(fs::exists(kTemp));
}

}  // namespace
