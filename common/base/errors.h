#pragma once
// The error kinds raised by the file, stream and codec operations. Callers
// that turn errors into booleans or message boxes catch these (or
// std::exception) at the one place where that translation belongs.
#include <stdexcept>
#include <string>

namespace vexa {

// Any failure of a stream, file or folder operation.
class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file or folder could not be opened or created.
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// Fewer bytes than needed could be read.
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// Fewer bytes than given could be written.
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// An input/output failure that is not a stream's, such as a folder that
// cannot be created.
class EInOutError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

}  // namespace vexa
