#pragma once
// Read-only access to the resources of the program's own module.
#include <cstdint>
#include <string>
#include <string_view>

#include "errors.h"
#include "streams.h"

namespace vexa {

// A resource of the given type and name is not in the program.
class EResNotFound : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// The bytes of the resource type/name (names as in resource_names.h) of the program's own module (names
// matched without regard to case). They stay valid for the whole run.
// Raises EResNotFound when there is no such resource.
std::string_view ResourceBytes(const wchar_t* type, const wchar_t* name);

// A stream over a resource, positioned at 0. Writing raises EWriteError.
class TResourceStream : public TStream {
 public:
  TResourceStream(const wchar_t* type, const wchar_t* name) : data_(ResourceBytes(type, name)) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

 private:
  std::string_view data_;
  std::size_t position_ = 0;
};

}  // namespace vexa
