// Settings tables and the constant data block (directions, fragment speeds,
// then the wave table).
#pragma once

#include <cstdint>

#include "core/game.h"

namespace sb {

// 28 table values followed by the 1001 wave-table values (ending in -1).
extern const int kDataBlockSize;
extern const float kDataBlock[];
// Index of the wave table's first value in the data block.
inline constexpr int kWaveTableStart = 28;

void CreateSettingsTables(Game& g);  // onoff, diffscale
void ReadDirectionTables(Game& g);   // dirx, diry, bitspeeds from the data block

}  // namespace sb
