#include "sysproc.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cwchar>

#include "codepage.h"
#include "win/winraii.h"

namespace vexa {

#ifndef _WIN64
// The records as the 32-bit program lays them out.
static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one privilege entry");
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "shell execute record");
static_assert(sizeof(PROCESSENTRY32W) == 556, "process entry, wide form");
#endif

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);

// The snapshot functions, looked up by name in the already loaded kernel32
// at first use and kept for the life of the process. A missing one leaves
// its pointer null: no snapshot, no entries.
struct SnapshotApi {
  CreateSnapshotFn create = nullptr;
  ProcessWalkFn first = nullptr;
  ProcessWalkFn next = nullptr;
};

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  // Through a generic function pointer, which GetProcAddress's result may be
  // cast to and from without a function-type warning.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const SnapshotApi& Snapshots() {
  static const SnapshotApi api = [] {
    SnapshotApi a;
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {  // not ours to free
      a.create = Lookup<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
      a.first = Lookup<ProcessWalkFn>(kernel, "Process32FirstW");
      a.next = Lookup<ProcessWalkFn>(kernel, "Process32NextW");
    }
    return a;
  }();
  return api;
}

// The position after the last "\" or ":" of a wide path (0 when none).
// Searching the UTF-16 form keeps a code page 936 trail byte 0x5C from
// being taken for a separator.
std::size_t NamePartStart(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\:");
  return cut == std::wstring::npos ? 0 : cut + 1;
}

}  // namespace

void EnableDebugPrivilege() noexcept {
  win::UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put())) return;
  TOKEN_PRIVILEGES state{};
  if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &state.Privileges[0].Luid)) return;
  state.PrivilegeCount = 1;
  state.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // One call that only ever enables: no moment in which the privilege is
  // off, so concurrent callers on other threads never see it missing.
  // Without the privilege the call succeeds with ERROR_NOT_ALL_ASSIGNED and
  // the token is unchanged, which is all that is promised.
  AdjustTokenPrivileges(token.get(), FALSE, &state, sizeof state, nullptr, nullptr);
}

bool ImageNameMatches(const std::wstring& reported, const std::string& name) {
  if (name.empty()) return false;
  bool lossy = false;
  const std::string part = WideToCp936(reported.substr(NamePartStart(reported)), &lossy);
  if (lossy || part.size() != name.size()) return false;
  // Folding walks whole characters, so trail bytes that look like letters
  // are compared exactly.
  return UpperAscii936(part) == UpperAscii936(name);
}

void KillProcessByName(const std::string& name) noexcept {
  try {
    const SnapshotApi& api = Snapshots();
    if (!api.create || !api.first || !api.next) return;
    win::UniqueFile snapshot(api.create(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = api.first(snapshot.get(), &entry); more; more = api.next(snapshot.get(), &entry)) {
      const std::size_t length = wcsnlen(entry.szExeFile, MAX_PATH);
      if (!ImageNameMatches(std::wstring(entry.szExeFile, length), name)) continue;
      win::UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
      if (process) TerminateProcess(process.get(), 0);
    }
  } catch (...) {
    // Only an allocation can fail here; the promise is silence.
  }
}

void RunProgram(const std::string& file, const std::string& parameters, bool wait_for_idle) noexcept {
  try {
    EnableDebugPrivilege();
    // Shell extensions that ShellExecuteEx may hand the start to need COM.
    win::ComInit com;
    const std::wstring wfile = Cp936ToWide(file);
    const std::wstring wparameters = Cp936ToWide(parameters);
    const std::wstring wfolder = wfile.substr(0, NamePartStart(wfile));

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;  // no FLAG_NO_UI: the shell reports a failed start
    info.hwnd = nullptr;
    info.lpVerb = nullptr;
    info.lpFile = wfile.c_str();
    info.lpParameters = wparameters.c_str();
    info.lpDirectory = wfolder.c_str();
    info.nShow = SW_SHOW;
    const bool started = ShellExecuteExW(&info) != FALSE;
    // The handle is ours to close; a failed start leaves none, and both
    // waits then return at once.
    win::UniqueHandle process(started ? info.hProcess : nullptr);
    if (wait_for_idle) WaitForInputIdle(process.get(), INFINITE);
    else WaitForSingleObject(process.get(), 3000);
  } catch (...) {
    // No failure escapes.
  }
}

}  // namespace vexa
