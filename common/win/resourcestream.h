#pragma once
// Read-only streams over the resources of the program's own module, and the
// one step built on them that several installer steps share: copying a
// resource out into a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "errors.h"
#include "streams.h"

namespace vexa::win {

// The program holds no resource of the type and name asked for.
class EResourceNotFound : public EFOpenError {
 public:
  using EFOpenError::EFOpenError;
};

// The bytes of the resource of type/name (code page 936 text; matched
// without regard to case, as Windows matches resource names) in the
// program's own module. They stay valid for the whole run. Raises
// EResourceNotFound naming both when there is no such resource.
std::string_view ResourceBytes(const std::string& type, const std::string& name);

// A stream over one such resource, positioned at 0. Writing raises
// EWriteError; a seek stops at the start and at the end, as the
// resource can neither grow nor shrink.
class TResourceStream : public TStream {
 public:
  // Raises EResourceNotFound as ResourceBytes does.
  TResourceStream(const std::string& type, const std::string& name) : data_(ResourceBytes(type, name)) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

 private:
  std::string_view data_;
  std::size_t position_ = 0;
};

// Writes the whole resource type/name to path (code page 936), replacing an
// existing file. Raises EResourceNotFound, or EFOpenError/EWriteError naming
// the path when the file cannot be written.
void SaveResourceToFile(const std::string& type, const std::string& name, const std::string& path);

}  // namespace vexa::win
