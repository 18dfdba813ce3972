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

}  // namespace vexa
