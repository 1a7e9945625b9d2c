#include "draw/drawutil.h"

namespace sb {

void Colour(Game&, int, int, int) {}
void DrawBox(Game&, int, int, int, int, int, int, int, int, int) {}
std::string IntStr(int32_t) {
  return {};
}
void DrawFontText(Game&, float, float, const std::string&) {}
void CycleColour(Game&) {}
double SinDeg(double) {
  return {};
}
double CosDeg(double) {
  return {};
}

}  // namespace sb
