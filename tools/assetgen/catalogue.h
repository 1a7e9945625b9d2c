// What the game loads (its own catalogue) and the limits every sound recipe
// meets. The generator refuses to finish unless each file is made.
#pragma once

#include "core/catalogue.h"

namespace assetgen {

using sb::ImageCut;
using sb::kImageCuts;
inline constexpr const auto& kSounds = sb::kSoundNames;

// Sound limits every recipe must meet.
inline constexpr double kMinSeconds = 0.03;
inline constexpr double kMaxSeconds = 1.5;
inline constexpr double kMaxPeakDb = -1.0;

}  // namespace assetgen
