// Windows side of the file-system seam: wide calls, with code page 936
// converted explicitly so behaviour does not depend on the ANSI code page.
#include <windows.h>

#include "codepage.h"
#include "errors.h"
#include "fsys.h"

namespace vexa::fsys {

namespace {
std::wstring W(const std::string& s) { return Cp936ToWide(s); }

HANDLE H(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// Owns a FindFirstFile search handle.
class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};
}  // namespace

std::string LastErrorText() {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring w = text ? text : L"";
  if (text) LocalFree(text);
  while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ')) w.pop_back();
  if (w.empty()) return "system error " + std::to_string(code);
  return WideToCp936(w);
}

bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) {
  std::string pattern = folder;
  if (!EndsWithBackslash936(pattern)) pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(W(pattern).c_str(), &data));
  if (!find.valid()) return false;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({WideToCp936(name), static_cast<std::uint32_t>(data.dwFileAttributes)});
  } while (FindNextFileW(find.get(), &data));
  return true;
}

std::optional<std::uint32_t> GetAttributes(const std::string& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return static_cast<std::uint32_t>(a);
}

bool DirectoryExists(const std::string& path) {
  const auto a = GetAttributes(path);
  return a && (*a & kDirectory);
}

bool FileExists(const std::string& path) {
  const auto a = GetAttributes(path);
  return a && !(*a & kDirectory);
}

bool CreateDir(const std::string& path) { return CreateDirectoryW(W(path).c_str(), nullptr) != 0; }
bool RemoveDir(const std::string& path) { return RemoveDirectoryW(W(path).c_str()) != 0; }
bool DeleteFileAt(const std::string& path) { return DeleteFileW(W(path).c_str()) != 0; }
bool SetCurrentDir(const std::string& path) { return SetCurrentDirectoryW(W(path).c_str()) != 0; }

std::string GetCurrentDir() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring buf(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, buf.data());
  buf.resize(got < n ? got : 0);
  return WideToCp936(buf);
}

File::File(const std::string& path, OpenMode mode) : path_(path) {
  HANDLE h;
  if (mode == OpenMode::ReadShared) {
    h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
  } else {
    h = CreateFileW(W(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
  }
  if (h == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file \"" + path + "\". " + LastErrorText());
  handle_ = reinterpret_cast<std::intptr_t>(h);
}

void File::Close() noexcept {
  if (H(handle_) != INVALID_HANDLE_VALUE) CloseHandle(H(handle_));
  handle_ = -1;
}

std::size_t File::Read(void* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(count - done > 0x10000000 ? 0x10000000 : count - done);
    DWORD got = 0;
    if (!ReadFile(H(handle_), static_cast<char*>(buffer) + done, chunk, &got, nullptr))
      throw EReadError("Cannot read file \"" + path_ + "\". " + LastErrorText());
    if (got == 0) break;
    done += got;
  }
  return done;
}

void File::Write(const void* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(count - done > 0x10000000 ? 0x10000000 : count - done);
    DWORD put = 0;
    if (!WriteFile(H(handle_), static_cast<const char*>(buffer) + done, chunk, &put, nullptr) || put == 0)
      throw EWriteError("Cannot write file \"" + path_ + "\". " + LastErrorText());
    done += put;
  }
}

std::int64_t File::Seek(std::int64_t offset, int origin) {
  LARGE_INTEGER to, now;
  to.QuadPart = offset;
  const DWORD method = origin == 0 ? FILE_BEGIN : origin == 1 ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(H(handle_), to, &now, method))
    throw EStreamError("Cannot seek in file \"" + path_ + "\". " + LastErrorText());
  return now.QuadPart;
}

std::int64_t File::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(H(handle_), &size))
    throw EStreamError("Cannot read the size of \"" + path_ + "\". " + LastErrorText());
  return size.QuadPart;
}

}  // namespace vexa::fsys
