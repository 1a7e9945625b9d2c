// Drawing utilities, the bitmap font and the cycling colour.
#pragma once

#include <string>

#include "core/game.h"

namespace sb {

void Colour(Game& g, int r, int g_, int b);
void DrawBox(Game& g, int x, int y, int w, int h, int filled, int r, int g_, int b, int thickness);
void DrawFontText(Game& g, float x, float y, const std::string& text);
void CycleColour(Game& g);
// Sin and Cos in degrees.
double SinDeg(double deg);
double CosDeg(double deg);

}  // namespace sb
