#pragma once
// Control IDs of the installer window. Every named control of the window is
// a child window with one of these IDs (GetDlgCtrlID) and its own window
// text, so that the window itself, a test driver or a screen reader can
// find and read it. The numbers are stable: add new ones, never renumber.
// Plain constants only, so that any Windows program may include this file.

namespace vexa::ids {

// Window class of the main window; its caption is "MiravoVexa" at start.
inline constexpr wchar_t kFormClass[] = L"TForm1";

// Install group and its children.
inline constexpr int Panel1 = 100;
inline constexpr int Image1 = 101;  // background picture, drag band
inline constexpr int Label2 = 102;  // "安装路径"
inline constexpr int Label3 = 103;  // agreement link
inline constexpr int Label4 = 104;  // "安装后立即启动"
inline constexpr int Label1 = 105;  // location verdict (red)
inline constexpr int Image2 = 106;  // minimise area
inline constexpr int Image4 = 107;  // close area
inline constexpr int cxButton2 = 108;  // browse
inline constexpr int cxprotocol = 109;  // agreement box
inline constexpr int cxstart = 110;     // start after installing
inline constexpr int cxButton1 = 111;   // Install
inline constexpr int Edit1 = 112;       // install location

// Progress group.
inline constexpr int Panel2 = 200;
inline constexpr int Image3 = 201;        // slide
inline constexpr int ProgressBar1 = 202;  // 0..100

// Developer tools (hidden, except Button7 outside the client area).
inline constexpr int Memo1 = 300;
inline constexpr int Button1 = 301;
inline constexpr int Button2 = 302;
inline constexpr int Button3 = 303;
inline constexpr int Button4 = 304;
inline constexpr int Button5 = 305;
inline constexpr int Button6 = 306;
inline constexpr int Button7 = 307;
inline constexpr int Button8 = 308;
inline constexpr int Button9 = 309;
inline constexpr int Button10 = 310;

}  // namespace vexa::ids
