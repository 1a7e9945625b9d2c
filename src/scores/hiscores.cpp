#include "scores/hiscores.h"

namespace sb {

void DefaultScores(Game&) {}
void LoadScores(Game&) {}
void InsertScore(Game&, int32_t, const std::string&, int32_t) {}
bool SaveScores(Game&) {
  return {};
}
int32_t StrToInt(const std::string&) {
  return {};
}

}  // namespace sb
