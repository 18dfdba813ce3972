// zrie.exe and zrerr.exe of the sample client: windowless helpers that do
// nothing but stay alive until someone ends them, so that the installer has
// running client processes to stop. Built twice from this one source.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  for (;;) Sleep(INFINITE);
}
