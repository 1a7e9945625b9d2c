#include "draw/screens.h"

namespace sb {

void TitleScreen(Game&) {}
void AttractScreen(Game&) {}
void ScoresScreen(Game&) {}
void OptionsScreen(Game&) {}
void EnterHiScore(Game&) {}

}  // namespace sb
