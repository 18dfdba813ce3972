#pragma once
// What a probe program saw, written beside the program as "seen.txt" in
// code page 936: one "key=value" line each for its process id, its current
// folder and every argument. Written under a temporary name and then
// renamed, so a reader that finds the file finds it whole.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "codepage.h"
#include "win/winraii.h"

namespace vexa::probe {

inline std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The arguments after the program name, split as the C runtime splits them.
inline std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> out;
  int count = 0;
  if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) out.emplace_back(argv[i]);
    LocalFree(argv);
  }
  return out;
}

inline void WriteReport(const std::string& extra = std::string()) {
  std::string text = "pid=" + std::to_string(GetCurrentProcessId()) + "\r\n";
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring cwd(n, L'\0');
  cwd.resize(GetCurrentDirectoryW(n, cwd.data()));
  text += "cwd=" + WideToCp936(cwd) + "\r\n";
  for (const std::wstring& arg : Arguments()) text += "arg=" + WideToCp936(arg) + "\r\n";
  if (!extra.empty()) text += extra + "\r\n";
  const std::wstring folder = OwnFolder();
  const std::wstring temp = folder + L"seen." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  {
    win::UniqueFile f(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD put = 0;
    if (!f || !WriteFile(f.get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) || put != text.size())
      return;
  }
  MoveFileExW(temp.c_str(), (folder + L"seen.txt").c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace vexa::probe
