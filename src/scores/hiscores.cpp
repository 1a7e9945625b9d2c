#include "scores/hiscores.h"

#include <cstdio>

namespace sb {

namespace {

constexpr const char* kScoresDir = "scores";
constexpr const char* kScoresFile = "scores/hiscores.dat";
// Written in full and flushed before it replaces the table, so a crash or a
// full disk mid-save never leaves a half-written table behind.
constexpr const char* kScoresTemp = "scores/hiscores.dat.tmp";

void Step(SaveStep s) {
  if (g_save_step_hook) g_save_step_hook(s);
}

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
  Step(SaveStep::kBegin);
  const int f = g.P.WriteFile(kScoresTemp);
  if (f == 0) {
    SaveFailed("cannot create \"scores/hiscores.dat.tmp\"");
    return false;
  }
  Step(SaveStep::kTempOpened);
  for (int i = 0; i < 10; ++i) {
    g.P.WriteLine(f, IntStr(g.hiscores[i]));
    Step(SaveStep::kLineWritten);
    g.P.WriteLine(f, IntStr(g.hiwaves[i]));
    Step(SaveStep::kLineWritten);
    g.P.WriteLine(f, g.hinames[i]);
    Step(SaveStep::kLineWritten);
  }
  if (!g.P.CloseFile(f)) {
    g.P.RemoveFile(kScoresTemp);
    SaveFailed("writing \"scores/hiscores.dat.tmp\" failed");
    return false;
  }
  Step(SaveStep::kTempClosed);
  if (!g.P.RenameFile(kScoresTemp, kScoresFile)) {
    g.P.RemoveFile(kScoresTemp);
    SaveFailed("cannot replace \"scores/hiscores.dat\"");
    return false;
  }
  Step(SaveStep::kRenamed);
  return true;
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
