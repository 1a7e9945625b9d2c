// The non-play screens.
#pragma once

#include "core/game.h"

namespace sb {

void TitleScreen(Game& g);
void AttractScreen(Game& g);
void ScoresScreen(Game& g);
void OptionsScreen(Game& g);
void EnterHiScore(Game& g);

}  // namespace sb
