#include "win/oldinstall.h"

#include <windows.h>

#include <vector>

#include "codepage.h"
#include "win/manifest.h"
#include "win/winraii.h"

namespace vexa::win {

namespace {

bool IsFile(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::vector<wchar_t> buf(n + 1, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
  return got == 0 || got >= buf.size() ? path : std::wstring(buf.data(), got);
}

std::wstring CurrentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return std::wstring();
  std::vector<wchar_t> buf(n + 1, L'\0');
  const DWORD got = GetCurrentDirectoryW(static_cast<DWORD>(buf.size()), buf.data());
  return got == 0 || got >= buf.size() ? std::wstring() : std::wstring(buf.data(), got);
}

// Sets the current folder for its lifetime and puts the previous one back.
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::wstring& folder) : previous_(CurrentFolder()) {
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
  }
  ~CurrentFolderScope() {
    if (!previous_.empty()) SetCurrentDirectoryW(previous_.c_str());
  }
  CurrentFolderScope(const CurrentFolderScope&) = delete;
  CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

 private:
  std::wstring previous_;
};

}  // namespace

void UnregisterOldComponent(const std::string& dll_path) noexcept {
  try {
    // Made absolute first: the current folder changes before the load.
    const std::wstring path = FullPath(Cp936ToWide(dll_path));
    const auto slash = path.find_last_of(L"\\/");
    // The component and what it loads beside it resolve against its folder.
    CurrentFolderScope in_own_folder(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
    UniqueModule library(LoadLibraryW(path.c_str()));
    if (!library) return;
    using Unregister = HRESULT(STDAPICALLTYPE*)();
    const auto entry = reinterpret_cast<Unregister>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "DllUnregisterServer")));
    if (entry) entry();
  } catch (...) {
    // Best effort: the installation goes on.
  }
}

void CleanPreviousInstall(const std::string& old_install_dir) noexcept {
  try {
    const std::wstring component = Cp936ToWide(old_install_dir + kOldComponent);
    if (IsFile(component)) UnregisterOldComponent(old_install_dir + kOldComponent);
    const std::wstring manifest = Cp936ToWide(old_install_dir + kOldManifest);
    if (!IsFile(manifest)) return;
    ComInit com;
    for (const std::wstring& file : ReadManifest(manifest, Cp936ToWide(old_install_dir + kOldClientFolder)))
      if (IsFile(file)) DeleteFileW(file.c_str());
  } catch (...) {
    // Best effort: the installation goes on.
  }
}

}  // namespace vexa::win
