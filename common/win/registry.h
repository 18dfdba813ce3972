#pragma once
// Registry keys and string values through the wide API. Key paths and value
// names are given as UTF-16; callers holding code page 936 text convert it
// with Cp936ToWide.
#include <windows.h>

#include <optional>
#include <string>

#include "win/winexcept.h"
#include "win/winraii.h"

namespace vexa::win {

// root\path opened with access; an invalid key when it cannot be opened.
UniqueKey OpenRegKey(HKEY root, const std::wstring& path, REGSAM access);
// root\path opened with access, created (with its missing parents) first
// when needed; an invalid key when neither works.
UniqueKey CreateRegKey(HKEY root, const std::wstring& path, REGSAM access);

// Which value types a string read accepts.
enum class RegString {
  PlainOnly,        // REG_SZ
  PlainOrExpand,    // REG_SZ or REG_EXPAND_SZ (returned unexpanded)
};

// The string value name of key, up to its first zero (stored data without a
// terminating zero is read whole). Nothing when the value does not exist.
// Raises ERegistryError for a value of a type kinds does not accept, and for
// a read that fails otherwise.
std::optional<std::wstring> ReadRegString(HKEY key, const std::wstring& name, RegString kinds);

// Writes name := value as REG_SZ, stored with its terminating zero.
// False when the write fails.
bool WriteRegString(HKEY key, const std::wstring& name, const std::wstring& value);

}  // namespace vexa::win
