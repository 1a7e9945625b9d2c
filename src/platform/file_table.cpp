#include "platform/file_table.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace sb {

namespace {

// Opening a named pipe (or reading it) waits until another program talks to
// it: a pipe in place of a file would hang the game.
bool IsPipe(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

}  // namespace

FileTable::FileTable() = default;

FileTable::~FileTable() {
  for (auto& [h, s] : streams_) std::fclose(s.f);
}

int FileTable::Add(std::FILE* f) {
  while (next_ <= 0 || streams_.count(next_)) next_ = next_ == INT_MAX ? 1 : next_ + 1;
  int h = next_;
  next_ = next_ == INT_MAX ? 1 : next_ + 1;
  streams_[h].f = f;
  return h;
}

FileTable::Stream* FileTable::Get(int stream) {
  auto it = streams_.find(stream);
  return it == streams_.end() ? nullptr : &it->second;
}

int FileTable::OpenFile(const std::string& path, bool readable, bool writeable) {
  (void)readable;  // every stream can be read; writeable needs write access too
  if (IsPipe(path)) return 0;
  std::FILE* f = std::fopen(path.c_str(), writeable ? "r+b" : "rb");
  if (!f) return 0;
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(f);
    return 0;
  }
  return Add(f);
}

int FileTable::WriteFile(const std::string& path) {
  if (IsPipe(path)) return 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  int h = Add(f);
  streams_[h].writing = true;
  streams_[h].readable = false;
  return h;
}

void FileTable::ForReading(Stream& s) {
  if (s.writing) {
    if (std::fflush(s.f) != 0) s.failed = true;
    std::fseek(s.f, 0, SEEK_CUR);
    s.writing = false;
  }
}

std::string FileTable::ReadLine(int stream) {
  std::string line;
  Stream* s = Get(stream);
  if (!s || !s->readable) return line;
  ForReading(*s);
  for (;;) {
    int c = std::getc(s->f);
    if (c == EOF || c == 10 || c == 0) break;
    if (c == 13) continue;
    if (line.size() < kMaxLine) line.push_back(static_cast<char>(c));
  }
  return line;
}

bool FileTable::Eof(int stream) {
  Stream* s = Get(stream);
  if (!s || !s->readable) return true;
  ForReading(*s);
  int c = std::getc(s->f);
  if (c == EOF) return true;
  std::ungetc(c, s->f);
  return false;
}

void FileTable::WriteLine(int stream, const std::string& text) {
  Stream* s = Get(stream);
  if (!s) return;
  if (!s->writing) {
    std::fseek(s->f, 0, SEEK_CUR);
    s->writing = true;
  }
  s->wrote = true;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), s->f) != text.size())
    s->failed = true;
  if (std::fwrite("\r\n", 1, 2, s->f) != 2) s->failed = true;
}

bool FileTable::CloseFile(int stream) {
  auto it = streams_.find(stream);
  if (it == streams_.end()) return false;
  Stream s = it->second;
  streams_.erase(it);
  bool ok = !s.failed;
  if (std::fflush(s.f) != 0 || (s.wrote && std::ferror(s.f))) ok = false;
  if (s.wrote && fsync(fileno(s.f)) != 0 && errno != EINVAL) ok = false;
  if (std::fclose(s.f) != 0) ok = false;
  return ok;
}

bool FileTable::RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FileTable::RemoveFile(const std::string& path) {
  return unlink(path.c_str()) == 0;
}

bool FileTable::MakeDirectory(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) return true;
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileTable::FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool FileTable::FileWritable(const std::string& path) {
  return access(path.c_str(), W_OK) == 0;
}

}  // namespace sb
