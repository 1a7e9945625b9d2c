// Recording every game, keeping the replays of top-ten games, and playing a
// replay back: verified headless or watched in the window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/game.h"
#include "core/replay.h"

namespace sb {

// Records one game while it lives: holds the back end's input changes and
// hands them to the game at frame boundaries (so a replay sees them exactly
// when the game did), writes each with its frame, and a digest every 300
// frames. Detaches itself when destroyed, whatever ended the game.
class Recorder : public FrameHooks, public InputHold {
 public:
  explicit Recorder(Game& g);
  ~Recorder() override;
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // The whole replay; `cut` when the game did not reach its end.
  std::string Finish(bool cut, int64_t frames = -1);

  void AfterFlip(int64_t shown) override;
  void OnWait(int64_t shown) override;
  void Hold(const InputChange& c) override { held_.push_back(c); }

 private:
  void Detach();
  Game& g_;
  std::string text_;
  std::vector<InputChange> held_;
  int64_t frames_ = 0;
  bool attached_ = false;
};

// One game played with recording when the program records (g.record_replays):
// replays/last.replay is written after it and the text kept for the table.
void PlayRecordedGame(Game& g);
// After the name entry: the last game's replay, with the name added, kept in
// scores/replays/ beside its table entry; replays of entries no longer in
// the table are removed.
void KeepTopTenReplay(Game& g);
// The replay file of table entry `i` (0..9), whether it exists or not.
std::string TableReplayPath(const Game& g, int i);
// Writes a replay the way the table is written; false (one line on standard
// error) when it cannot.
bool WriteReplayFile(Platform& P, const std::string& path, const std::string& text);

struct ReplayVerdict {
  int status = 0;       // 0 verified, 1 differs, 2 bad replay, 3 other rules version
  std::string message;  // the differing field, or what is wrong
  int64_t frames = 0;
  int32_t score = 0, wave = 0, men = 0;
};

// "replay of rules version R, but this game plays rules version V".
std::string RulesMismatch(const Replay& r);
// Makes `g` a game a replay can start from, without display or files: the
// key, settings, direction and wave tables, and the player record.
void ReadyForReplay(Game& g);

// Plays a replay on a started game (StartUp done) without a window of its
// own and compares every checkpoint and the end.
ReplayVerdict VerifyReplay(Game& g, const Replay& r);
// Plays a replay in the live program's window at the game's pace with its
// sound: Escape leaves, F toggles four-times speed, the last frame stays
// until a key is pressed. The live game's state is left as it was.
void WatchReplay(Game& live, const Replay& r);
// Watches the replay of table entry `i`, if it has one.
void WatchTableEntry(Game& g, int i);

}  // namespace sb
