// The parts of the file object that are the same on every platform: its
// handle value -1 means "no file" for a POSIX descriptor and for a Win32
// handle (INVALID_HANDLE_VALUE) alike; only Close knows which it is.
#include "fsys.h"

#include <utility>

namespace vexa::fsys {

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) { other.handle_ = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    path_ = std::move(other.path_);
    other.handle_ = -1;
  }
  return *this;
}

}  // namespace vexa::fsys
