#pragma once
// Registry access through the wide API; key paths, value names and string
// values cross it as code page 936 byte strings.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "win/winraii.h"

namespace vexa {

// A value that exists but is not a string, or a read that failed.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Opens root\path read-only; an invalid key when it cannot be opened.
win::UniqueKey OpenKeyReadOnly(HKEY root, const std::string& path);

// The string value name of key (REG_SZ or REG_EXPAND_SZ, unexpanded), up
// to its first zero; the empty string when the value does not exist.
// Raises ERegistryException for a value of another type or a failed read.
std::string ReadRegString(HKEY key, const std::string& name);

}  // namespace vexa
