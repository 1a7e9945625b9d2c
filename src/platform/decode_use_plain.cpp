// The browser build's decoders are the plain ones (no SDL there).
#include "platform/decode.h"

namespace sb {

bool DecodeBmp(const std::string& path, Bitmap& out) {
  return plain::DecodeBmp(path, out);
}
bool DecodeWav(std::vector<uint8_t>& bytes, std::vector<int16_t>& out) {
  return plain::DecodeWav(bytes, out);
}

}  // namespace sb
