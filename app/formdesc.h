#pragma once
// The installer window's description, as a form designer stores it: the
// form's own properties and one row per control (name, kind, parent,
// position and size, text, font, colour, initial state, handlers). TForm1
// creates its children from these rows; a change of layout is a change of
// one row.
#include <windows.h>

#include <cstddef>

namespace vexa {

class TForm1;
struct TControl;

enum class TMouseButton { Left, Right, Middle };

// Event handler types. shift carries the MK_* bits of the mouse message
// (buttons held, Shift, Ctrl); x and y are relative to the control.
using TNotifyEvent = void (TForm1::*)(TControl& sender);
using TMouseEvent = void (TForm1::*)(TControl& sender, TMouseButton button, UINT shift, int x, int y);
using TMouseMoveEvent = void (TForm1::*)(TControl& sender, UINT shift, int x, int y);

enum class ControlKind {
  Panel,         // plain panel with a one-pixel raised bevel
  Picture,       // draws its picture unscaled at its top-left; mouse events
  Label,         // transparent static text over the panel's picture
  Edit,          // single-line edit
  Memo,          // multi-line edit
  SkinButton,    // skinned push button
  SkinCheckBox,  // skinned check box without caption, transparent
  ProgressBar,   // range 0..100
  Button,        // plain push button (developer tools)
};

// Pictures a Picture control can show, loaded from the program's resources.
enum class PictureSource { None, Background, DesignSlide };

// The font of a control. height as LOGFONT's lfHeight: negative for a
// character height, positive for a cell height (character plus internal
// leading), in pixels. Every font uses the GB2312 character set.
struct FontSpec {
  constexpr FontSpec() = default;
  constexpr FontSpec(const wchar_t* f, int h) : face(f), height(h) {}
  const wchar_t* face = nullptr;
  int height = 0;
};

// Colours given as a system colour index are resolved when drawn.
inline constexpr COLORREF SysColour(int index) { return 0xFF000000u | static_cast<COLORREF>(index); }
inline constexpr COLORREF kClWindowText = SysColour(COLOR_WINDOWTEXT);
inline constexpr COLORREF kClBtnFace = SysColour(COLOR_BTNFACE);
inline constexpr COLORREF kClRed = RGB(255, 0, 0);
COLORREF ResolveColour(COLORREF c);

// Initial state bits of a row.
enum : unsigned {
  kVisible = 1u << 0,
  kEnabled = 1u << 1,
  kChecked = 1u << 2,   // check boxes
  kAutoSize = 1u << 3,  // labels: sized to their text when created
};

struct ControlRow {
  const char* name = "";
  int id = 0;                   // control ID, see controlids.h
  ControlKind kind = ControlKind::Label;
  int parent = 0;               // control ID of the parent panel; 0: the form
  int left = 0, top = 0, width = 0, height = 0;
  const wchar_t* text = L"";    // window text (caption, edit text, label text)
  FontSpec font{};              // face nullptr: the form's font
  COLORREF colour = kClWindowText;  // text colour
  unsigned state = kVisible | kEnabled;
  int tab_order = -1;           // place in the keyboard focus order; -1: none
  PictureSource picture = PictureSource::None;
  int position = 0;             // progress bars: design position
  TControl* TForm1::*field = nullptr;  // the form's member bound to it
  TNotifyEvent on_click = nullptr;
  TNotifyEvent on_change = nullptr;
  TNotifyEvent on_mouse_enter = nullptr;
  TMouseEvent on_mouse_down = nullptr;
  TMouseMoveEvent on_mouse_move = nullptr;
};

struct FormRow {
  const wchar_t* caption;
  int client_width, client_height;  // design-time client size
  FontSpec font;                    // default font of the controls
  COLORREF colour;                  // background
};

const FormRow& FormDescription();
// The controls, each parent before its children and, within one parent,
// bottom to top.
const ControlRow* ControlDescription(std::size_t& count);

}  // namespace vexa
