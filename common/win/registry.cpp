#include "win/registry.h"

#include <vector>

namespace vexa::win {

UniqueKey OpenRegKey(HKEY root, const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return UniqueKey();
  return UniqueKey(key);
}

UniqueKey CreateRegKey(HKEY root, const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return UniqueKey();
  return UniqueKey(key);
}

namespace {

std::string Narrow(const std::wstring& w) {
  // Value names in messages are ASCII in this program; anything else shows as "?".
  std::string s;
  for (wchar_t c : w) s += (c > 0 && c < 0x80) ? static_cast<char>(c) : '?';
  return s;
}

bool Accepted(DWORD type, RegString kinds) {
  return type == REG_SZ || (kinds == RegString::PlainOrExpand && type == REG_EXPAND_SZ);
}

}  // namespace

std::optional<std::wstring> ReadRegString(HKEY key, const std::wstring& name, RegString kinds) {
  // The value may grow between the size query and the read: ask again then.
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (rc != ERROR_SUCCESS) throw ERegistryError("cannot read registry value \"" + Narrow(name) + "\"");
    if (!Accepted(type, kinds))
      throw ERegistryError("registry value \"" + Narrow(name) + "\" is not a string");
    // Whole characters, plus room for a terminator the stored data may lack.
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
    DWORD got = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
    rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (rc != ERROR_SUCCESS) throw ERegistryError("cannot read registry value \"" + Narrow(name) + "\"");
    if (!Accepted(type, kinds))
      throw ERegistryError("registry value \"" + Narrow(name) + "\" is not a string");
    std::wstring text(buf.data(), got / sizeof(wchar_t));
    const auto zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return text;
  }
  throw ERegistryError("registry value \"" + Narrow(name) + "\" keeps changing while it is read");
}

bool WriteRegString(HKEY key, const std::wstring& name, const std::wstring& value) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
         ERROR_SUCCESS;
}

}  // namespace vexa::win
