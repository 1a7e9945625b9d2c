#include "scores/hiscores.h"

#include <cstdio>

namespace sb {

namespace {

constexpr const char* kScoresDir = "scores";
constexpr const char* kScoresFile = "scores/hiscores.dat";
// Written in full and flushed before it replaces the table, so a crash or a
// full disk mid-save never leaves a half-written table behind.
constexpr const char* kScoresTemp = "scores/hiscores.dat.tmp";

void SaveFailed(const char* why) {
  std::fprintf(stderr, "swarmbreak: high scores not saved: %s\n", why);
}

bool IsSpace(int c) {
  return c == ' ' || (c >= 9 && c <= 13);
}

int DigitValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

void (*g_save_step_hook)(SaveStep step) = nullptr;

void DefaultScores(Game& g) {
  for (int i = 0; i < 10; ++i) {
    g.hiscores[i] = (10 - i) * 5000;
    g.hiwaves[i] = 10 - i;
    g.hinames[i] = "MAX";
  }
}

void LoadScores(Game& g) {
  // Opened for writing as well: a table we could not save back counts as absent.
  const int f = g.P.OpenFile(kScoresFile, true, true);
  if (f == 0) {
    DefaultScores(g);
    return;
  }
  for (int i = 0; i < 10; ++i) {
    g.hiscores[i] = StrToInt(g.P.ReadLine(f));
    g.hiwaves[i] = StrToInt(g.P.ReadLine(f));
    g.hinames[i] = g.P.ReadLine(f);
  }
  g.P.CloseFile(f);
}

void InsertScore(Game& g, int32_t score, const std::string& name, int32_t wave) {
  // Strictly greater: among equal scores the older entry keeps the higher row.
  int p = 10;
  for (int i = 0; i < 10; ++i) {
    if (score > g.hiscores[i]) {
      p = i;
      break;
    }
  }
  for (int i = 9; i > p; --i) {
    g.hiscores[i] = g.hiscores[i - 1];
    g.hinames[i] = g.hinames[i - 1];
    g.hiwaves[i] = g.hiwaves[i - 1];
  }
  g.hiscores[p] = score;
  g.hinames[p] = name;
  g.hiwaves[p] = wave;
  g.lowscore = g.hiscores[9];
}

WriteFault WriteLinesSafely(Platform& P, const std::string& path, const std::string& temp,
                            const std::vector<std::string>& lines, void (*step)(SaveStep)) {
  auto Step = [step](SaveStep s) {
    if (step) step(s);
  };
  Step(SaveStep::kBegin);
  const int f = P.WriteFile(temp);
  if (f == 0) return WriteFault::kCreate;
  Step(SaveStep::kTempOpened);
  for (const std::string& line : lines) {
    P.WriteLine(f, line);
    Step(SaveStep::kLineWritten);
  }
  if (!P.CloseFile(f)) {
    P.RemoveFile(temp);
    return WriteFault::kWrite;
  }
  Step(SaveStep::kTempClosed);
  if (!P.RenameFile(temp, path)) {
    P.RemoveFile(temp);
    return WriteFault::kRename;
  }
  Step(SaveStep::kRenamed);
  return WriteFault::kNone;
}

bool SaveScores(Game& g) {
  if (!g.P.MakeDirectory(kScoresDir)) {
    SaveFailed("cannot create the folder \"scores\"");
    return false;
  }
  // A table the player made read-only stays as it is.
  if (g.P.FileExists(kScoresFile) && !g.P.FileWritable(kScoresFile)) {
    SaveFailed("\"scores/hiscores.dat\" is read-only");
    return false;
  }
  std::vector<std::string> lines;
  for (int i = 0; i < 10; ++i) {
    lines.push_back(IntStr(g.hiscores[i]));
    lines.push_back(IntStr(g.hiwaves[i]));
    lines.push_back(g.hinames[i]);
  }
  switch (WriteLinesSafely(g.P, kScoresFile, kScoresTemp, lines, g_save_step_hook)) {
    case WriteFault::kNone:
      return true;
    case WriteFault::kCreate:
      SaveFailed("cannot create \"scores/hiscores.dat.tmp\"");
      return false;
    case WriteFault::kWrite:
      SaveFailed("writing \"scores/hiscores.dat.tmp\" failed");
      return false;
    case WriteFault::kRename:
      SaveFailed("cannot replace \"scores/hiscores.dat\"");
      return false;
  }
  return false;
}

int32_t StrToInt(const std::string& s) {
  const size_t n = s.size();
  size_t i = 0;
  while (i < n && IsSpace(static_cast<unsigned char>(s[i]))) ++i;
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  uint32_t base = 10;
  if (i < n && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i < n && s[i] == '%') {
    base = 2;
    ++i;
  }
  // Unsigned arithmetic: digits beyond 32 bits wrap instead of overflowing.
  uint32_t v = 0;
  for (; i < n; ++i) {
    const int d = DigitValue(static_cast<unsigned char>(s[i]));
    if (d >= static_cast<int>(base)) break;
    v = v * base + static_cast<uint32_t>(d);
  }
  if (neg) v = 0u - v;
  return static_cast<int32_t>(v);
}

}  // namespace sb
