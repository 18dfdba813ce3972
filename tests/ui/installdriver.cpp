// Drives whole installations as a user would: starts VexaS.exe, types the
// location, ticks or unticks the boxes, presses Install, answers message
// boxes, waits for the program to end and checks what it left behind: the
// installed tree against the sample client, the desktop shortcut, the
// installation record, the client started or not.
//
// Usage: installdriver <VexaS.exe> <sample client folder> <scenario>...
//   scenarios: fresh, reinstall, inuse, nodrive, nolaunch
//
// It speaks the protocol of run-ui-scenario.sh: "@xdotool ..." and
// "@shot <name> <x> <y> <w> <h>" requests answered with one line each, and
// verdict lines "ok ..." / "FAIL ...". The exit code is 0 when every check
// held. The prefix maps D: to a temporary folder and points the desktop
// ("Shell Folders" and "User Shell Folders") at C:\desktop.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "codepage.h"
#include "driverkit.h"
#include "controlids.h"
#include "messages.h"
#include "resource_names.h"
#include "win/registryrecord.h"
#include "win/shelllink.h"
#include "win/winraii.h"

namespace {

using namespace vexa::uitest;

using vexa::Cp936ToWide;
namespace ids = vexa::ids;
namespace rules = vexa::rules;

std::wstring g_exe;
std::wstring g_client;  // the sample client folder, as the payload was packed from it

constexpr wchar_t kDesktop[] = L"C:\\desktop";


// ------------------------------------------------------------ windows

// A visible top-level window titled title, of any process.
HWND FindTitled(const wchar_t* title) {
  for (HWND w : TopWindows())
    if (IsWindowVisible(w) && TextOf(w) == title) return w;
  return nullptr;
}

// The message box of process pid: its caption and its longest static text.
struct Box {
  HWND wnd = nullptr;
  std::wstring caption, text;
};
Box WaitBox(DWORD pid, DWORD limit_ms = 60000) {
  Box box;
  WaitFor([&] { return (box.wnd = FindTopWindow(pid, L"#32770")) && IsWindowVisible(box.wnd); }, limit_ms);
  if (!box.wnd) return box;
  Sleep(300);
  box.caption = TextOf(box.wnd);
  for (HWND w : Descendants(box.wnd)) {
    if (ClassOf(w) != L"Static") continue;
    std::wstring t = TextOf(w);
    if (t.size() > box.text.size()) box.text = t;
  }
  return box;
}

// ------------------------------------------------------------ files and registry

bool IsDir(const std::wstring& p) {
  const DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
bool IsFile(const std::wstring& p) {
  const DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Every entry below folder by relative path: "d" for a folder, else the
// file's bytes prefixed with "f".
void Tree(const std::wstring& folder, const std::wstring& rel, std::map<std::wstring, std::string>& out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring r = rel.empty() ? name : rel + L"\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out[r] = "d";
      Tree(folder + L"\\" + name, r, out);
    } else {
      out[r] = "f" + FileBytes(folder + L"\\" + name);
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring p = folder + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(p);
      else
        DeleteFileW(p.c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(folder.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    else
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

// A value of the record; nullopt-like "<absent>" when missing.
std::wstring RecordValue(const wchar_t* name) {
  wchar_t buf[512] = {};
  DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, vexa::win::kInstallRecordKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return L"<absent>";
  const LONG r = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return L"<absent>";
  return type == REG_SZ ? std::wstring(buf) : L"<not a string>";
}

std::wstring LinkPath() { return std::wstring(kDesktop) + L"\\MiravoVexa.lnk"; }

// Processes of an image name, by id.
std::vector<DWORD> ProcessesNamed(const wchar_t* name) {
  std::vector<DWORD> found;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
    if (lstrcmpiW(pe.szExeFile, name) == 0) found.push_back(pe.th32ProcessID);
  CloseHandle(snap);
  return found;
}

void EndClient() {
  for (DWORD pid : ProcessesNamed(L"Vexa.exe"))
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      TerminateProcess(p, 0);
      WaitForSingleObject(p, 5000);
      CloseHandle(p);
    }
}

// ------------------------------------------------------------ the installer

struct Program : Launched {
  HWND form = nullptr;

  bool Start() {
    if (!Launch(g_exe)) return false;
    const bool shown = WaitFor([&] {
      form = FindTopWindow(Pid(), ids::kFormClass);
      return form && IsWindowVisible(form);
    });
    if (shown) Settle(form);
    return Check(shown, "the installer window appears");
  }
  HWND Get(int id) const { return Control(form, id); }
  // Sets the location and the launch box, then presses Install.
  void Install(const std::wstring& location, bool launch) {
    Type(Get(ids::Edit1), location);
    Settle(form);
    if (Checked(Get(ids::cxstart)) != launch) ClickAt(Get(ids::cxstart));
    Settle(form);
    Check(Checked(Get(ids::cxstart)) == launch, launch ? "launch box ticked" : "launch box unticked");
    ClickAt(Get(ids::cxButton1));
  }
  // Waits for the progress panel; a screenshot of it under name.
  bool Progress(const std::string& shot) {
    HWND panel = Get(ids::Panel2);
    const bool shown = WaitFor([&] { return panel && IsWindowVisible(panel); }, 20000);
    if (shown && !shot.empty()) {
      Sleep(500);
      Shot(shot, ScreenRect(form));
    }
    return Check(shown, "the progress panel shows");
  }
  // Ends within limit_ms; otherwise says what the program shows instead.
  bool EndsWithin(DWORD limit_ms) {
    if (Ended(limit_ms)) return true;
    std::string seen = "caption \"" + Utf8(TextOf(form)) + "\", progress " +
                       std::to_string(SendMessageW(Get(ids::ProgressBar1), PBM_GETPOS, 0, 0));
    if (HWND box = FindTopWindow(Pid(), L"#32770")) {
      seen += ", a box \"" + Utf8(TextOf(box)) + "\":";
      for (HWND w : Descendants(box))
        if (ClassOf(w) == L"Static") seen += " " + Utf8(TextOf(w));
    }
    std::printf("     still running: %s\n", seen.c_str());
    return false;
  }
};

// The installed folder holds the sample client byte for byte, plus the
// icon and the three slides from the installer's resources. With
// cache_purged (a previous installation had a cache) the client's cache
// folder is gone from the new tree.
void CheckTree(const std::wstring& installed, bool cache_purged = false) {
  std::map<std::wstring, std::string> want, got;
  Tree(g_client, L"", want);
  Tree(installed, L"", got);
  if (cache_purged) {
    Check(!IsDir(installed + L"\\cache"), "the cache folder was purged after the unpack");
    for (auto it = want.begin(); it != want.end();)
      it = it->first.rfind(L"cache", 0) == 0 ? want.erase(it) : std::next(it);
  }
  Check(want.size() > 5, "the sample client folder is readable", Utf8(g_client));
  for (const auto& [name, bytes] : want) {
    auto it = got.find(name);
    if (!Check(it != got.end(), "installed: " + Utf8(name))) continue;
    Check(it->second == bytes, "installed byte for byte: " + Utf8(name));
  }
  Check(got[L"logo.ico"] == "f" + ResourceOf(g_exe, vexa::res::kTextFileType, vexa::res::kShortcutIconName),
        "logo.ico is the installer's icon");
  for (const wchar_t* slide : {vexa::res::kSlide1Name, vexa::res::kSlide2Name, vexa::res::kSlide3Name})
    Check(got[std::wstring(slide) + L".jpg"] == "f" + ResourceOf(g_exe, vexa::res::kTextFileType, slide),
          "slide " + Utf8(slide) + ".jpg");
  std::vector<std::wstring> extra;
  for (const auto& [name, bytes] : got)
    if (!want.count(name) && name != L"logo.ico" && name.find(L"IMG0") != 0) extra.push_back(name);
  Check(extra.empty(), "nothing else in the installed folder", extra.empty() ? "" : Utf8(extra.front()));
}

void CheckShortcut(const std::wstring& target) {
  if (!Check(IsFile(LinkPath()), "the shortcut is on the desktop")) return;
  vexa::win::ComInit com;
  try {
    const vexa::win::ShellLinkFields f = vexa::win::ReadShellLink(LinkPath());
    Check(lstrcmpiW(f.target.c_str(), (target + L"\\Vexa.exe").c_str()) == 0, "shortcut target",
          Utf8(f.target));
    CheckText(f.working_dir, target + L"\\", "shortcut working folder");
    CheckText(f.description, Cp936ToWide(vexa::win::kShortcutDescription), "shortcut description");
    CheckText(f.icon_path, target + L"\\logo.ico", "shortcut icon");
    Check(f.icon_index == 0, "shortcut icon index 0");
    CheckText(f.arguments, L"", "shortcut has no arguments");
  } catch (const std::exception& e) {
    Check(false, "the shortcut reads back", e.what());
  }
}

// Where a record went when it is not where it belongs, for the failure message.
std::string RecordDiagnosis() {
  std::string found;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, vexa::win::kInstallRecordKey, 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
      found += view == KEY_WOW64_64KEY ? "64-bit view has it; " : "32-bit view has it; ";
      RegCloseKey(key);
    }
  }
  return found.empty() ? "in no view" : found;
}

void CheckRecord(const std::wstring& path) {
  if (RecordValue(L"version") == L"<absent>") Check(false, "record found", RecordDiagnosis());
  CheckText(RecordValue(L"version"), L"V2.29", "record version");
  CheckText(RecordValue(L"path"), path, "record path");
  const std::wstring t = RecordValue(L"lasttime");
  Check(t != L"<absent>" && !t.empty(), "record lasttime present", Utf8(t));
}

void Fresh(const std::wstring& location, const std::wstring& target) {
  ClearRecord();
  DeleteFileW(LinkPath().c_str());
  RemoveTree(location);
  EndClient();
  Program p;
  if (!p.Start()) return;
  p.Install(location, true);
  p.Progress("progress");
  Check(p.EndsWithin(120000), "the installer ends");
  HWND client = nullptr;
  Check(WaitFor([&] { return (client = FindTitled(L"Vexa")) != nullptr; }, 20000), "the client's window appears");
  Sleep(500);
  Shot("finished-desktop", RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  CheckTree(target);
  CheckShortcut(target);
  CheckRecord(location + L"\\");
  EndClient();
}

// A previous installation at D:\old\ with its client running.
void Reinstall() {
  SetCheckLabel("reinstall");
  const std::wstring old = L"D:\\old\\vevovidi";
  RemoveTree(L"D:\\old");
  RemoveTree(L"D:\\new");
  CreateDirectoryW(L"D:\\old", nullptr);
  CopyTree(g_client, old);
  CreateDirectoryW((old + L"\\extra").c_str(), nullptr);
  {
    HANDLE f = CreateFileW((old + L"\\extra\\mine.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
  }
  SetRecord(L"V2.29", L"D:\\old\\");
  std::vector<PROCESS_INFORMATION> running;
  for (const wchar_t* exe : {L"zrie.exe", L"zrerr.exe", L"Vexa.exe"}) {
    const std::wstring path = old + L"\\" + exe;
    std::wstring cmd = L"\"" + path + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (Check(CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, old.c_str(), &si, &pi) !=
                  FALSE,
              "old client process starts: " + Utf8(exe)))
      running.push_back(pi);
  }
  WaitFor([] { return FindTitled(L"Vexa") != nullptr; }, 20000);
  Program p;
  if (!p.Start()) return;
  CheckText(TextOf(p.Get(ids::Edit1)), L"D:\\old\\", "the previous location fills the edit");
  p.Install(L"D:\\new", false);
  p.Progress("");
  Check(p.EndsWithin(120000), "the installer ends");
  for (PROCESS_INFORMATION& pi : running) {
    Check(WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0, "a running client process was stopped");
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  const std::string trace = FileBytes(old + L"\\unregistered.txt");
  Check(!trace.empty(), "the old component was unregistered", trace);
  Check(trace.find("D:\\old\\vevovidi") != std::string::npos, "the component saw its own folder as current",
        trace);
  for (const wchar_t* listed : {L"Vexa.exe", L"zrie.exe", L"zrerr.exe", L"zroldexam.dll", L"LICENSE",
                                L"config\\settings.ini", L"config\\server.cfg", L"data\\exam.db",
                                L"data\\考试说明.txt", L"data\\blank.dat", L"web\\index.html", L"web\\app.js"})
    Check(!IsFile(old + L"\\" + listed), "listed file removed: " + Utf8(listed));
  for (const wchar_t* kept : {L"readme.txt", L"config\\files.xml", L"data\\notes.txt", L"cache\\index.dat",
                              L"extra\\mine.txt"})
    Check(IsFile(old + L"\\" + kept), "unlisted file stays: " + Utf8(kept));
  Check(IsDir(old + L"\\web"), "folders of the old installation stay");
  CheckTree(L"D:\\new\\vevovidi", true);
  CheckRecord(L"D:\\new\\");
  Check(ProcessesNamed(L"Vexa.exe").empty(), "launch unticked: no client started");
}

// A file of the target held open without sharing.
void InUse() {
  SetCheckLabel("inuse");
  SetRecord(L"V2.29", L"c:\\prev\\");
  DeleteFileW(LinkPath().c_str());
  RemoveTree(L"c:\\busy");
  CreateDirectoryW(L"c:\\busy", nullptr);
  CreateDirectoryW(L"c:\\busy\\vevovidi", nullptr);
  HANDLE held = CreateFileW(L"c:\\busy\\vevovidi\\readme.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  Check(held != INVALID_HANDLE_VALUE, "the driver holds a file of the target");
  Program p;
  if (p.Start()) {
    p.Install(L"c:\\busy", true);
    p.Progress("");
    const Box box = WaitBox(p.Pid());
    if (Check(box.wnd != nullptr, "a message box appears")) {
      Shot("in-use-box", ScreenRect(box.wnd));
      CheckText(box.caption, Cp936ToWide(rules::kNoticeCaption), "box caption");
      CheckText(box.text, Cp936ToWide(rules::kMsgFileInUse), "box text");
      Check(!p.Ended(0), "the program waits for the box");
      PostMessageW(box.wnd, WM_COMMAND, IDOK, 0);
    }
    Check(p.Ended(20000), "the program ends after OK");
    CheckText(RecordValue(L"path"), L"c:\\prev\\", "the previous record's path is unchanged");
    CheckText(RecordValue(L"lasttime"), L"<absent>", "the previous record gains no lasttime");
    Check(!IsFile(LinkPath()), "no shortcut");
    Check(ProcessesNamed(L"Vexa.exe").empty(), "no client started");
  }
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
}

// A location without a drive part, then a corrected one.
void NoDrive() {
  SetCheckLabel("nodrive");
  ClearRecord();
  RemoveTree(L"c:\\fixed");
  Program p;
  if (!p.Start()) return;
  HWND edit = p.Get(ids::Edit1), install = p.Get(ids::cxButton1), agree = p.Get(ids::cxprotocol);
  Type(edit, L"vexa");
  Settle(p.form);
  // The location check disables Install; ticking the agreement again
  // enables it whatever the location says.
  ClickAt(agree);
  Settle(p.form);
  ClickAt(agree);
  Settle(p.form);
  Check(IsWindowEnabled(install) != FALSE, "Install is enabled again by the agreement box");
  ClickAt(install);
  const Box box = WaitBox(p.Pid(), 20000);
  if (Check(box.wnd != nullptr, "a message box appears")) {
    CheckText(box.caption, Cp936ToWide(rules::kNoticeCaption), "box caption");
    CheckText(box.text, Cp936ToWide(rules::kMsgChooseCorrectPath), "box text");
    PostMessageW(box.wnd, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box.wnd); });
  }
  Settle(p.form);
  Check(IsWindowVisible(p.Get(ids::Panel1)) && !IsWindowVisible(p.Get(ids::Panel2)),
        "the window stays on the install panel");
  Check(!p.Ended(0), "the program goes on");
  p.Install(L"c:\\fixed", false);
  p.Progress("");
  Check(p.EndsWithin(120000), "the corrected location installs and the installer ends");
  CheckTree(L"c:\\fixed\\vevovidi");
  CheckRecord(L"c:\\fixed\\");
}

void NoLaunch() {
  SetCheckLabel("nolaunch");
  ClearRecord();
  RemoveTree(L"c:\\quiet");
  EndClient();
  Program p;
  if (!p.Start()) return;
  p.Install(L"c:\\quiet", false);
  p.Progress("");
  Check(p.EndsWithin(120000), "the installer ends");
  Sleep(1000);
  Check(ProcessesNamed(L"Vexa.exe").empty() && !FindTitled(L"Vexa"), "nothing was started");
  Check(IsFile(L"c:\\quiet\\vevovidi\\Vexa.exe"), "the client is installed");
  CheckRecord(L"c:\\quiet\\");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: installdriver <VexaS.exe> <sample client folder> <scenario>...\n");
    return 2;
  }
  g_exe = argv[1];
  g_client = argv[2];
  for (int i = 3; i < argc; ++i) {
    const std::wstring s = argv[i];
    if (s == L"fresh") {
      SetCheckLabel("fresh");
      Fresh(L"c:\\vexa", L"c:\\vexa\\vevovidi");
    } else if (s == L"reinstall") {
      Reinstall();
    } else if (s == L"inuse") {
      InUse();
    } else if (s == L"nodrive") {
      NoDrive();
    } else if (s == L"nolaunch") {
      NoLaunch();
    } else {
      Check(false, "known scenario", Utf8(s));
    }
  }
  ClearRecord();
  std::printf("%s\n", Failures() ? "FAILED" : "PASSED");
  return Failures() ? 1 : 0;
}
