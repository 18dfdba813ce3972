#include "winregistry.h"

#include <vector>

#include "codepage.h"

namespace vexa {

win::UniqueKey OpenKeyReadOnly(HKEY root, const std::string& path) {
  win::UniqueKey key;
  if (RegOpenKeyExW(root, Cp936ToWide(path).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
    key.release();
  return key;
}

std::string ReadRegString(HKEY key, const std::string& name) {
  const std::wstring wname = Cp936ToWide(name);
  // The value may grow between the size query and the read: ask again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(key, wname.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return std::string();
    if (rc != ERROR_SUCCESS) throw ERegistryException("cannot read registry value " + name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
      throw ERegistryException("registry value " + name + " is not a string");
    // Room for a terminator the stored data may lack.
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
    DWORD got = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
    rc = RegQueryValueExW(key, wname.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(buf.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc == ERROR_FILE_NOT_FOUND) return std::string();
    if (rc != ERROR_SUCCESS) throw ERegistryException("cannot read registry value " + name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
      throw ERegistryException("registry value " + name + " is not a string");
    std::wstring text(buf.data(), got / sizeof(wchar_t));
    const auto zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return WideToCp936(text);
  }
  throw ERegistryException("registry value " + name + " keeps changing while it is read");
}

}  // namespace vexa
