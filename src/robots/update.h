// Every robot kind's update, in the fixed order of a frame.
#pragma once

#include "core/game.h"

namespace sb {

void UpdateRobots(Game& g);

}  // namespace sb
