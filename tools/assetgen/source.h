// Reading the text sources under assets/: lines, tokens and numbers, with
// every error naming the file and line it came from.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace assetgen {

// Thrown for anything wrong in a source; what() is "file:line: message".
class SourceError : public std::runtime_error {
 public:
  SourceError(const std::string& file, int line, const std::string& msg);
  // "file:line: error: message", the form editors jump to.
  std::string Report() const { return where_ + "error: " + msg_; }

 private:
  std::string where_, msg_;
};

struct Line {
  int number = 0;    // 1-based
  std::string text;  // raw, without the newline (and a trailing '\r')
};

class Source {
 public:
  // Throws SourceError (line 0) when the file cannot be read.
  static Source Load(const std::string& path);
  static Source FromText(const std::string& name, const std::string& text);

  const std::string& Name() const { return name_; }
  const std::vector<Line>& Lines() const { return lines_; }
  [[noreturn]] void Fail(int line, const std::string& msg) const;

 private:
  std::string name_;
  std::vector<Line> lines_;
};

// Splits on blanks; a '#' starting a token starts a comment.
std::vector<std::string> Tokens(const std::string& text);
bool IsBlankOrComment(const std::string& text);

// Strict numbers: the whole token must parse. They throw via src.Fail.
int ToInt(const Source& src, int line, const std::string& tok);
double ToReal(const Source& src, int line, const std::string& tok);

}  // namespace assetgen
