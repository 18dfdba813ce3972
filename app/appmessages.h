#pragma once
// The installer window's private messages. Each is posted (never sent) to
// the main window's handle, never to a thread: a modal loop such as a
// message box would drop thread messages.
#include <windows.h>

namespace vexa {

// Posted by the install worker after the user dismissed its failed-unpack
// notice; handled by TForm1::WMInstallAbort, which ends the program.
// wParam and lParam are 0. The value is fixed: WM_USER + 105 = 1129.
inline constexpr UINT WM_INSTALLABORT = WM_USER + 105;

// The install worker's effects on the window, posted in this order so the
// window thread applies them in it; each is handled by TForm1::WorkerMessage.
// The payload resource is open: Timer1 starts (wParam, lParam 0).
inline constexpr UINT WM_INSTALLTIMERON = WM_USER + 110;
// The progress bar goes to wParam (100 once the unpack is complete).
inline constexpr UINT WM_INSTALLPROGRESS = WM_USER + 111;
// The installation is complete: the caption becomes "安装完成", which the
// timer's next tick acts on (wParam, lParam 0).
inline constexpr UINT WM_INSTALLDONE = WM_USER + 112;

}  // namespace vexa
