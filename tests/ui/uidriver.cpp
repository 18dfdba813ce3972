// Drives the installer window as a user would see and use it: starts
// VexaS.exe, finds its controls by ID, types into the location edit, reads
// labels and message boxes, clicks, and checks what the window shows.
//
// Usage: uidriver <path of VexaS.exe>
//
// Real mouse gestures and screenshots are asked of the wrapping script
// (run-ui-scenario.sh) on standard output, one request a line:
//   @xdotool <arguments>        run xdotool with these arguments
//   @shot <name> <x> <y> <w> <h>  save that part of the screen as <name>
// The script answers each with one line, "ok" or an error. Every other
// output line is a verdict ("ok ..." or "FAIL ..."). The exit code is 0
// when every check held.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "appconfig.h"
#include "appmessages.h"
#include "codepage.h"
#include "driverkit.h"
#include "controlids.h"
#include "messages.h"
#include "resource_names.h"
#include "win/registryrecord.h"

namespace {

using namespace vexa::uitest;

using vexa::Cp936ToWide;
namespace ids = vexa::ids;
namespace rules = vexa::rules;

std::wstring g_exe;

// ------------------------------------------------------------ the window

std::string At(POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

// ------------------------------------------------------------ the program

struct Program : Launched {
  HWND form = nullptr;

  bool Start() { return Launch(g_exe); }
  // Waits for the main window to be shown.
  bool WaitWindow() {
    const bool shown = WaitFor([&] {
      form = FindTopWindow(Pid(), ids::kFormClass);
      return form && IsWindowVisible(form);
    });
    return Check(shown, "the installer window appears");
  }
};

// ------------------------------------------------------------ scenarios

// The window as it first appears, with no previous installation.
void CheckFirstLook(HWND form) {
  CheckText(TextOf(form), L"MiravoVexa", "caption");
  const RECT r = ScreenRect(form);
  Check(r.right - r.left == 492 && r.bottom - r.top == 364, "window is 492 x 364",
        std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top));
  const int cx = (GetSystemMetrics(SM_CXSCREEN) - 492) / 2, cy = (GetSystemMetrics(SM_CYSCREEN) - 364) / 2;
  Check(r.left == cx && r.top == cy, "window is centred on the screen",
        "at " + std::to_string(r.left) + "," + std::to_string(r.top) + ", centre " + std::to_string(cx) + "," +
            std::to_string(cy));
  const LONG style = GetWindowLongW(form, GWL_STYLE), ex = GetWindowLongW(form, GWL_EXSTYLE);
  RECT client{};
  GetClientRect(form, &client);
  Check(!(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME)) &&
            !(ex & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)) &&
            client.right == r.right - r.left && client.bottom == r.bottom - r.top,
        "window has no frame and no title bar");

  struct Row {
    int id;
    const wchar_t* text;
    bool visible;
  };
  const Row rows[] = {
      {ids::Label2, L"安装路径", true},
      {ids::Label3, L"我已经阅读并且同意Vexa许可协议", true},
      {ids::Label4, L"安装后立即启动", true},
      {ids::Label1, L"", true},
      {ids::cxButton2, L"浏  览", true},
      {ids::cxButton1, L"立即安装", true},
      {ids::Edit1, L"c:\\vexa", true},
      {ids::Memo1, L"Memo1", false},
      {ids::Button1, L"打包文件", false},
      {ids::Button7, L"测试解压素材", true},
      {ids::Button10, L"压缩素材", false},
  };
  for (const Row& row : rows) {
    HWND c = Control(form, row.id);
    const std::string name = "control " + std::to_string(row.id) + " (" + Utf8(row.text) + ")";
    if (!Check(c != nullptr, name + " exists")) continue;
    CheckText(TextOf(c), row.text, name + " text");
    Check((IsWindowVisible(c) != FALSE) == row.visible, name + (row.visible ? " is visible" : " is hidden"));
  }
  HWND panel2 = Control(form, ids::Panel2);
  Check(panel2 && !IsWindowVisible(panel2), "progress group is hidden");
  // Button7 is shown but lies beyond the shrunk window.
  if (HWND b7 = Control(form, ids::Button7)) {
    const RECT b = ScreenRect(b7);
    Check(b.left >= r.right || b.top >= r.bottom, "Button7 lies outside the window");
  }
  Check(IsWindowEnabled(Control(form, ids::cxButton1)) != FALSE, "Install starts enabled");
  Check(Checked(Control(form, ids::cxprotocol)) && Checked(Control(form, ids::cxstart)),
        "both check boxes start ticked");
}

// The control holding the keyboard focus in the program's window thread.
HWND FocusOf(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Tab walks the install group in its order and wraps round; Button7 stays
// in the order although it lies outside the window.
void CheckFocusOrder(HWND form) {
  const int order[] = {ids::cxButton2, ids::Edit1, ids::cxprotocol, ids::cxstart, ids::cxButton1, ids::Button7,
                       ids::cxButton2};
  Check(FocusOf(form) == Control(form, order[0]), "the browse button has the focus at start");
  for (std::size_t i = 1; i < std::size(order); ++i) {
    HWND from = FocusOf(form);
    PostMessageW(from ? from : form, WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(from ? from : form, WM_KEYUP, VK_TAB, 0xC0000001);
    Settle(form);
    Check(FocusOf(form) == Control(form, order[i]), "Tab moves the focus to control " + std::to_string(order[i]));
  }
}

// Typed locations and the verdict shown under the edit.
void CheckLocations(HWND form) {
  HWND edit = Control(form, ids::Edit1), label = Control(form, ids::Label1), install = Control(form, ids::cxButton1);
  struct Row {
    const char* name;
    std::wstring typed;
    const char* message;  // code page 936; "" when the location is usable
  };
  const Row rows[] = {
      {"no such drive", L"q:\\vexa", rules::kMsgNoSuchDrive},
      {"empty", L"", rules::kMsgNoSuchDrive},
      {"bare drive letter", L"c", rules::kMsgBadDrivePath},
      {"slash", L"c:/vexa", rules::kMsgIllegalChar},
      {"colon after the drive", L"c:\\a:b", rules::kMsgIllegalChar},
      {"character code page 936 lacks", L"c:\\vexa\\\U0001F600", rules::kMsgIllegalChar},
      {"too long", L"c:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\jjjjjjjjjj", rules::kMsgPathTooLong},
      {"UNC", L"\\\\server\\share", rules::kMsgNoSuchDrive},
      {"capitals and a run of backslashes", L"C:\\\\\\\\Vexa", ""},
      {"Chinese folder name", L"c:\\考试\\vexa", ""},
  };
  for (const Row& row : rows) {
    Type(edit, row.typed);
    const std::string what = std::string("location ") + row.name;
    CheckText(TextOf(label), Cp936ToWide(row.message), what + ": message");
    const bool usable = row.message[0] == '\0';
    Check((IsWindowEnabled(install) != FALSE) == usable, what + (usable ? ": Install enabled" : ": Install disabled"));
    CheckText(TextOf(edit), row.typed, what + ": the edit keeps what was typed");
  }
  Type(edit, L"q:\\vexa");
  Shot("refused-location", ScreenRect(form));
}

// The agreement box gates Install, either way round with the location check.
void CheckAgreement(HWND form) {
  HWND edit = Control(form, ids::Edit1), label = Control(form, ids::Label1);
  HWND install = Control(form, ids::cxButton1), box = Control(form, ids::cxprotocol);
  Type(edit, L"c:\\vexa");
  Check(IsWindowEnabled(install) != FALSE, "usable location enables Install");
  ClickAt(Centre(box));
  Settle(form);
  Check(!Checked(box) && !IsWindowEnabled(install), "unticking the agreement disables Install");
  Type(edit, L"c:\\vexa\\");
  Check(IsWindowEnabled(install) != FALSE, "a usable location typed with the agreement unticked enables Install");
  ClickAt(Centre(box));
  Settle(form);
  Check(Checked(box) && IsWindowEnabled(install), "ticking the agreement enables Install");
  Type(edit, L"q:\\vexa");
  ClickAt(Centre(box));
  Settle(form);
  ClickAt(Centre(box));
  Settle(form);
  Check(Checked(box) && IsWindowEnabled(install) && TextOf(label) == Cp936ToWide(rules::kMsgNoSuchDrive),
        "ticking the agreement enables Install while the location message stays");
  Type(edit, L"c:\\vexa");
}

// The agreement label writes the text out and opens it in the viewer.
void CheckAgreementText(HWND form) {
  const std::wstring file = Cp936ToWide(vexa::kAgreementFile);
  DeleteFileW(file.c_str());
  ClickAt(Centre(Control(form, ids::Label3)));
  HWND viewer = nullptr;
  const bool opened = WaitFor([&] { return (viewer = FindTopWindow(0, L"Notepad")) != nullptr; }, 20000);
  Check(opened, "the agreement label opens the viewer");
  const std::string want = ResourceOf(g_exe, vexa::res::kTextFileType, vexa::res::kAgreementName);
  Check(!want.empty() && FileBytes(file) == want, "the agreement file holds the agreement text byte for byte");
  if (viewer) PostMessageW(viewer, WM_CLOSE, 0, 0);
  WaitFor([&] { return FindTopWindow(0, L"Notepad") == nullptr; });
}

// Drags by the real mouse: a press at y (in Image1's coordinates), then a
// move by (dx, dy). Returns how far the window went.
POINT Drag(HWND form, int y, int dx, int dy) {
  const RECT before = ScreenRect(form);
  const RECT image = ScreenRect(Control(form, ids::Image1));
  const POINT p{image.left + 200, image.top + y};
  Xdotool("mousemove " + At(p) + " sleep 0.2 mousedown 1 sleep 0.2 mousemove " + At(POINT{p.x + 2, p.y + 2}) +
          " sleep 0.2 mousemove " + At(POINT{p.x + 2 + dx, p.y + 2 + dy}) + " sleep 0.3 mouseup 1 sleep 0.2");
  Settle(form);
  const RECT after = ScreenRect(form);
  return POINT{after.left - before.left, after.top - before.top};
}

void CheckDragging(HWND form) {
  POINT moved = Drag(form, 30, 40, 30);
  Check(moved.x == 40 && moved.y == 30, "a drag in the title band moves the window with the mouse",
        "moved " + At(moved));
  moved = Drag(form, 59, -40, -30);
  Check(moved.x == -40 && moved.y == -30, "a drag pressed at y = 59 moves the window", "moved " + At(moved));
  moved = Drag(form, 60, 40, 30);
  Check(moved.x == 0 && moved.y == 0, "a drag pressed at y = 60 leaves the window in place", "moved " + At(moved));
}

void CheckMinimise(HWND form) {
  ClickAt(Centre(Control(form, ids::Image2)));
  Check(WaitFor([&] { return IsIconic(form) != FALSE; }), "the minimise area minimises the window");
  ShowWindow(form, SW_RESTORE);
  WaitFor([&] { return !IsIconic(form) && IsWindowVisible(form); });
  Settle(form);
}

// Text of a tree item in another process: the item structure and its text
// buffer live in that process's memory for the call.
std::wstring RemoteTreeText(HWND tree, HTREEITEM item) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return std::wstring();
  constexpr int kChars = 260;
  const SIZE_T size = sizeof(TVITEMW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  std::wstring text;
  if (remote) {
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
    tv.cchTextMax = kChars;
    wchar_t buf[kChars] = {};
    if (WriteProcessMemory(process, remote, &tv, sizeof tv, nullptr) &&
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote + sizeof(TVITEMW), buf, sizeof buf - sizeof(wchar_t), nullptr))
      text = buf;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

HTREEITEM TreeItem(HWND tree, UINT how, HTREEITEM from) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
}

HWND FindChildOfClass(HWND parent, const wchar_t* cls) {
  for (HWND w : Descendants(parent))
    if (ClassOf(w) == cls) return w;
  return nullptr;
}

// Opens the folder browser with the browse button; its dialog, or nullptr.
HWND OpenBrowser(HWND form, DWORD pid) {
  PostMessageW(Control(form, ids::cxButton2), BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindTopWindow(pid, L"#32770")) && IsWindowVisible(dialog); });
  if (dialog) WaitFor([&] { return FindChildOfClass(dialog, WC_TREEVIEWW) != nullptr; });
  return dialog;
}

// The browse button: the chosen folder becomes the location, and the next
// browse opens at it; cancelling changes nothing.
void CheckBrowse(HWND form, DWORD pid) {
  wchar_t desktop[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
  const std::wstring name = L"vexa浏览";
  const std::wstring folder = std::wstring(desktop) + L"\\" + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  HWND edit = Control(form, ids::Edit1);

  HWND dialog = OpenBrowser(form, pid);
  if (!Check(dialog != nullptr, "the browse button opens the folder browser")) return;
  CheckText(TextOf(dialog), Cp936ToWide(rules::kBrowseTitle), "folder browser title");
  HWND tree = FindChildOfClass(dialog, WC_TREEVIEWW);
  HTREEITEM pick = nullptr;
  WaitFor([&] {
    HTREEITEM root = TreeItem(tree, TVGN_ROOT, nullptr);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    for (HTREEITEM i = TreeItem(tree, TVGN_CHILD, root); i && !pick; i = TreeItem(tree, TVGN_NEXT, i))
      if (RemoteTreeText(tree, i) == name) pick = i;
    return pick != nullptr;
  });
  if (!Check(pick != nullptr, "the browser lists the desktop folder made for the test")) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(pick));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(dialog); });
  Settle(form);
  CheckText(TextOf(edit), folder, "the confirmed folder becomes the location");
  CheckText(TextOf(Control(form, ids::Label1)), L"", "the confirmed folder is checked and accepted");

  Type(edit, L"q:\\vexa");
  dialog = OpenBrowser(form, pid);
  if (!Check(dialog != nullptr, "the folder browser opens a second time")) return;
  tree = FindChildOfClass(dialog, WC_TREEVIEWW);
  std::wstring selected;
  WaitFor([&] { return (selected = RemoteTreeText(tree, TreeItem(tree, TVGN_CARET, nullptr))) == name; }, 5000);
  CheckText(selected, name, "the browser opens at the folder confirmed last");
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  WaitFor([&] { return !IsWindow(dialog); });
  Settle(form);
  CheckText(TextOf(edit), L"q:\\vexa", "cancelling the browser leaves the location");
  CheckText(TextOf(Control(form, ids::Label1)), Cp936ToWide(rules::kMsgNoSuchDrive),
            "cancelling the browser leaves the verdict");
  RemoveDirectoryW(folder.c_str());
  Type(edit, L"c:\\vexa");
}

void FirstStart() {
  ClearRecord();
  Program p;
  if (!p.Start() || !p.WaitWindow()) return;
  Settle(p.form);
  Shot("start", ScreenRect(p.form));
  CheckFirstLook(p.form);
  CheckFocusOrder(p.form);
  CheckLocations(p.form);
  CheckAgreement(p.form);
  CheckAgreementText(p.form);
  CheckBrowse(p.form, p.Pid());
  CheckDragging(p.form);
  CheckMinimise(p.form);
  // The hover effects, for the eye.
  Xdotool("mousemove " + At(Centre(Control(p.form, ids::cxButton1))) + " sleep 0.3");
  Settle(p.form);
  Shot("hover", ScreenRect(p.form));
  ClickAt(Centre(Control(p.form, ids::Image4)));
  Check(p.Ended(), "a press on the close area ends the program");
}

// A previous installation's location, stored with doubled backslashes.
void RecordedLocation() {
  SetRecord(L"V2.29", L"C:\\\\vexa\\\\");
  Program p;
  if (!p.Start() || !p.WaitWindow()) return;
  CheckText(TextOf(Control(p.form, ids::Edit1)), L"C:\\vexa\\", "recorded location fills the edit, backslashes single");
  CheckText(TextOf(Control(p.form, ids::Label1)), L"", "recorded location is accepted");
  PostMessageW(p.form, vexa::WM_INSTALLABORT, 0, 0);
  Check(p.Ended(), "the abort message ends the program");
}

// A recorded location that is refused gives way to the first drive.
void RefusedRecordedLocation() {
  SetRecord(L"V2.29", L"q:\\old\\");
  Program p;
  if (!p.Start() || !p.WaitWindow()) return;
  CheckText(TextOf(Control(p.form, ids::Edit1)), L"C:\\vexa\\", "refused recorded location: first drive offered");
  CheckText(TextOf(Control(p.form, ids::Label1)), L"", "refused recorded location: the offer is accepted");
  PostMessageW(p.form, WM_CLOSE, 0, 0);
  p.Ended();
}

// An installed client newer than this installer.
void OutdatedInstaller() {
  SetRecord(L"V2.30", L"C:\\vexa\\");
  Program p;
  if (!p.Start()) return;
  HWND box = nullptr;
  Check(WaitFor([&] { return (box = FindTopWindow(p.Pid(), L"#32770")) && IsWindowVisible(box); }),
        "version V2.30: a message box appears");
  if (!box) return;
  Settle(box);
  Shot("outdated", ScreenRect(box));
  CheckText(TextOf(box), Cp936ToWide(rules::kNoticeCaption), "version V2.30: box caption");
  std::wstring text;
  for (HWND w : Descendants(box)) {
    if (ClassOf(w) != L"Static") continue;
    std::wstring t = TextOf(w);
    if (t.size() > text.size()) text = t;
  }
  CheckText(text,
            Cp936ToWide(std::string(rules::kMsgOutdatedHead) + vexa::kDownloadPage + rules::kMsgOutdatedTail),
            "version V2.30: box text");
  HWND form = FindTopWindow(p.Pid(), ids::kFormClass);
  Check(!form || !IsWindowVisible(form), "version V2.30: the window is not shown");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  Check(p.Ended(), "version V2.30: the program ends after the box");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: uidriver <VexaS.exe>\n");
    return 2;
  }
  g_exe = argv[1];
  FirstStart();
  RecordedLocation();
  RefusedRecordedLocation();
  OutdatedInstaller();
  ClearRecord();
  std::printf("%s\n", Failures() ? "FAILED" : "PASSED");
  return Failures() ? 1 : 0;
}
