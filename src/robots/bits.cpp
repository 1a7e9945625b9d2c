#include "robots/bits.h"

namespace sb {

void CreateBits(Game&, int, int, int, int) {}
void UpdateBits(Game&) {}

}  // namespace sb
