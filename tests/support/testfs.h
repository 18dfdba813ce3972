#pragma once
// Small fixtures for the tests: a temporary folder that removes itself, and
// whole-file reads and writes through the project's own file-system seam.
#include <string>
#include <vector>

namespace vexa::test {

// A fresh folder below the system's temporary folder, removed with all its
// content (read-only entries included) when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder, without a trailing separator, in the platform's own form
  // ("\" on Windows, "/" on POSIX), code page 936.
  const std::string& path() const { return path_; }
  // path() + separator + relative (relative may use "\").
  std::string operator/(const std::string& relative) const;

 private:
  std::string path_;
};

// The platform's own separator.
char Sep();

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
void MakeDirs(const std::string& path);  // every missing level
// Removes a tree whatever its attributes; quiet when it is missing.
void RemoveAll(const std::string& path);
// Makes a file read-only (or writable again).
void SetReadOnly(const std::string& path, bool read_only);

// "hex dump" of bytes, for readable failure messages.
std::string Hex(const std::string& bytes);
// Bytes from hex text such as "11 00 00 00 44 3a"; blanks ignored.
std::string FromHex(const std::string& hex);

// A snapshot of a tree: relative path -> content ("<dir>" for folders),
// sorted, for comparing two trees in one assertion.
std::vector<std::pair<std::string, std::string>> Snapshot(const std::string& root);

}  // namespace vexa::test
