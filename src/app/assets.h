// The image and sound catalogue, loaded once at start-up.
#pragma once

#include <string>

#include "core/game.h"

namespace sb {

// Loads every image and sound in catalogue order. Returns the accumulated
// failure message ("" when every image loaded).
std::string LoadAssets(Game& g);
// Writes the failure line to "errors.log" (or standard error when the log
// cannot be created).
void WriteErrorLog(Game& g, const std::string& errormsg);

}  // namespace sb
