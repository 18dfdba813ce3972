#pragma once
// Errors raised by the Win32 layer's registry and COM steps. Callers that
// must stay silent catch them (or std::exception) where they decide.
#include <stdexcept>
#include <string>

namespace vexa::win {

// A registry value that exists but is not a string, or a read that failed.
class ERegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A COM object or one of its interfaces could not be obtained.
class EComError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vexa::win
