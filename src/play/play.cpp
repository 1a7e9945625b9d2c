#include "play/play.h"

namespace sb {

void PlayGame(Game&) {}
void ResetPlayer(Game&) {}
void ResetBehaviour(Game&) {}
void RampBehaviour(Game&) {}
bool WaveCleared(Game&) {
  return {};
}
void ClearPlayfield(Game&) {}
int ConfirmQuit(Game&) {
  return {};
}

}  // namespace sb
