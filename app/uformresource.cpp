#include "uformresource.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <memory>

#include "appmessages.h"
#include "codepage.h"
#include "controlids.h"
#include "installrules.h"
#include "resource_names.h"
#include "sysproc.h"
#include "win/registryrecord.h"
#include "win/resourcestream.h"

namespace vexa {

TForm1* Form1 = nullptr;

namespace {

// SC_MOVE with the caption's hit-test code in its low bits: the system moves
// the window with the mouse until the button is released, as if the window
// had been taken by its title bar. (SC_MOVE + 1, the client-area code, does
// the same on Windows, but other implementations of the API, Wine among
// them, move the window only for the caption's code.)
constexpr WPARAM kDragMove = SC_MOVE | HTCAPTION;
// Height of Image1's drag band, from the picture control's top edge.
constexpr int kDragBandHeight = 60;
// Characters the system's drive list may take: 26 roots of 4 and the end.
constexpr int kDriveListChars = 105;
// Caption of the application's error box.
constexpr wchar_t kApplicationTitle[] = L"VexaS";

std::wstring WindowText(HWND wnd) {
  const int n = GetWindowTextLengthW(wnd);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(wnd, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

// UTF-16 to code page 936; unrepresentable tells that some character did
// not survive the way there and back (no substitute, no best-fit look-alike).
std::string ToCp936Checked(const std::wstring& text, bool& unrepresentable) {
  bool lossy = false;
  std::string bytes = WideToCp936(text, &lossy);
  unrepresentable = lossy || Cp936ToWide(bytes) != text;
  return bytes;
}

// The logical drive roots as the system lists them into a zeroed buffer of
// 105 characters; all zero when the query fails or does not fit.
std::string DriveStrings() {
  wchar_t buf[kDriveListChars] = {};
  const DWORD n = GetLogicalDriveStringsW(kDriveListChars - 1, buf);
  if (n == 0 || n >= kDriveListChars) return std::string(kDriveListChars, '\0');
  return WideToCp936(std::wstring(buf, kDriveListChars));
}

// Free bytes available to the caller on the drive or folder named. A drive
// without a medium answers "no" instead of raising the system's error box.
std::optional<std::uint64_t> FreeBytes(const std::string& directory) {
  EnableDebugPrivilege();
  DWORD old_mode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_mode);
  ULARGE_INTEGER available{};
  const BOOL ok = GetDiskFreeSpaceExW(Cp936ToWide(directory).c_str(), &available, nullptr, nullptr);
  SetThreadErrorMode(old_mode, nullptr);
  if (!ok) return std::nullopt;
  return available.QuadPart;
}

// An item list from the shell, freed with CoTaskMemFree.
struct CoTaskMemDeleter {
  void operator()(void* p) const { CoTaskMemFree(p); }
};
using UniqueIdList = std::unique_ptr<ITEMIDLIST, CoTaskMemDeleter>;

struct BrowseContext {
  const std::wstring* title;
  const std::wstring* start;
};

int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED) {
    const auto* ctx = reinterpret_cast<const BrowseContext*>(data);
    SetWindowTextW(dialog, ctx->title->c_str());
    if (!ctx->start->empty())
      SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(ctx->start->c_str()));
  }
  return 0;
}

RECT BoundsInParent(HWND wnd) {
  RECT rc;
  GetWindowRect(wnd, &rc);
  MapWindowPoints(HWND_DESKTOP, GetParent(wnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

}  // namespace

// ---------------------------------------------------------------- window

TForm1::TForm1(HINSTANCE instance) : instance_(instance) {}

TForm1::~TForm1() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TForm1::Create() {
  if (!RegisterControlClasses(instance_)) return false;
  const FormRow& form = FormDescription();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(res::kMainIconId));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(static_cast<int>(form.colour & 0xFFu));
  wc.lpszClassName = ids::kFormClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  // No frame, no title bar: the background picture is the window's chrome.
  // The system menu and minimise box only give the task bar its commands.
  const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
  const DWORD ex = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
  RECT rc{0, 0, form.client_width, form.client_height};
  AdjustWindowRectEx(&rc, style, FALSE, ex);
  if (!CreateWindowExW(ex, ids::kFormClass, form.caption, style, 0, 0, rc.right - rc.left,
                       rc.bottom - rc.top, nullptr, nullptr, instance_, this))
    return false;
  LoadArtwork();
  if (!CreateControls()) return false;
  FormCreate();
  return true;
}

void TForm1::Show() {
  if (terminated_ || !hwnd_) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetForegroundWindow(hwnd_);
  MoveFocus(true);
}

int TForm1::Run() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void TForm1::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TForm1::LoadArtwork() {
  const auto bytes = [](const wchar_t* type, const wchar_t* name) {
    try {
      return std::string(win::ResourceBytes(WideToCp936(type), WideToCp936(name)));
    } catch (const win::EResourceNotFound&) {
      return std::string();
    }
  };
  background_ = TBitmap32::FromPng(bytes(res::kPngType, res::kBackgroundName));
  slide_ = TBitmap32::FromJpeg(bytes(res::kJpegType, res::kDesignSlideName));
  skin_ = TSkin::FromPng(bytes(res::kSkinType, res::kSkinName));
}

HFONT TForm1::FontFor(const FontSpec& wanted) {
  const FontSpec& f = wanted.face ? wanted : FormDescription().font;
  auto key = std::make_pair(std::wstring(f.face), f.height);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    HFONT font = CreateFontW(f.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, f.face);
    it = fonts_.emplace(std::move(key), win::UniqueGdi(font)).first;
  }
  return static_cast<HFONT>(it->second.get());
}

TControl* TForm1::FindControl(int id) {
  for (TControl& c : controls_)
    if (c.row->id == id) return &c;
  return nullptr;
}

bool TForm1::CreateControls() {
  std::size_t count = 0;
  const ControlRow* rows = ControlDescription(count);
  controls_.assign(count, TControl{});  // never resized again: controls hold pointers into it
  for (std::size_t i = 0; i < count; ++i) {
    TControl& c = controls_[i];
    const ControlRow& row = rows[i];
    c.row = &row;
    c.colour = row.colour;
    c.checked = (row.state & kChecked) != 0;
    c.font = FontFor(row.font);
    c.seen_text = row.text;
    if (row.picture == PictureSource::Background && background_) c.picture = &*background_;
    if (row.picture == PictureSource::DesignSlide && slide_) c.picture = &*slide_;
    HWND parent = hwnd_;
    if (row.parent) {
      TControl* p = FindControl(row.parent);
      if (!p || !p->hwnd) return false;
      parent = p->hwnd;
    }
    if (!CreateControlWindow(instance_, *this, c, parent)) return false;
    if (row.field) this->*row.field = &c;
    if (row.state & kAutoSize) {
      win::WindowDc dc(c.hwnd);
      win::SelectObjectScope font(dc.get(), c.font);
      RECT text{0, 0, 0, 0};
      DrawTextW(dc.get(), row.text, -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      SetWindowPos(c.hwnd, nullptr, 0, 0, text.right, text.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  // Stack each parent's children bottom to top in description order.
  for (TControl& c : controls_)
    SetWindowPos(c.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

LRESULT CALLBACK TForm1::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = wnd;
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TForm1*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(wnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(wnd, msg, wp, lp);
  }
  return self->HandleMessage(msg, wp, lp);
}

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT answer = 0;
  if (ForwardChildNotification(*this, hwnd_, msg, wp, lp, answer)) return answer;
  switch (msg) {
    case WM_ACTIVATE:
      // Give the focus back to the control that had it.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focus_ = focus;
      } else if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_)) {
        SetFocus(focus_);
        return 0;
      }
      break;
    case WM_INSTALLABORT:
      WMInstallAbort();
      return 0;
    case WM_INSTALLTIMERON:
    case WM_INSTALLPROGRESS:
    case WM_INSTALLDONE:
      WorkerMessage(msg, wp);
      return 0;
    case WM_TIMER:
      if (IsTimer1(wp)) {
        Dispatch([&] { Timer1Timer(); });
        return 0;
      }
      break;
    case WM_CLOSE:
      Terminate();
      return 0;
    case WM_DESTROY:
      Terminate();
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT TForm1::ChildNotification(HWND, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  switch (msg) {
    case WM_COMMAND: {
      TControl* c = lp ? ControlOf(reinterpret_cast<HWND>(lp)) : nullptr;
      if (!c) return 0;
      const UINT code = HIWORD(wp);
      if ((c->row->kind == ControlKind::Edit || c->row->kind == ControlKind::Memo) && code == EN_CHANGE) {
        handled = true;
        CheckTextChange(*c);
      } else if (c->row->kind == ControlKind::Button && code == BN_CLICKED) {
        handled = true;
        ControlClick(*c);
      }
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      TControl* c = item ? ControlOf(item->hwndItem) : nullptr;
      if (!c) return FALSE;
      handled = true;
      PaintControl(*c, item->hDC);
      return TRUE;
    }
    case WM_CTLCOLOREDIT: {
      TControl* c = ControlOf(reinterpret_cast<HWND>(lp));
      if (!c) return 0;
      handled = true;
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, ResolveColour(c->colour));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    default:
      return 0;
  }
}

void TForm1::CheckTextChange(TControl& edit) {
  std::wstring text = WindowText(edit.hwnd);
  if (text == edit.seen_text) return;
  edit.seen_text = std::move(text);
  if (edit.row->on_change) Dispatch([&] { (this->*edit.row->on_change)(edit); });
}

template <typename Call>
void TForm1::Dispatch(Call&& call) {
  try {
    call();
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("unknown error");
  }
}

void TForm1::ShowException(const char* message) {
  MessageBoxW(hwnd_, Cp936ToWide(message).c_str(), kApplicationTitle, MB_OK | MB_ICONSTOP);
}

void TForm1::ControlClick(TControl& c) {
  if (c.row->on_click) Dispatch([&] { (this->*c.row->on_click)(c); });
}

void TForm1::ControlMouseEnter(TControl& c) {
  if (c.row->on_mouse_enter) Dispatch([&] { (this->*c.row->on_mouse_enter)(c); });
}

void TForm1::ControlMouseDown(TControl& c, TMouseButton button, UINT shift, int x, int y) {
  if (c.row->on_mouse_down) Dispatch([&] { (this->*c.row->on_mouse_down)(c, button, shift, x, y); });
}

void TForm1::ControlMouseMove(TControl& c, UINT shift, int x, int y) {
  if (c.row->on_mouse_move) Dispatch([&] { (this->*c.row->on_mouse_move)(c, shift, x, y); });
}

bool TForm1::PreTranslate(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && hwnd_ &&
      (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd))) {
    if (!focus_cues_) {
      focus_cues_ = true;
      for (TControl& c : controls_)
        if (c.row->kind == ControlKind::SkinButton || c.row->kind == ControlKind::SkinCheckBox)
          InvalidateRect(c.hwnd, nullptr, FALSE);
    }
    MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) == 0);
    return true;
  }
  return false;
}

void TForm1::MoveFocus(bool forward) {
  std::vector<TControl*> order;
  for (TControl& c : controls_)
    if (c.row->tab_order >= 0 && IsWindowVisible(c.hwnd) && IsWindowEnabled(c.hwnd)) order.push_back(&c);
  if (order.empty()) return;
  std::stable_sort(order.begin(), order.end(),
                   [](const TControl* a, const TControl* b) { return a->row->tab_order < b->row->tab_order; });
  HWND focus = GetFocus();
  std::size_t at = order.size();
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i]->hwnd == focus) at = i;
  std::size_t next;
  if (at == order.size())
    next = forward ? 0 : order.size() - 1;
  else
    next = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
  HWND target = order[next]->hwnd;
  SetFocus(target);
  if (order[next]->row->kind == ControlKind::Edit) SendMessageW(target, EM_SETSEL, 0, -1);
}

// ---------------------------------------------------------------- state

std::wstring TForm1::TextW(const TControl& c) const { return WindowText(c.hwnd); }

std::string TForm1::Text(const TControl& c) const { return WideToCp936(TextW(c)); }

void TForm1::SetTextW(TControl& c, const std::wstring& text) {
  if (WindowText(c.hwnd) == text) return;
  SetWindowTextW(c.hwnd, text.c_str());
  // The edit's own notice has normally run the handler already.
  if (c.row->kind == ControlKind::Edit) CheckTextChange(c);
}

void TForm1::SetText(TControl& c, const std::string& text) { SetTextW(c, Cp936ToWide(text)); }

bool TForm1::Enabled(const TControl& c) const { return IsWindowEnabled(c.hwnd) != FALSE; }

void TForm1::SetEnabled(TControl& c, bool enabled) {
  if (Enabled(c) != enabled) EnableWindow(c.hwnd, enabled ? TRUE : FALSE);
}

void TForm1::SetVisible(TControl& c, bool visible) {
  ShowWindow(c.hwnd, visible ? SW_SHOW : SW_HIDE);
  // A picture shown or hidden changes what its panel's other controls show through.
  if (c.row->kind == ControlKind::Picture && c.row->parent)
    if (TControl* panel = FindControl(c.row->parent)) InvalidateBackdrop(*panel);
}

void TForm1::SetBounds(TControl& c, int left, int top, int width, int height) {
  SetWindowPos(c.hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::SetPicture(TControl& c, TBitmap32 picture) {
  auto it = pictures_.insert_or_assign(c.row->id, std::move(picture)).first;
  c.picture = &it->second;
  if (TControl* panel = c.row->parent ? FindControl(c.row->parent) : nullptr) InvalidateBackdrop(*panel);
  InvalidateRect(c.hwnd, nullptr, FALSE);
}

std::string TForm1::Caption() const { return WideToCp936(WindowText(hwnd_)); }

void TForm1::SetCaption(const std::string& caption) { SetWindowTextW(hwnd_, Cp936ToWide(caption).c_str()); }

void TForm1::Notice(const std::string& text) {
  MessageBoxW(hwnd_, Cp936ToWide(text).c_str(), Cp936ToWide(rules::kNoticeCaption).c_str(), MB_OK);
}

// ---------------------------------------------------------------- start-up

void TForm1::FormCreate() {
  try {
    SetText(*Label1, "");
    EnableDebugPrivilege();
    // The window shrinks to the install group, which then fills it.
    const RECT panel = BoundsInParent(Panel1->hwnd);
    const int pw = panel.right - panel.left, ph = panel.bottom - panel.top;
    SetBounds(*Panel1, 0, 0, pw, ph);
    SetWindowPos(hwnd_, nullptr, 0, 0, pw, ph - 5, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(hwnd_, &client);
    SetBounds(*Panel1, 0, 0, client.right, client.bottom);
    RECT window;
    GetWindowRect(hwnd_, &window);
    const int ww = window.right - window.left, wh = window.bottom - window.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - ww) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - wh) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    FInstallerVersion = rules::kInstallerVersion;
    FInstalledVersion = rules::kNoInstalledVersion;
    FSlideIndex = 2;
    DetectPreviousInstall();

    // The outdated-installer gate.
    FInstalledVersion = rules::NormaliseInstalledVersion(FInstalledVersion);
    if (rules::ExceedsVersionLimit(FInstalledVersion)) {
      Notice(rules::OutdatedInstallerMessage(kDownloadPage));
      Terminate();
    }
  } catch (...) {
    // Start-up goes on with what was done; the window is still usable.
  }
}

void TForm1::DetectPreviousInstall() {
  EnableDebugPrivilege();
  // The reader stops at the first value that is no string; what it read
  // before stays.
  const win::InstallRecord record = win::ReadInstallRecord();
  if (!record.opened || !record.version) return;
  FInstalledVersion = *record.version;
  if (!record.path) return;
  FOldInstallDir = rules::OldInstallDirFromRecord(*record.path);
  if (FOldInstallDir.empty()) return;
  SetText(*Edit1, FOldInstallDir);
  if (TextW(*Label1).empty()) return;
  // The previous location is refused: offer the first drive that answers.
  EnableDebugPrivilege();
  if (auto fallback = rules::ChooseDefaultLocation(DriveStrings(), FreeBytes)) SetText(*Edit1, *fallback);
}

// ---------------------------------------------------------------- location

void TForm1::Edit1Change(TControl&) {
  bool unrepresentable = false;
  const std::string typed = ToCp936Checked(TextW(*Edit1), unrepresentable);
  SetEnabled(*cxButton1, false);
  EnableDebugPrivilege();
  const rules::LocationVerdict verdict =
      rules::CheckInstallLocation(typed, unrepresentable, DriveStrings(), FreeBytes);
  SetText(*Label1, verdict.message);
  if (verdict.install_enabled) SetEnabled(*cxButton1, true);
}

void TForm1::cxButton2Click(TControl&) {
  const std::wstring title = Cp936ToWide(rules::kBrowseTitle);
  BrowseContext ctx{&title, &browse_folder_};
  BROWSEINFOW info{};
  info.hwndOwner = hwnd_;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&ctx);
  UniqueIdList chosen(SHBrowseForFolderW(&info));
  if (!chosen) return;
  wchar_t path[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListW(chosen.get(), path) || !path[0]) return;
  browse_folder_ = path;
  SetTextW(*Edit1, browse_folder_);
}

// ---------------------------------------------------------------- agreement

void TForm1::cxprotocolClick(TControl&) { SetEnabled(*cxButton1, Checked(*cxprotocol)); }

void TForm1::Label3Click(TControl&) {
  try {
    win::SaveResourceToFile(WideToCp936(res::kTextFileType), WideToCp936(res::kAgreementName), kAgreementFile);
  } catch (const std::exception&) {
    return;  // nothing to show
  }
  RunProgram("notepad.exe", kAgreementFile, true);
}

// ---------------------------------------------------------------- chrome

void TForm1::StartWindowMove() {
  ReleaseCapture();
  SendMessageW(hwnd_, WM_SYSCOMMAND, kDragMove, 0);
}

void TForm1::Image1MouseDown(TControl&, TMouseButton button, UINT, int, int y) {
  if (button == TMouseButton::Left) FCanDrag = y < kDragBandHeight;
}

void TForm1::Image1MouseMove(TControl&, UINT shift, int, int) {
  if ((shift & MK_LBUTTON) && FCanDrag) StartWindowMove();
}

void TForm1::Image3MouseMove(TControl&, UINT shift, int, int) {
  if (shift & MK_LBUTTON) StartWindowMove();
}

void TForm1::Image2MouseDown(TControl&, TMouseButton, UINT, int, int) { ShowWindow(hwnd_, SW_MINIMIZE); }

void TForm1::Image4MouseDown(TControl&, TMouseButton, UINT, int, int) { Terminate(); }

void TForm1::Label3MouseEnter(TControl& sender) { sender.cursor = LoadCursorW(nullptr, IDC_HAND); }

void TForm1::cxButton1MouseEnter(TControl& sender) {
  sender.colour = RGB(0, 0, 255);
  InvalidateRect(sender.hwnd, nullptr, FALSE);
}

void TForm1::WMInstallAbort() { Terminate(); }

}  // namespace vexa
