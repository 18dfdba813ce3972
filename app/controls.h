#pragma once
// The child windows of the installer window and their mechanics: panels,
// skinned buttons and check boxes (window classes of our own), labels and
// pictures (owner-drawn static controls), edits, progress bar and plain
// buttons. Every one is a real child window with its control ID and window
// text. What a control looks like and what its events do is the host's:
// these windows only turn messages into the host's calls.
#include <windows.h>

#include <string>

#include "formdesc.h"

namespace vexa {
class TBitmap32;
}

namespace vexa {

// One control of the window at run time.
struct TControl {
  const ControlRow* row = nullptr;
  HWND hwnd = nullptr;
  HFONT font = nullptr;      // owned by the host's font cache
  COLORREF colour = 0;       // caption colour in effect
  HCURSOR cursor = nullptr;  // cursor over the control; nullptr: the arrow
  bool checked = false;      // skinned check boxes
  bool hot = false;          // the mouse is over it
  bool pressed = false;      // the left button went down on it and is held
  const TBitmap32* picture = nullptr;  // pictures: what they show (the host's)
  std::wstring seen_text;    // edits: the text the change handler last saw
};

// What the child windows ask of the window that owns them.
class IControlHost {
 public:
  // Paints the whole client area of c into dc.
  virtual void PaintControl(TControl& c, HDC dc) = 0;
  // A completed click (left button down and up on the control, or Space on
  // a focused button); a check box has already toggled.
  virtual void ControlClick(TControl& c) = 0;
  virtual void ControlMouseEnter(TControl& c) = 0;
  virtual void ControlMouseDown(TControl& c, TMouseButton button, UINT shift, int x, int y) = 0;
  virtual void ControlMouseMove(TControl& c, UINT shift, int x, int y) = 0;
  // Messages a parent receives from its children (WM_COMMAND, WM_DRAWITEM,
  // WM_CTLCOLOR*), forwarded from panels. Sets handled when it answered.
  virtual LRESULT ChildNotification(HWND parent, UINT msg, WPARAM wp, LPARAM lp, bool& handled) = 0;
  // True once the keyboard was used for navigation: focus marks are drawn.
  virtual bool ShowFocusCues() const = 0;

 protected:
  ~IControlHost() = default;
};

// Registers the window classes of panels and skinned buttons.
bool RegisterControlClasses(HINSTANCE instance);

// Creates the child window of c below parent as c.row describes it, with
// its ID, text, position and state; the host receives its events.
HWND CreateControlWindow(HINSTANCE instance, IControlHost& host, TControl& c, HWND parent);

// Passes the messages a parent receives from its children (WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) to host.ChildNotification; true, with
// answer set, when the host answered. The form and its panels both use it.
bool ForwardChildNotification(IControlHost& host, HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& answer);

// The control a child window belongs to, or nullptr.
TControl* ControlOf(HWND wnd);

}  // namespace vexa
