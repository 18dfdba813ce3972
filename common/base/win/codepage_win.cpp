#include <windows.h>

#include "codepage.h"

namespace vexa {

std::wstring Cp936ToWide(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(936, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

std::string WideToCp936(const std::wstring& s, bool* lossy) {
  if (lossy) *lossy = false;
  if (s.empty()) return std::string();
  BOOL used_default = FALSE;
  const int n = WideCharToMultiByte(936, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(936, 0, s.data(), static_cast<int>(s.size()), out.data(), n, "?", &used_default);
  if (lossy) *lossy = used_default != FALSE;
  return out;
}

}  // namespace vexa
