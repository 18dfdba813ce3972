#pragma once
// Pictures of the window held as 32-bit DIB sections with premultiplied
// alpha, ready for AlphaBlend: PNG decoded through GDI+, JPEG through
// libjpeg. Decoding failures give an empty optional, never a half picture.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "win/winraii.h"

namespace vexa {

// GDI+ for the lifetime of the object; PNG decoding needs one alive.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

class TBitmap32 {
 public:
  // An opaque picture of w x h pixels, filled with colour.
  static std::optional<TBitmap32> Create(int w, int h, COLORREF colour);
  // A PNG file's bytes, alpha kept. Needs a GdiplusSession.
  static std::optional<TBitmap32> FromPng(const std::string& bytes);
  // A JPEG file's bytes (baseline or progressive, any colour space libjpeg
  // converts to RGB); opaque.
  static std::optional<TBitmap32> FromJpeg(const std::string& bytes);

  TBitmap32(TBitmap32&&) = default;
  TBitmap32& operator=(TBitmap32&&) = default;

  int Width() const { return w_; }
  int Height() const { return h_; }
  HBITMAP Handle() const { return static_cast<HBITMAP>(bitmap_.get()); }
  // Top-down rows of premultiplied BGRA pixels.
  std::uint32_t* Pixels() const { return bits_; }

  // Draws the whole picture unscaled with its top-left at (x, y), blending
  // by its alpha, clipped by whatever clips dc.
  void Draw(HDC dc, int x, int y) const;
  // Draws the part src of the picture into dst, stretched when sizes differ.
  void DrawPart(HDC dc, const RECT& dst, const RECT& src) const;

 private:
  TBitmap32() = default;
  win::UniqueGdi bitmap_;
  std::uint32_t* bits_ = nullptr;
  int w_ = 0;
  int h_ = 0;
};

}  // namespace vexa
