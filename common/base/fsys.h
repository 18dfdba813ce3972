#pragma once
// The thin file-system seam the portable code stands on. Paths and names are
// code page 936 byte strings; each implementation converts them explicitly at
// the operating-system boundary (UTF-16 wide calls on Windows, UTF-8 on
// POSIX). On POSIX both "\" and "/" separate path parts.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexa::fsys {

// Attribute bits, with the values Windows gives them.
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kVolumeLabel = 0x08;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
// A link (symbolic link, junction): removing it must not touch its target.
constexpr std::uint32_t kReparsePoint = 0x400;

struct DirEntry {
  std::string name;          // the entry's own name, code page 936
  std::uint32_t attributes;  // the bits above
};

// Lists the entries of folder ("." and ".." left out). On Windows the order
// is the platform's; on POSIX it is ascending by name with ASCII letters
// compared without regard to case, the order NTFS gives. Returns false
// when the listing cannot start (missing or unreadable folder).
bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries);

// The attributes of path, or nothing when it does not exist.
std::optional<std::uint32_t> GetAttributes(const std::string& path);
bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);
// One level only; false when it cannot be made (it exists, parent missing...).
bool CreateDir(const std::string& path);
// Removes an empty folder, or a link to a folder (the link, not its target).
bool RemoveDir(const std::string& path);
bool DeleteFileAt(const std::string& path);
bool SetCurrentDir(const std::string& path);
std::string GetCurrentDir();

// The system's reason for the last failed call, as a sentence.
std::string LastErrorText();

enum class OpenMode {
  ReadShared,    // open existing for reading; others may read and write
  CreateAlways,  // create or truncate for reading and writing; no sharing
};

// An open file. Move-only; closed by its destructor.
class File {
 public:
  File() = default;
  // Raises EFOpenError naming the path and the system's reason.
  File(const std::string& path, OpenMode mode);
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Reads up to count bytes (fewer at the end); raises EReadError on failure.
  std::size_t Read(void* buffer, std::size_t count);
  // Writes all count bytes or raises EWriteError.
  void Write(const void* buffer, std::size_t count);
  // origin: 0 begin, 1 current, 2 end. Returns the new position.
  std::int64_t Seek(std::int64_t offset, int origin);
  std::int64_t Size();
  const std::string& Path() const { return path_; }

 private:
  void Close() noexcept;
  std::intptr_t handle_ = -1;
  std::string path_;
};

}  // namespace vexa::fsys
