// POSIX side of the file-system seam, for the native build: tools and tests.
// A name starting with "." counts as hidden; read-only is the lack of the
// owner's write permission.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "codepage.h"
#include "errors.h"
#include "fsys.h"

namespace vexa::fsys {

namespace {
// "\" separates path parts as "/" does; the bytes go to the system as UTF-8.
std::string Native(const std::string& path) {
  std::string p = Cp936ToUtf8(path);
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

std::uint32_t AttributesOf(const std::string& name, const struct stat& st) {
  std::uint32_t a = 0;
  if (S_ISDIR(st.st_mode)) a |= kDirectory;
  else a |= kArchive;
  if (!(st.st_mode & S_IWUSR)) a |= kReadOnly;
  if (!name.empty() && name[0] == '.') a |= kHidden;
  return a;
}

// A native path without trailing "/" (the root stays "/"): "link/" would
// name the link's target, not the link.
std::string WithoutTrailingSlashes(std::string native) {
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return native;
}

// stat() follows links; the link itself is reported as Windows reports a
// symbolic link, with the reparse-point bit beside its target's kind.
std::uint32_t LinkBit(const std::string& native) {
  struct stat lst;
  return lstat(WithoutTrailingSlashes(native).c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) ? kReparsePoint : 0;
}

std::string BaseName(const std::string& native) {
  const std::string p = WithoutTrailingSlashes(native);
  const auto slash = p.find_last_of('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

bool LessIgnoringAsciiCase(const DirEntry& a, const DirEntry& b) {
  const std::string ua = UpperAscii936(a.name), ub = UpperAscii936(b.name);
  if (ua != ub) return ua < ub;
  return a.name < b.name;
}
}  // namespace

std::string LastErrorText() { return std::strerror(errno); }

bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) {
  const std::string dir = Native(folder);
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  std::vector<DirEntry> found;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    const std::string full = dir + "/" + name;
    if (stat(full.c_str(), &st) != 0) continue;
    found.push_back({Utf8ToCp936(name), AttributesOf(name, st) | LinkBit(full)});
  }
  closedir(d);
  std::sort(found.begin(), found.end(), LessIgnoringAsciiCase);
  entries.insert(entries.end(), found.begin(), found.end());
  return true;
}

std::optional<std::uint32_t> GetAttributes(const std::string& path) {
  const std::string p = Native(path);
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return std::nullopt;
  return AttributesOf(BaseName(p), st) | LinkBit(p);
}

bool DirectoryExists(const std::string& path) {
  const auto a = GetAttributes(path);
  return a && (*a & kDirectory);
}

bool FileExists(const std::string& path) {
  const auto a = GetAttributes(path);
  return a && !(*a & kDirectory);
}

bool CreateDir(const std::string& path) { return mkdir(Native(path).c_str(), 0777) == 0; }
bool RemoveDir(const std::string& path) {
  const std::string p = WithoutTrailingSlashes(Native(path));
  // As RemoveDirectory does for a folder link: the link goes, its target stays.
  const auto a = GetAttributes(path);
  if (a && (*a & kDirectory) && (*a & kReparsePoint)) return unlink(p.c_str()) == 0;
  return rmdir(p.c_str()) == 0;
}

bool DeleteFileAt(const std::string& path) {
  const auto a = GetAttributes(path);
  if (!a || (*a & kDirectory)) return false;
  // Windows refuses to delete a read-only file; so does this seam.
  if (*a & kReadOnly) {
    errno = EACCES;
    return false;
  }
  return unlink(Native(path).c_str()) == 0;
}

bool SetCurrentDir(const std::string& path) { return chdir(Native(path).c_str()) == 0; }

std::string GetCurrentDir() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? Utf8ToCp936(buf) : std::string();
}

File::File(const std::string& path, OpenMode mode) : path_(path) {
  const std::string p = Native(path);
  int fd;
  if (mode == OpenMode::ReadShared) {
    fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      close(fd);
      fd = -1;
      errno = EISDIR;
    }
  } else {
    // As on Windows, create-always fails on an existing read-only file.
    const auto a = GetAttributes(path);
    if (a && (*a & (kReadOnly | kDirectory))) {
      errno = (*a & kDirectory) ? EISDIR : EACCES;
      fd = -1;
    } else {
      fd = open(p.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    }
  }
  if (fd < 0) throw EFOpenError("Cannot open file \"" + path + "\". " + LastErrorText());
  handle_ = fd;
}

void File::Close() noexcept {
  if (handle_ >= 0) close(static_cast<int>(handle_));
  handle_ = -1;
}

std::size_t File::Read(void* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = read(static_cast<int>(handle_), static_cast<char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError("Cannot read file \"" + path_ + "\". " + LastErrorText());
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void File::Write(const void* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = write(static_cast<int>(handle_), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EWriteError("Cannot write file \"" + path_ + "\". " + LastErrorText());
    }
    done += static_cast<std::size_t>(n);
  }
}

std::int64_t File::Seek(std::int64_t offset, int origin) {
  const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  const off_t r = lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
  if (r < 0) throw EStreamError("Cannot seek in file \"" + path_ + "\". " + LastErrorText());
  return static_cast<std::int64_t>(r);
}

std::int64_t File::Size() {
  struct stat st;
  if (fstat(static_cast<int>(handle_), &st) != 0)
    throw EStreamError("Cannot read the size of \"" + path_ + "\". " + LastErrorText());
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace vexa::fsys
