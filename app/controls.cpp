#include "controls.h"

#include <commctrl.h>
#include <windowsx.h>

namespace vexa {
namespace {

constexpr wchar_t kPanelClass[] = L"TPanel";
constexpr wchar_t kSkinButtonClass[] = L"TcxButton";
constexpr wchar_t kControlProp[] = L"VexaControl";
constexpr UINT_PTR kSubclassId = 1;

struct CreateContext {
  IControlHost* host;
  TControl* control;
};

IControlHost* HostOf(HWND wnd) {
  return reinterpret_cast<IControlHost*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
}

bool ClientContains(HWND wnd, int x, int y) {
  RECT rc;
  GetClientRect(wnd, &rc);
  return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

// The mouse-over state: enter when the mouse is over the client area, leave
// when it left (also while the control holds the capture).
void UpdateHot(IControlHost& host, TControl& c, int x, int y, bool repaint) {
  const bool inside = ClientContains(c.hwnd, x, y);
  if (inside && !c.hot) {
    c.hot = true;
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, c.hwnd, 0};
    TrackMouseEvent(&track);
    if (repaint) InvalidateRect(c.hwnd, nullptr, FALSE);
    host.ControlMouseEnter(c);
  } else if (!inside && c.hot) {
    c.hot = false;
    if (repaint) InvalidateRect(c.hwnd, nullptr, FALSE);
  }
}

bool IsButtonDown(UINT msg, TMouseButton& button) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      button = TMouseButton::Left;
      return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      button = TMouseButton::Right;
      return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      button = TMouseButton::Middle;
      return true;
    default:
      return false;
  }
}

// Mouse handling shared by pictures, labels and skinned buttons. Returns
// true when the message was taken.
bool HandleMouse(IControlHost& host, TControl& c, UINT msg, WPARAM wp, LPARAM lp, bool repaint) {
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  TMouseButton button;
  if (IsButtonDown(msg, button)) {
    // Like the toolkit's controls, a press captures the mouse until release.
    SetCapture(c.hwnd);
    if (button == TMouseButton::Left) {
      c.pressed = true;
      if (repaint) InvalidateRect(c.hwnd, nullptr, FALSE);
    }
    host.ControlMouseDown(c, button, static_cast<UINT>(wp), x, y);
    return true;
  }
  switch (msg) {
    case WM_MOUSEMOVE:
      UpdateHot(host, c, x, y, repaint);
      host.ControlMouseMove(c, static_cast<UINT>(wp), x, y);
      return true;
    case WM_MOUSELEAVE:
      if (c.hot) {
        c.hot = false;
        if (repaint) InvalidateRect(c.hwnd, nullptr, FALSE);
      }
      return true;
    case WM_LBUTTONUP: {
      const bool click = c.pressed && ClientContains(c.hwnd, x, y);
      c.pressed = false;
      if (GetCapture() == c.hwnd) ReleaseCapture();
      if (repaint) InvalidateRect(c.hwnd, nullptr, FALSE);
      if (click && IsWindowEnabled(c.hwnd)) {
        if (c.row->kind == ControlKind::SkinCheckBox) c.checked = !c.checked;
        host.ControlClick(c);
      }
      return true;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (GetCapture() == c.hwnd && !(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      if (c.pressed) {
        c.pressed = false;
        if (repaint) InvalidateRect(c.hwnd, nullptr, FALSE);
      }
      return true;
    default:
      return false;
  }
}

// Toggles a check box and reports the click, as a mouse click would.
void KeyboardClick(IControlHost& host, TControl& c) {
  if (!IsWindowEnabled(c.hwnd)) return;
  if (c.row->kind == ControlKind::SkinCheckBox) c.checked = !c.checked;
  InvalidateRect(c.hwnd, nullptr, FALSE);
  host.ControlClick(c);
}

// Ties a window of one of the classes registered here to its host and its
// entry in the control table, as it is created.
void BindOnCreate(HWND wnd, UINT msg, LPARAM lp) {
  if (msg != WM_NCCREATE) return;
  auto* ctx = static_cast<CreateContext*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
  SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(ctx->host));
  SetPropW(wnd, kControlProp, ctx->control);
  ctx->control->hwnd = wnd;
}

// The whole look of these windows comes from the host.
LRESULT PaintThroughHost(HWND wnd, IControlHost& host, TControl& c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  host.PaintControl(c, dc);
  EndPaint(wnd, &ps);
  return 0;
}

LRESULT CALLBACK PanelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  BindOnCreate(wnd, msg, lp);
  IControlHost* host = HostOf(wnd);
  TControl* c = ControlOf(wnd);
  if (!host || !c) return DefWindowProcW(wnd, msg, wp, lp);
  LRESULT answer = 0;
  if (ForwardChildNotification(*host, wnd, msg, wp, lp, answer)) return answer;
  switch (msg) {
    case WM_PAINT:
      return PaintThroughHost(wnd, *host, *c);
    case WM_ERASEBKGND:
      return 1;
    case WM_NCDESTROY:
      RemovePropW(wnd, kControlProp);
      break;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK SkinButtonProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  BindOnCreate(wnd, msg, lp);
  IControlHost* host = HostOf(wnd);
  TControl* c = ControlOf(wnd);
  if (!host || !c) return DefWindowProcW(wnd, msg, wp, lp);
  const bool check = c->row->kind == ControlKind::SkinCheckBox;
  switch (msg) {
    case WM_PAINT:
      return PaintThroughHost(wnd, *host, *c);
    case WM_ERASEBKGND:
      return 1;
    case WM_GETDLGCODE:
      return check ? DLGC_BUTTON : (DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsWindowEnabled(wnd)) return 0;
      if (GetFocus() != wnd) SetFocus(wnd);
      HandleMouse(*host, *c, msg, wp, lp, true);
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_SPACE && !(lp & (1 << 30))) {
        c->pressed = true;
        InvalidateRect(wnd, nullptr, FALSE);
        return 0;
      }
      if (wp == VK_RETURN && !check) {
        KeyboardClick(*host, *c);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wp == VK_SPACE && c->pressed) {
        c->pressed = false;
        KeyboardClick(*host, *c);
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (msg == WM_KILLFOCUS && c->pressed && GetCapture() != wnd) c->pressed = false;
      InvalidateRect(wnd, nullptr, FALSE);
      return 0;
    case WM_ENABLE:
      c->pressed = false;
      InvalidateRect(wnd, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(wnd, msg, wp, lp);
      InvalidateRect(wnd, nullptr, FALSE);
      return r;
    }
    case BM_GETCHECK:
      return c->checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      c->checked = wp == BST_CHECKED;
      InvalidateRect(wnd, nullptr, FALSE);
      return 0;
    case BM_CLICK:
      KeyboardClick(*host, *c);
      return 0;
    case WM_NCDESTROY:
      RemovePropW(wnd, kControlProp);
      break;
  }
  if (HandleMouse(*host, *c, msg, wp, lp, true)) return 0;
  return DefWindowProcW(wnd, msg, wp, lp);
}

// Subclass of the system's controls: labels and pictures (owner-drawn
// statics) get the mouse events; every kind forgets its control at the end.
LRESULT CALLBACK StandardSubclass(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* host = reinterpret_cast<IControlHost*>(ref);
  TControl* c = ControlOf(wnd);
  if (c) {
    const ControlKind kind = c->row->kind;
    const bool drawn = kind == ControlKind::Label || kind == ControlKind::Picture;
    if (drawn) {
      if (msg == WM_ERASEBKGND) return 1;
      if (msg == WM_SETCURSOR && c->cursor && LOWORD(lp) == HTCLIENT) {
        SetCursor(c->cursor);
        return TRUE;
      }
      if (HandleMouse(*host, *c, msg, wp, lp, false)) return 0;
    }
  }
  if (msg == WM_NCDESTROY) {
    RemovePropW(wnd, kControlProp);
    RemoveWindowSubclass(wnd, StandardSubclass, kSubclassId);
  }
  return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace

bool RegisterControlClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpfnWndProc = PanelProc;
  wc.lpszClassName = kPanelClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  wc.lpfnWndProc = SkinButtonProc;
  wc.lpszClassName = kSkinButtonClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  return true;
}

HWND CreateControlWindow(HINSTANCE instance, IControlHost& host, TControl& c, HWND parent) {
  const ControlRow& row = *c.row;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD ex = 0;
  if (row.state & kVisible) style |= WS_VISIBLE;
  if (!(row.state & kEnabled)) style |= WS_DISABLED;
  if (row.tab_order >= 0) style |= WS_TABSTOP;
  const wchar_t* cls = nullptr;
  bool standard = true;
  switch (row.kind) {
    case ControlKind::Panel:
      cls = kPanelClass;
      style |= WS_CLIPCHILDREN;
      standard = false;
      break;
    case ControlKind::SkinButton:
    case ControlKind::SkinCheckBox:
      cls = kSkinButtonClass;
      standard = false;
      break;
    case ControlKind::Picture:
    case ControlKind::Label:
      cls = WC_STATICW;
      style |= SS_OWNERDRAW | SS_NOTIFY;
      break;
    case ControlKind::Edit:
      cls = WC_EDITW;
      style |= ES_AUTOHSCROLL;
      ex |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Memo:
      cls = WC_EDITW;
      style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
      ex |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ProgressBar:
      cls = PROGRESS_CLASSW;
      break;
    case ControlKind::Button:
      cls = WC_BUTTONW;
      style |= BS_PUSHBUTTON;
      break;
  }
  CreateContext ctx{&host, &c};
  HWND wnd = CreateWindowExW(ex, cls, row.text, style, row.left, row.top, row.width, row.height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, &ctx);
  if (!wnd) return nullptr;
  if (standard) {
    c.hwnd = wnd;
    SetPropW(wnd, kControlProp, &c);
    SetWindowSubclass(wnd, StandardSubclass, kSubclassId, reinterpret_cast<DWORD_PTR>(&host));
  }
  if (c.font) SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
  if (row.kind == ControlKind::ProgressBar) {
    SendMessageW(wnd, PBM_SETRANGE32, 0, 100);
    SendMessageW(wnd, PBM_SETPOS, static_cast<WPARAM>(row.position), 0);
  }
  return wnd;
}

bool ForwardChildNotification(IControlHost& host, HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& answer) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      bool handled = false;
      answer = host.ChildNotification(parent, msg, wp, lp, handled);
      return handled;
    }
    default:
      return false;
  }
}

TControl* ControlOf(HWND wnd) { return static_cast<TControl*>(GetPropW(wnd, kControlProp)); }

}  // namespace vexa
