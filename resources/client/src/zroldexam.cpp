// zroldexam.dll of the sample client: the in-process component that a
// previous installation leaves behind. Its DllUnregisterServer unregisters
// nothing; it leaves a trace instead, so that tests can see it was called:
// it appends one line to "unregistered.txt" in the DLL's own folder, holding
// the process's current folder at the time of the call (UTF-8, CR LF).
#include <windows.h>

#include <string>

#include "win/winraii.h"

namespace {

HMODULE g_self = nullptr;

// The folder this DLL was loaded from, with its trailing backslash; empty
// when the module path cannot be had in full.
std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(g_self, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring CurrentFolder() {
  const DWORD need = GetCurrentDirectoryW(0, nullptr);
  if (need == 0) return {};
  std::wstring dir(need, L'\0');
  const DWORD n = GetCurrentDirectoryW(need, &dir[0]);
  if (n == 0 || n >= need) return {};
  dir.resize(n);
  return dir;
}

std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_self = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

// S_OK once the trace line is written, E_FAIL when it could not be.
extern "C" HRESULT __stdcall DllUnregisterServer() {
  const std::wstring folder = OwnFolder();
  if (folder.empty()) return E_FAIL;
  vexa::win::UniqueFile file(CreateFileW((folder + L"unregistered.txt").c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return E_FAIL;
  const std::string line = ToUtf8(CurrentFolder()) + "\r\n";
  DWORD written = 0;
  if (!WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
      written != line.size())
    return E_FAIL;
  return S_OK;
}
