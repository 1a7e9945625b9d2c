#include "shell/assets.h"

namespace sb {

std::string LoadAssets(Game&) {
  return {};
}
void WriteErrorLog(Game&, const std::string&) {}

}  // namespace sb
