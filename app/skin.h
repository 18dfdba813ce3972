#pragma once
// The skin "McSkin" of the skinned buttons and check boxes: one picture of
// state cells (layout in resource_names.h), drawn with its alpha over
// whatever the control shows through.
#include <windows.h>

#include <optional>
#include <string>

#include "picture.h"
#include "resource_names.h"

namespace vexa {

class TSkin {
 public:
  // The skin from its picture's bytes (PNG); nothing when it cannot be
  // decoded or is smaller than its layout needs.
  static std::optional<TSkin> FromPng(const std::string& bytes);

  // A button face filling rc: the state's cell as a 9-slice.
  void DrawButton(HDC dc, const RECT& rc, skin::ButtonState state) const;
  // A check box glyph, unscaled, with its top-left at (x, y).
  void DrawCheck(HDC dc, int x, int y, bool checked, skin::CheckState state) const;
  static constexpr int CheckSize() { return skin::kCheckCellSize; }

 private:
  explicit TSkin(TBitmap32 picture) : picture_(std::move(picture)) {}
  TBitmap32 picture_;
};

}  // namespace vexa
