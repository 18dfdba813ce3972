#include "picture.h"

#include <shlwapi.h>

#include <cstdio>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <gdiplus.h>
// jpeglib.h needs the Windows headers first: they define its "boolean".
#include <jpeglib.h>

namespace vexa {
namespace {

using namespace Gdiplus::DllExports;

// Owner of a GDI+ bitmap, released with GdipDisposeImage.
struct GpBitmapTraits {
  using Handle = Gdiplus::GpBitmap*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { GdipDisposeImage(h); }
};
using UniqueGpBitmap = win::Unique<GpBitmapTraits>;

}  // namespace

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

std::optional<TBitmap32> TBitmap32::Create(int w, int h, COLORREF colour) {
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return std::nullopt;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp || !bits) {
    if (bmp) DeleteObject(bmp);
    return std::nullopt;
  }
  TBitmap32 pic;
  pic.bitmap_.reset(bmp);
  pic.bits_ = static_cast<std::uint32_t*>(bits);
  pic.w_ = w;
  pic.h_ = h;
  const std::uint32_t px = 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
                           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
  for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) pic.bits_[i] = px;
  return pic;
}

std::optional<TBitmap32> TBitmap32::FromPng(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return std::nullopt;
  win::ComPtr<IStream> stream;
  *stream.put() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                      static_cast<UINT>(bytes.size()));
  if (!stream) return std::nullopt;
  UniqueGpBitmap gp;
  if (GdipCreateBitmapFromStream(stream.get(), gp.put()) != Gdiplus::Ok || !gp) return std::nullopt;
  UINT w = 0, h = 0;
  if (GdipGetImageWidth(gp.get(), &w) != Gdiplus::Ok || GdipGetImageHeight(gp.get(), &h) != Gdiplus::Ok)
    return std::nullopt;
  auto pic = Create(static_cast<int>(w), static_cast<int>(h), 0);
  if (!pic) return std::nullopt;
  Gdiplus::GpRect rect(0, 0, static_cast<INT>(w), static_cast<INT>(h));
  Gdiplus::BitmapData data{};
  if (GdipBitmapLockBits(gp.get(), &rect, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
      Gdiplus::Ok)
    return std::nullopt;
  const bool whole = data.Scan0 && data.Width == w && data.Height == h;
  if (whole) {
    const auto* row = static_cast<const unsigned char*>(data.Scan0);
    for (UINT y = 0; y < h; ++y, row += data.Stride)
      std::memcpy(pic->bits_ + static_cast<std::size_t>(y) * w, row, static_cast<std::size_t>(w) * 4);
  }
  GdipBitmapUnlockBits(gp.get(), &data);
  if (!whole) return std::nullopt;
  return pic;
}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoding function, which then only cleans up.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr, int) {}

// Decodes into out as BGRA rows. No object with a destructor lives in this
// frame between setjmp and a possible longjmp; out belongs to the caller.
bool DecodeJpeg(const std::string& bytes, std::vector<unsigned char>& out, int& w, int& h) {
  jpeg_decompress_struct cinfo;
  JpegErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.emit_message = IgnoreJpegMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width == 0 || cinfo.output_height == 0 || cinfo.output_width > 16384 ||
      cinfo.output_height > 16384 || cinfo.output_components != 4) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  w = static_cast<int>(cinfo.output_width);
  h = static_cast<int>(cinfo.output_height);
  const std::size_t stride = static_cast<std::size_t>(w) * 4;
  bool sized = true;
  try {
    out.assign(stride * static_cast<std::size_t>(h), 0);
  } catch (...) {
    sized = false;
  }
  if (!sized) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

std::optional<TBitmap32> TBitmap32::FromJpeg(const std::string& bytes) {
  if (bytes.size() < 4 || bytes.size() > 0x7FFFFFFF) return std::nullopt;
  std::vector<unsigned char> pixels;
  int w = 0, h = 0;
  if (!DecodeJpeg(bytes, pixels, w, h)) return std::nullopt;
  auto pic = Create(w, h, 0);
  if (!pic) return std::nullopt;
  std::memcpy(pic->bits_, pixels.data(), pixels.size());
  // JPEG has no alpha: make every pixel opaque whatever libjpeg left there.
  for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) pic->bits_[i] |= 0xFF000000u;
  return pic;
}

void TBitmap32::Draw(HDC dc, int x, int y) const {
  DrawPart(dc, RECT{x, y, x + w_, y + h_}, RECT{0, 0, w_, h_});
}

void TBitmap32::DrawPart(HDC dc, const RECT& dst, const RECT& src) const {
  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const int sw = src.right - src.left, sh = src.bottom - src.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  win::UniqueMemDc mem(CreateCompatibleDC(dc));
  if (!mem) return;
  win::SelectObjectScope select(mem.get(), bitmap_.get());
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, dst.left, dst.top, dw, dh, mem.get(), src.left, src.top, sw, sh, blend);
}

}  // namespace vexa
