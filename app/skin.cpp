#include "skin.h"

#include <algorithm>

namespace vexa {

std::optional<TSkin> TSkin::FromPng(const std::string& bytes) {
  auto picture = TBitmap32::FromPng(bytes);
  if (!picture || picture->Width() < skin::kPictureWidth || picture->Height() < skin::kPictureHeight)
    return std::nullopt;
  return TSkin(std::move(*picture));
}

void TSkin::DrawButton(HDC dc, const RECT& rc, skin::ButtonState state) const {
  const skin::Cell cell = skin::ButtonCell(state);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  // Corners keep their size unless the control is smaller than two of them.
  const int mx = std::min(skin::kButtonMargin, w / 2), my = std::min(skin::kButtonMargin, h / 2);
  const int m = skin::kButtonMargin;
  const int sx[4] = {cell.x, cell.x + m, cell.x + cell.width - m, cell.x + cell.width};
  const int sy[4] = {cell.y, cell.y + m, cell.y + cell.height - m, cell.y + cell.height};
  const int dx[4] = {rc.left, rc.left + mx, rc.right - mx, rc.right};
  const int dy[4] = {rc.top, rc.top + my, rc.bottom - my, rc.bottom};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      picture_.DrawPart(dc, RECT{dx[col], dy[row], dx[col + 1], dy[row + 1]},
                        RECT{sx[col], sy[row], sx[col + 1], sy[row + 1]});
}

void TSkin::DrawCheck(HDC dc, int x, int y, bool checked, skin::CheckState state) const {
  const skin::Cell cell = skin::CheckCell(checked, state);
  picture_.DrawPart(dc, RECT{x, y, x + cell.width, y + cell.height},
                    RECT{cell.x, cell.y, cell.x + cell.width, cell.y + cell.height});
}

}  // namespace vexa
