// A stand-in for the previous installation's COM component: its
// DllUnregisterServer writes the process's current folder (UTF-16, no
// terminator) to "unregistered.txt" beside the DLL, so a test can see that
// it ran and in which folder. No C++ runtime, so it loads anywhere.
#include <windows.h>

extern "C" HRESULT __stdcall DllUnregisterServer() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&DllUnregisterServer), &self))
    return E_FAIL;
  wchar_t path[MAX_PATH + 32];
  DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return E_FAIL;
  while (n > 0 && path[n - 1] != L'\\') --n;
  lstrcpyW(path + n, L"unregistered.txt");

  wchar_t current[MAX_PATH + 1];
  const DWORD len = GetCurrentDirectoryW(MAX_PATH + 1, current);
  if (len == 0 || len > MAX_PATH) return E_FAIL;
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return E_FAIL;
  DWORD written = 0;
  WriteFile(file, current, len * sizeof(wchar_t), &written, nullptr);
  CloseHandle(file);
  return S_OK;
}
