#include "play/player.h"

namespace sb {

void ReadControls(Game&) {}
void MovePlayer(Game&) {}
void CreateShot(Game&) {}
void MoveShots(Game&) {}

}  // namespace sb
