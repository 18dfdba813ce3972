#include "formdesc.h"

#include <iterator>

#include "controlids.h"
#include "uformresource.h"

namespace vexa {
namespace {

constexpr wchar_t kSong[] = L"宋体";
constexpr wchar_t kHei[] = L"黑体";
constexpr wchar_t kSansSerif[] = L"MS Sans Serif";

using K = ControlKind;
using F = TForm1;

constexpr unsigned kHidden = kEnabled;
constexpr unsigned kShown = kVisible | kEnabled;

// Rows in creation order: each parent before its children and, within one
// parent, bottom to top. Fonts: a negative height is a character height, a
// positive one a cell height.
const ControlRow kControls[] = {
    // Install group.
    {.name = "Panel1", .id = ids::Panel1, .kind = K::Panel, .parent = 0,
     .left = 0, .top = 0, .width = 492, .height = 369, .text = L"Panel1", .field = &F::Panel1},
    {.name = "Image1", .id = ids::Image1, .kind = K::Picture, .parent = ids::Panel1,
     .left = 1, .top = 1, .width = 490, .height = 367, .text = L"", .picture = PictureSource::Background,
     .field = &F::Image1, .on_mouse_down = &F::Image1MouseDown, .on_mouse_move = &F::Image1MouseMove},
    {.name = "Label2", .id = ids::Label2, .kind = K::Label, .parent = ids::Panel1,
     .left = 56, .top = 170, .width = 64, .height = 16, .text = L"安装路径",
     .font = {kHei, -16}, .state = kShown | kAutoSize, .field = &F::Label2},
    {.name = "Label3", .id = ids::Label3, .kind = K::Label, .parent = ids::Panel1,
     .left = 86, .top = 240, .width = 196, .height = 13, .text = L"我已经阅读并且同意Vexa许可协议",
     .font = {kHei, 13}, .state = kShown | kAutoSize, .field = &F::Label3,
     .on_click = &F::Label3Click, .on_mouse_enter = &F::Label3MouseEnter},
    {.name = "Label4", .id = ids::Label4, .kind = K::Label, .parent = ids::Panel1,
     .left = 87, .top = 269, .width = 98, .height = 13, .text = L"安装后立即启动",
     .font = {kHei, -13}, .state = kShown | kAutoSize, .field = &F::Label4},
    {.name = "Label1", .id = ids::Label1, .kind = K::Label, .parent = ids::Panel1,
     .left = 61, .top = 219, .width = 348, .height = 15, .text = L"Label1",
     .font = {kHei, -15}, .colour = kClRed, .field = &F::Label1},
    {.name = "Image2", .id = ids::Image2, .kind = K::Picture, .parent = ids::Panel1,
     .left = 425, .top = 16, .width = 20, .height = 22, .text = L"", .field = &F::Image2,
     .on_mouse_down = &F::Image2MouseDown},
    {.name = "Image4", .id = ids::Image4, .kind = K::Picture, .parent = ids::Panel1,
     .left = 452, .top = 16, .width = 21, .height = 23, .text = L"", .field = &F::Image4,
     .on_mouse_down = &F::Image4MouseDown},
    {.name = "cxButton2", .id = ids::cxButton2, .kind = K::SkinButton, .parent = ids::Panel1,
     .left = 379, .top = 187, .width = 94, .height = 29, .text = L"浏  览",
     .font = {kHei, -11}, .tab_order = 0, .field = &F::cxButton2, .on_click = &F::cxButton2Click},
    {.name = "cxprotocol", .id = ids::cxprotocol, .kind = K::SkinCheckBox, .parent = ids::Panel1,
     .left = 59, .top = 236, .width = 22, .height = 21, .text = L"",
     .font = {kSansSerif, -11}, .state = kShown | kChecked, .tab_order = 2, .field = &F::cxprotocol,
     .on_click = &F::cxprotocolClick},
    {.name = "cxstart", .id = ids::cxstart, .kind = K::SkinCheckBox, .parent = ids::Panel1,
     .left = 61, .top = 267, .width = 16, .height = 21, .text = L"",
     .font = {kSansSerif, -11}, .state = kShown | kChecked, .tab_order = 3, .field = &F::cxstart},
    {.name = "cxButton1", .id = ids::cxButton1, .kind = K::SkinButton, .parent = ids::Panel1,
     .left = 166, .top = 296, .width = 139, .height = 41, .text = L"立即安装",
     .font = {kHei, -20}, .tab_order = 4, .field = &F::cxButton1, .on_click = &F::cxButton1Click,
     .on_mouse_enter = &F::cxButton1MouseEnter},
    {.name = "Edit1", .id = ids::Edit1, .kind = K::Edit, .parent = ids::Panel1,
     .left = 58, .top = 190, .width = 311, .height = 28, .text = L"c:\\vexa",
     .font = {kSong, -20}, .tab_order = 1, .field = &F::Edit1, .on_change = &F::Edit1Change},
    // Developer tools on the install group, never shown.
    {.name = "Memo1", .id = ids::Memo1, .kind = K::Memo, .parent = ids::Panel1,
     .left = 8, .top = 8, .width = 185, .height = 89, .text = L"Memo1", .state = kHidden,
     .field = &F::Memo1},
    {.name = "Button8", .id = ids::Button8, .kind = K::Button, .parent = ids::Panel1,
     .left = 200, .top = 8, .width = 75, .height = 25, .text = L"解密", .state = kHidden,
     .field = &F::Button8, .on_click = &F::Button8Click},
    {.name = "Button9", .id = ids::Button9, .kind = K::Button, .parent = ids::Panel1,
     .left = 200, .top = 40, .width = 75, .height = 25, .text = L"解压素材", .state = kHidden,
     .field = &F::Button9, .on_click = &F::Button9Click},
    {.name = "Button10", .id = ids::Button10, .kind = K::Button, .parent = ids::Panel1,
     .left = 200, .top = 72, .width = 75, .height = 25, .text = L"压缩素材", .state = kHidden,
     .field = &F::Button10, .on_click = &F::Button10Click},

    // Progress group, shown during installation.
    {.name = "Panel2", .id = ids::Panel2, .kind = K::Panel, .parent = 0,
     .left = 504, .top = 80, .width = 449, .height = 281, .text = L"", .state = kHidden,
     .field = &F::Panel2},
    {.name = "Image3", .id = ids::Image3, .kind = K::Picture, .parent = ids::Panel2,
     .left = 1, .top = 1, .width = 447, .height = 246, .text = L"", .picture = PictureSource::DesignSlide,
     .field = &F::Image3, .on_mouse_move = &F::Image3MouseMove},
    {.name = "ProgressBar1", .id = ids::ProgressBar1, .kind = K::ProgressBar, .parent = ids::Panel2,
     .left = 1, .top = 247, .width = 447, .height = 33, .text = L"", .position = 50,
     .field = &F::ProgressBar1},

    // Developer tools on the window: hidden, except Button7, which lies
    // outside the client area once start-up has shrunk the window.
    {.name = "Button1", .id = ids::Button1, .kind = K::Button, .parent = 0,
     .left = 504, .top = 16, .width = 75, .height = 25, .text = L"打包文件", .state = kHidden,
     .field = &F::Button1, .on_click = &F::Button1Click},
    {.name = "Button2", .id = ids::Button2, .kind = K::Button, .parent = 0,
     .left = 584, .top = 16, .width = 75, .height = 25, .text = L"加密", .state = kHidden,
     .field = &F::Button2, .on_click = &F::Button2Click},
    {.name = "Button3", .id = ids::Button3, .kind = K::Button, .parent = 0,
     .left = 664, .top = 16, .width = 75, .height = 25, .text = L"生成图片素材", .state = kHidden,
     .field = &F::Button3, .on_click = &F::Button3Click},
    {.name = "Button4", .id = ids::Button4, .kind = K::Button, .parent = 0,
     .left = 744, .top = 16, .width = 75, .height = 25, .text = L"生成压缩下载文件", .state = kHidden,
     .field = &F::Button4, .on_click = &F::Button4Click},
    {.name = "Button5", .id = ids::Button5, .kind = K::Button, .parent = 0,
     .left = 824, .top = 16, .width = 75, .height = 25, .text = L"解压更新文件", .state = kHidden,
     .field = &F::Button5, .on_click = &F::Button5Click},
    {.name = "Button6", .id = ids::Button6, .kind = K::Button, .parent = 0,
     .left = 504, .top = 48, .width = 75, .height = 25, .text = L"解压", .state = kHidden,
     .field = &F::Button6, .on_click = &F::Button6Click},
    {.name = "Button7", .id = ids::Button7, .kind = K::Button, .parent = 0,
     .left = 504, .top = 392, .width = 75, .height = 25, .text = L"测试解压素材", .tab_order = 5,
     .field = &F::Button7, .on_click = &F::Button7Click},
};

const FormRow kForm = {L"MiravoVexa", 973, 443, {kSong, -11}, kClBtnFace};

}  // namespace

COLORREF ResolveColour(COLORREF c) {
  return (c & 0xFF000000u) ? GetSysColor(static_cast<int>(c & 0xFFu)) : c;
}

const FormRow& FormDescription() { return kForm; }

const ControlRow* ControlDescription(std::size_t& count) {
  count = std::size(kControls);
  return kControls;
}

}  // namespace vexa
