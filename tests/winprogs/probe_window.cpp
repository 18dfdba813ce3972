// A windowed probe for the launch tests. It pauses briefly (so a caller that
// did not wait for it would look too early), creates and shows a window,
// writes what it saw beside itself, and then pumps messages until the window
// is closed. Its first wait for a message is what a wait for input idle
// returns on, so a caller that waited finds the report already written.
#include <windows.h>

#include "probe_report.h"

namespace {
LRESULT CALLBACK ProbeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  Sleep(300);
  WNDCLASSW cls{};
  cls.lpfnWndProc = ProbeProc;
  cls.hInstance = instance;
  cls.lpszClassName = L"VexaLaunchProbe";
  RegisterClassW(&cls);
  HWND wnd = CreateWindowExW(0, cls.lpszClassName, L"launch probe", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, 200, 100, nullptr, nullptr, instance, nullptr);
  const char* kind = "top-level";
  if (wnd) {
    ShowWindow(wnd, show);
  } else {
    // Without a display (Wine with no X server) only a message-only window
    // can be made; the message loop below is what matters for idleness.
    wnd = CreateWindowExW(0, cls.lpszClassName, L"launch probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                          nullptr);
    kind = wnd ? "message-only" : "none";
  }
  vexa::probe::WriteReport(std::string("window=") + kind);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
