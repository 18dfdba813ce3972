// TForm1's painting: every control the window draws itself is drawn here,
// off screen, then copied in one go, so nothing flickers.
#include <algorithm>

#include "uformresource.h"

namespace vexa {

namespace {

RECT BoundsIn(HWND wnd, HWND ancestor) {
  RECT rc;
  GetWindowRect(wnd, &rc);
  MapWindowPoints(HWND_DESKTOP, ancestor, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

skin::ButtonState ButtonStateOf(const TControl& c, bool enabled) {
  if (!enabled) return skin::ButtonState::kDisabled;
  if (c.pressed && c.hot) return skin::ButtonState::kPressed;
  if (c.hot || c.pressed) return skin::ButtonState::kHot;
  return skin::ButtonState::kNormal;
}

}  // namespace

void TForm1::PaintControl(TControl& c, HDC dc) {
  RECT rc;
  GetClientRect(c.hwnd, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  win::UniqueMemDc mem(CreateCompatibleDC(dc));
  win::UniqueGdi buffer(CreateCompatibleBitmap(dc, rc.right, rc.bottom));
  if (!mem || !buffer) {
    Paint(c, dc, rc);
    return;
  }
  {
    win::SelectObjectScope select(mem.get(), buffer.get());
    Paint(c, mem.get(), rc);
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
  }
}

void TForm1::Paint(TControl& c, HDC dc, const RECT& rc) {
  switch (c.row->kind) {
    case ControlKind::Panel:
      PaintPanel(c, dc, rc);
      break;
    case ControlKind::Picture:
      PaintPicture(c, dc, rc);
      break;
    case ControlKind::Label:
      PaintLabel(c, dc, rc);
      break;
    case ControlKind::SkinButton:
      PaintSkinButton(c, dc, rc);
      break;
    case ControlKind::SkinCheckBox:
      PaintSkinCheckBox(c, dc, rc);
      break;
    default:
      PaintBackdrop(c, dc, rc);
      break;
  }
}

const TBitmap32* TForm1::Backdrop(TControl& panel) {
  RECT rc;
  GetClientRect(panel.hwnd, &rc);
  auto it = backdrops_.find(panel.row->id);
  if (it != backdrops_.end() && it->second.Width() == rc.right && it->second.Height() == rc.bottom)
    return &it->second;
  if (it != backdrops_.end()) backdrops_.erase(it);
  auto made = TBitmap32::Create(rc.right, rc.bottom, ResolveColour(FormDescription().colour));
  if (!made) return nullptr;
  win::UniqueMemDc mem(CreateCompatibleDC(nullptr));
  if (!mem) return nullptr;
  {
    win::SelectObjectScope select(mem.get(), made->Handle());
    // A one-pixel raised bevel, then the panel's pictures bottom to top.
    RECT edge = rc;
    DrawEdge(mem.get(), &edge, BDR_RAISEDINNER, BF_RECT);
    for (TControl& child : controls_) {
      if (child.row->parent != panel.row->id || child.row->kind != ControlKind::Picture || !child.picture)
        continue;
      if (!(GetWindowLongW(child.hwnd, GWL_STYLE) & WS_VISIBLE)) continue;
      const RECT at = BoundsIn(child.hwnd, panel.hwnd);
      const int w = std::min<int>(at.right - at.left, child.picture->Width());
      const int h = std::min<int>(at.bottom - at.top, child.picture->Height());
      child.picture->DrawPart(mem.get(), RECT{at.left, at.top, at.left + w, at.top + h}, RECT{0, 0, w, h});
    }
  }
  return &backdrops_.emplace(panel.row->id, std::move(*made)).first->second;
}

void TForm1::InvalidateBackdrop(TControl& panel) {
  backdrops_.erase(panel.row->id);
  RedrawWindow(panel.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TForm1::PaintBackdrop(TControl& c, HDC dc, const RECT& rc) {
  TControl* panel = c.row->parent ? FindControl(c.row->parent) : nullptr;
  const TBitmap32* backdrop = panel ? Backdrop(*panel) : nullptr;
  if (!backdrop) {
    FillRect(dc, &rc, GetSysColorBrush(static_cast<int>(FormDescription().colour & 0xFFu)));
    return;
  }
  const RECT at = BoundsIn(c.hwnd, panel->hwnd);
  win::UniqueMemDc mem(CreateCompatibleDC(dc));
  if (!mem) return;
  win::SelectObjectScope select(mem.get(), backdrop->Handle());
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), at.left, at.top, SRCCOPY);
}

void TForm1::PaintPanel(TControl& c, HDC dc, const RECT& rc) {
  const TBitmap32* backdrop = Backdrop(c);
  if (!backdrop) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  win::UniqueMemDc mem(CreateCompatibleDC(dc));
  if (!mem) return;
  win::SelectObjectScope select(mem.get(), backdrop->Handle());
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
}

// A picture is part of its panel's backdrop, so it shows what lies there.
void TForm1::PaintPicture(TControl& c, HDC dc, const RECT& rc) { PaintBackdrop(c, dc, rc); }

void TForm1::PaintLabel(TControl& c, HDC dc, const RECT& rc) {
  PaintBackdrop(c, dc, rc);
  const std::wstring text = TextW(c);
  if (text.empty()) return;
  win::SelectObjectScope font(dc, c.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColour(c.colour));
  RECT box = rc;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void TForm1::PaintSkinButton(TControl& c, HDC dc, const RECT& rc) {
  PaintBackdrop(c, dc, rc);
  const bool enabled = Enabled(c);
  const skin::ButtonState state = ButtonStateOf(c, enabled);
  if (skin_) {
    skin_->DrawButton(dc, rc, state);
  } else {
    RECT face = rc;
    DrawFrameControl(dc, &face, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (state == skin::ButtonState::kPressed ? DFCS_PUSHED : 0) |
                         (enabled ? 0 : DFCS_INACTIVE));
  }
  RECT box = rc;
  if (state == skin::ButtonState::kPressed) OffsetRect(&box, 1, 1);
  const std::wstring text = TextW(c);
  win::SelectObjectScope font(dc, c.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? ResolveColour(c.colour) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (ShowFocusCues() && GetFocus() == c.hwnd) {
    RECT focus = rc;
    InflateRect(&focus, -4, -4);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, &focus);
  }
}

void TForm1::PaintSkinCheckBox(TControl& c, HDC dc, const RECT& rc) {
  PaintBackdrop(c, dc, rc);
  const bool enabled = Enabled(c);
  const int size = TSkin::CheckSize();
  const int x = std::max(0, static_cast<int>(rc.right - size) / 2);
  const int y = std::max(0, static_cast<int>(rc.bottom - size) / 2);
  skin::CheckState state = skin::CheckState::kNormal;
  if (!enabled)
    state = skin::CheckState::kDisabled;
  else if (c.pressed && c.hot)
    state = skin::CheckState::kPressed;
  else if (c.hot)
    state = skin::CheckState::kHot;
  if (skin_) {
    skin_->DrawCheck(dc, x, y, c.checked, state);
  } else {
    RECT box{x, y, x + size, y + size};
    DrawFrameControl(dc, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | (c.checked ? DFCS_CHECKED : 0) | (enabled ? 0 : DFCS_INACTIVE));
  }
  if (ShowFocusCues() && GetFocus() == c.hwnd) {
    RECT focus{x - 2, y - 2, x + size + 2, y + size + 2};
    SetTextColor(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace vexa
