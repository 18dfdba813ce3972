// The installer's program entry: the thread locale, the one main window
// Form1 and the message loop. The program takes no arguments.
#include <windows.h>
#include <commctrl.h>

#include "picture.h"
#include "uformresource.h"
#include "win/winraii.h"

namespace {

// Chinese (PRC): the messages and texts of the window are in its code page.
constexpr LCID kChinesePrc = 2052;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (GetThreadLocale() != kChinesePrc) SetThreadLocale(kChinesePrc);
  vexa::win::ComInit com;  // the window thread's COM: folder browser, shell
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  vexa::GdiplusSession gdiplus;

  vexa::TForm1 form(instance);
  vexa::Form1 = &form;
  int code = 1;
  if (form.Create()) {
    form.Show();
    code = form.Run();
  }
  vexa::Form1 = nullptr;
  return code;
}
