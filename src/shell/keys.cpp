#include "shell/keys.h"

namespace sb {

void FillKeyTable(Game&) {}
int LegacyKeyDown(Game&, int) {
  return {};
}
int LegacyKeyHit(Game&, int) {
  return {};
}
int FirePressed(Game&) {
  return {};
}

}  // namespace sb
