// The state digest lives in the game library (core/digest.h); the simulator
// and its tests keep their names for it.
#pragma once

#include "core/digest.h"

namespace sim {
using sb::Fnv64;
using sb::StateDigest;
}  // namespace sim
