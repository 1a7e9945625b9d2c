// Byte streams on files, by handle (non-zero; 0 = none), read and written
// line by line, plus the small file-system helpers safe saving needs.
#pragma once

#include <cstdio>
#include <map>
#include <string>

namespace sb {

class FileTable {
 public:
  // A line longer than this is cut; the rest of it is still consumed.
  static constexpr size_t kMaxLine = 64 * 1024;

  FileTable();
  ~FileTable();
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  // An existing regular file; writeable opens it for update.
  int OpenFile(const std::string& path, bool readable, bool writeable);
  // Creates or truncates.
  int WriteFile(const std::string& path);
  // Bytes up to LF, NUL or the end; CRs dropped; one byte per char.
  std::string ReadLine(int stream);
  bool Eof(int stream);
  // Low 8 bits of each char, then CR LF.
  void WriteLine(int stream, const std::string& text);
  // Flushes (and syncs written files to the disk) and closes; false when
  // anything written did not reach the file, or the handle is unknown.
  bool CloseFile(int stream);
  int OpenCount() const { return static_cast<int>(streams_.size()); }

  static bool RenameFile(const std::string& from, const std::string& to);
  static bool RemoveFile(const std::string& path);
  static bool MakeDirectory(const std::string& path);
  static bool FileExists(const std::string& path);
  static bool FileWritable(const std::string& path);

 private:
  struct Stream {
    std::FILE* f = nullptr;
    bool readable = true;  // false for WriteFile streams
    bool wrote = false;    // anything written: sync on close
    bool writing = false;  // last operation was a write (update streams switch with a seek)
    bool failed = false;
  };
  Stream* Get(int stream);
  void ForReading(Stream& s);
  int Add(std::FILE* f);
  std::map<int, Stream> streams_;
  int next_ = 1;
};

}  // namespace sb
