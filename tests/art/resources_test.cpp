// The installer's resources as linked into a program: every entry is found
// under the type and name the code uses, and holds the kind of file, with
// the dimensions, that the window and the install steps rely on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "resource_names.h"

namespace {

std::string_view ResourceBytes(const wchar_t* type, const wchar_t* name) {
  HRSRC info = FindResourceW(nullptr, name, type);
  if (!info) return {};
  HGLOBAL block = LoadResource(nullptr, info);
  const DWORD size = SizeofResource(nullptr, info);
  const void* data = block ? LockResource(block) : nullptr;
  if (!data) return {};
  return {static_cast<const char*>(data), size};
}

uint32_t Be32(std::string_view b, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.data()) + at;
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint16_t Be16(std::string_view b, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.data()) + at;
  return uint16_t(p[0] << 8 | p[1]);
}
uint16_t Le16(std::string_view b, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.data()) + at;
  return uint16_t(p[0] | p[1] << 8);
}

struct Picture {
  int width = 0, height = 0;
  int pngColourType = -1;  // PNG only: 6 is 8-bit RGBA
};

// Width and height from a PNG's IHDR chunk; empty when it is no PNG.
bool ReadPng(std::string_view b, Picture* out) {
  static const char kSignature[] = "\x89PNG\r\n\x1a\n";
  if (b.size() < 33 || b.substr(0, 8) != std::string_view(kSignature, 8) ||
      b.substr(12, 4) != "IHDR")
    return false;
  out->width = static_cast<int>(Be32(b, 16));
  out->height = static_cast<int>(Be32(b, 20));
  out->pngColourType = static_cast<unsigned char>(b[25]);
  return b[24] == 8;
}

// Width and height from a JPEG's first frame header (SOF0 to SOF2).
bool ReadJpeg(std::string_view b, Picture* out) {
  if (b.size() < 4 || Be16(b, 0) != 0xFFD8) return false;
  size_t at = 2;
  while (at + 4 <= b.size()) {
    if (static_cast<unsigned char>(b[at]) != 0xFF) return false;
    const unsigned marker = static_cast<unsigned char>(b[at + 1]);
    const size_t length = Be16(b, at + 2);
    if (length < 2 || at + 2 + length > b.size()) return false;
    if (marker >= 0xC0 && marker <= 0xC2) {
      if (length < 8) return false;
      out->height = Be16(b, at + 5);
      out->width = Be16(b, at + 7);
      return true;
    }
    at += 2 + length;
  }
  return false;
}

struct PictureRow {
  const char* label;
  const wchar_t* type;
  const wchar_t* name;
  bool png;
  int width, height;
};

class PictureResource : public testing::TestWithParam<PictureRow> {};

TEST_P(PictureResource, HasItsFormatAndSize) {
  const PictureRow& row = GetParam();
  std::string_view bytes = ResourceBytes(row.type, row.name);
  ASSERT_FALSE(bytes.empty()) << "resource missing";
  Picture pic;
  ASSERT_TRUE(row.png ? ReadPng(bytes, &pic) : ReadJpeg(bytes, &pic)) << "not a readable file";
  EXPECT_EQ(pic.width, row.width);
  EXPECT_EQ(pic.height, row.height);
  if (row.png) {
    EXPECT_EQ(pic.pngColourType, 6) << "needs 8-bit RGBA";
  }
}

using namespace vexa::res;
const PictureRow kPictures[] = {
    {"Background", kPngType, kBackgroundName, true, 488, 359},
    {"Skin", kSkinType, kSkinName, true, vexa::skin::kPictureWidth, vexa::skin::kPictureHeight},
    {"DesignSlide", kJpegType, kDesignSlideName, false, 450, 249},
    {"Slide1", kTextFileType, kSlide1Name, false, 450, 249},
    {"Slide2", kTextFileType, kSlide2Name, false, 450, 249},
    {"Slide3", kTextFileType, kSlide3Name, false, 450, 249},
};
INSTANTIATE_TEST_SUITE_P(Art, PictureResource, testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ArtResources, NamesMatchWhateverTheirCase) {
  EXPECT_FALSE(ResourceBytes(L"dxskins", L"MCSKIN").empty());
  EXPECT_FALSE(ResourceBytes(L"txtfile", L"xieyi").empty());
}

// The shortcut icon is a whole .ico file with the six sizes Explorer picks from.
TEST(ArtResources, ShortcutIconHoldsSixSizes) {
  std::string_view ico = ResourceBytes(kTextFileType, kShortcutIconName);
  ASSERT_GE(ico.size(), 6u);
  ASSERT_EQ(Le16(ico, 0), 0);
  ASSERT_EQ(Le16(ico, 2), 1);  // icon, not cursor
  const int count = Le16(ico, 4);
  ASSERT_GE(ico.size(), 6u + 16u * count);
  std::set<int> sizes;
  for (int i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i;
    const int side = static_cast<unsigned char>(ico[entry]);
    sizes.insert(side == 0 ? 256 : side);
    uint32_t length, offset;
    std::memcpy(&length, ico.data() + entry + 8, 4);
    std::memcpy(&offset, ico.data() + entry + 12, 4);
    EXPECT_LE(uint64_t(offset) + length, ico.size()) << "image " << i << " runs past the file";
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 128, 256}));

  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kMainIconId), IMAGE_ICON, 32, 32, 0));
  EXPECT_NE(icon, nullptr) << "program icon";
  if (icon) DestroyIcon(icon);
}

// Notepad shows the agreement as stored: code page 936 with CR LF ends.
TEST(ArtResources, AgreementIsCp936WithCrLf) {
  std::string_view text = ResourceBytes(kTextFileType, kAgreementName);
  ASSERT_GT(text.size(), 1000u);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
    if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
    }
  }
  const int wide = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, text.data(),
                                       static_cast<int>(text.size()), nullptr, 0);
  ASSERT_GT(wide, 0) << "not valid code page 936";
  std::wstring decoded(wide, L'\0');
  MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), decoded.data(), wide);
  EXPECT_EQ(decoded.rfind(L"Vexa\x8003\x8bd5\x5ba2\x6237\x7aef", 0), 0u)  // "Vexa考试客户端..."
      << "title line";
}

TEST(ArtResources, VersionNamesTheProduct) {
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 29u);
  wchar_t* product = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404B0\\ProductName",
                             reinterpret_cast<void**>(&product), &len));
  EXPECT_STREQ(product, L"Vexa");
}

TEST(ArtResources, ManifestAsksForAdministratorAndCommonControls6) {
  std::string_view manifest = ResourceBytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string_view::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string_view::npos);
}

}  // namespace
