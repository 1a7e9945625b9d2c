#include "source.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace assetgen {

namespace {
// Built with append rather than operator+: GCC 12 warns falsely (-Wrestrict)
// about temporaries of chained string additions in optimised builds.
std::string Where(const std::string& file, int line) {
  std::string w = file;
  if (line > 0) {
    w.append(":");
    w.append(std::to_string(line));
  }
  w.append(": ");
  return w;
}
}  // namespace

SourceError::SourceError(const std::string& file, int line, const std::string& msg)
    : std::runtime_error(Where(file, line).append(msg)), where_(Where(file, line)), msg_(msg) {}

Source Source::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SourceError(path, 0, "cannot read the file");
  std::ostringstream ss;
  ss << in.rdbuf();
  return FromText(path, ss.str());
}

Source Source::FromText(const std::string& name, const std::string& text) {
  Source s;
  s.name_ = name;
  int n = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string l = text.substr(pos, end - pos);
    if (!l.empty() && l.back() == '\r') l.pop_back();
    s.lines_.push_back({++n, l});
    pos = end + 1;
  }
  return s;
}

void Source::Fail(int line, const std::string& msg) const {
  throw SourceError(name_, line, msg);
}

std::vector<std::string> Tokens(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream ss(text);
  std::string t;
  while (ss >> t) {
    if (t[0] == '#') break;
    out.push_back(t);
  }
  return out;
}

bool IsBlankOrComment(const std::string& text) {
  return Tokens(text).empty();
}

int ToInt(const Source& src, int line, const std::string& tok) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(tok.c_str(), &end, 10);
  if (tok.empty() || *end != '\0' || errno != 0 || v < -1000000000L || v > 1000000000L)
    src.Fail(line, "expected a whole number, found '" + tok + "'");
  return static_cast<int>(v);
}

double ToReal(const Source& src, int line, const std::string& tok) {
  char* end = nullptr;
  double v = std::strtod(tok.c_str(), &end);
  if (tok.empty() || *end != '\0' || !std::isfinite(v))
    src.Fail(line, "expected a number, found '" + tok + "'");
  return v;
}

}  // namespace assetgen
