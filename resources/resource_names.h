#pragma once
// Types and names of the installer's own resources (VexaS.rc), and the layout
// of the skin picture, so the window code never spells them itself. Names
// are matched without regard to case; windres stores them in upper case.
// art/README.md describes each file behind these names.

namespace vexa::res {

// Plain byte streams the installer copies out or reads whole.
inline constexpr wchar_t kTextFileType[] = L"TXTFILE";
inline constexpr wchar_t kShortcutIconName[] = L"ICO";   // .ico file, written as logo.ico
inline constexpr wchar_t kSlide1Name[] = L"IMG01";       // JPEG, 450 x 249
inline constexpr wchar_t kSlide2Name[] = L"IMG02";
inline constexpr wchar_t kSlide3Name[] = L"IMG03";
inline constexpr wchar_t kAgreementName[] = L"XIEYI";    // code page 936 text, CR LF

// The install group's background: PNG, 488 x 359, 32-bit with alpha.
inline constexpr wchar_t kPngType[] = L"PNG";
inline constexpr wchar_t kBackgroundName[] = L"BACKGROUND";

// The progress group's picture before the first slide: JPEG, 450 x 249.
inline constexpr wchar_t kJpegType[] = L"JPEG";
inline constexpr wchar_t kDesignSlideName[] = L"SLIDE";

// Skin of the owner-drawn buttons and check boxes: a PNG laid out as below.
inline constexpr wchar_t kSkinType[] = L"DXSKINS";
inline constexpr wchar_t kSkinName[] = L"McSkin";

// The program's icon (RT_GROUP_ICON), for the window class and Explorer.
inline constexpr int kMainIconId = 1;

}  // namespace vexa::res

namespace vexa::skin {

// A cell of the skin picture, in picture pixels.
struct Cell {
  int x, y, width, height;
};

// The picture is 144 x 51: one row of four button cells (36 x 36) on top,
// one row of eight check box cells (15 x 15) below, all from x = 0.
inline constexpr int kPictureWidth = 144;
inline constexpr int kPictureHeight = 51;

// Button faces: each cell is a 9-slice. The corners (kButtonMargin square)
// are drawn as they are, the edges stretched along their length, the centre
// both ways. The caption is not part of the picture.
enum class ButtonState { kNormal = 0, kHot = 1, kPressed = 2, kDisabled = 3 };
inline constexpr int kButtonCellSize = 36;
inline constexpr int kButtonMargin = 6;

constexpr Cell ButtonCell(ButtonState state) {
  return {static_cast<int>(state) * kButtonCellSize, 0, kButtonCellSize, kButtonCellSize};
}

// Check box glyphs, drawn unscaled: four unchecked states, then the same
// four checked. The glyph has alpha; the ground shows through its corners.
enum class CheckState { kNormal = 0, kHot = 1, kPressed = 2, kDisabled = 3 };
inline constexpr int kCheckCellSize = 15;
inline constexpr int kCheckRowTop = kButtonCellSize;

constexpr Cell CheckCell(bool checked, CheckState state) {
  return {((checked ? 4 : 0) + static_cast<int>(state)) * kCheckCellSize, kCheckRowTop,
          kCheckCellSize, kCheckCellSize};
}

static_assert(4 * kButtonCellSize <= kPictureWidth && 8 * kCheckCellSize <= kPictureWidth);
static_assert(kButtonCellSize + kCheckCellSize == kPictureHeight);

}  // namespace vexa::skin
