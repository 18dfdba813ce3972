#include "driverkit.h"

#include <cstdio>

#include "win/registryrecord.h"

namespace vexa::uitest {

namespace {
int g_failures = 0;
std::string g_label;

BOOL CALLBACK CollectWindow(HWND w, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}
}  // namespace

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

bool Check(bool ok, const std::string& what, const std::string& detail) {
  const std::string label = g_label.empty() ? "" : "[" + g_label + "] ";
  std::printf("%s %s%s%s%s\n", ok ? "ok  " : "FAIL", label.c_str(), what.c_str(), detail.empty() ? "" : ": ",
              detail.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failures;
  return ok;
}

bool CheckText(const std::wstring& got, const std::wstring& want, const std::string& what) {
  return Check(got == want, what, got == want ? "" : "got \"" + Utf8(got) + "\", want \"" + Utf8(want) + "\"");
}

void SetCheckLabel(const std::string& label) { g_label = label; }
int Failures() { return g_failures; }

bool Request(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  char answer[512] = {};
  if (!std::fgets(answer, sizeof answer, stdin)) return Check(false, "script answers " + line);
  std::string a(answer);
  while (!a.empty() && (a.back() == '\n' || a.back() == '\r')) a.pop_back();
  return a == "ok" || Check(false, line, a);
}

bool Xdotool(const std::string& args) { return Request("@xdotool " + args); }

void Shot(const std::string& name, const RECT& r) {
  Request("@shot " + name + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
          std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

bool WaitFor(const std::function<bool()>& cond, DWORD limit_ms) {
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > limit_ms) return false;
    Sleep(50);
  }
  return true;
}

std::wstring ClassOf(HWND w) {
  wchar_t buf[256] = {};
  GetClassNameW(w, buf, 255);
  return buf;
}

std::wstring TextOf(HWND w) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return L"<no answer>";
  std::wstring s(len + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 5000, &got);
  s.resize(got);
  return s;
}

std::vector<HWND> TopWindows() {
  std::vector<HWND> all;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND FindTopWindow(DWORD pid, const wchar_t* cls, bool visible_only) {
  for (HWND w : TopWindows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if ((!pid || owner == pid) && ClassOf(w) == cls && (!visible_only || IsWindowVisible(w))) return w;
  }
  return nullptr;
}

HWND Control(HWND form, int id) {
  for (HWND w : Descendants(form))
    if (GetDlgCtrlID(w) == id) return w;
  return nullptr;
}

RECT ScreenRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

POINT Centre(HWND w) {
  const RECT r = ScreenRect(w);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickAt(POINT p, int button) {
  Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " sleep 0.2 click " +
          std::to_string(button) + " sleep 0.2");
}

void ClickAt(HWND w) { ClickAt(Centre(w)); }

void Type(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, VK_BACK, 0);
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Settle(HWND form) {
  Sleep(300);
  DWORD_PTR r = 0;
  SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
}

Launched::~Launched() {
  if (!pi_.hProcess) return;
  if (!Ended(0)) TerminateProcess(pi_.hProcess, 1);
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool Launched::Launch(const std::wstring& exe) {
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
    return Check(false, "VexaS.exe starts", "CreateProcess error " + std::to_string(GetLastError()));
  return true;
}

bool Launched::Ended(DWORD limit_ms) const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, limit_ms) == WAIT_OBJECT_0;
}

void ClearRecord() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, vexa::win::kInstallRecordKey); }

void SetRecord(const std::wstring& version, const std::wstring& path) {
  ClearRecord();
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, vexa::win::kInstallRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    Check(false, "the previous record is written");
    return;
  }
  bool ok = true;
  for (const auto& [name, value] : {std::pair{L"version", &version}, std::pair{L"path", &path}})
    ok = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                        static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
         ok;
  RegCloseKey(key);
  if (!ok) Check(false, "the previous record is written");
}

std::string FileBytes(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
  CloseHandle(f);
  return bytes;
}

std::string ResourceOf(const std::wstring& exe, const wchar_t* type, const wchar_t* name) {
  HMODULE m = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!m) return std::string();
  std::string bytes;
  if (HRSRC r = FindResourceW(m, name, type))
    if (HGLOBAL g = LoadResource(m, r))
      if (const void* p = LockResource(g)) bytes.assign(static_cast<const char*>(p), SizeofResource(m, r));
  FreeLibrary(m);
  return bytes;
}

}  // namespace vexa::uitest
