// The browser's physical keys (KeyboardEvent.code) as the game's virtual-key
// codes, the same codes the SDL back end gives for the same keys.
#pragma once

#include <string_view>

namespace sb {

// 0 for keys the game has no code for.
int VirtualKeyFromCode(std::string_view code);

}  // namespace sb
