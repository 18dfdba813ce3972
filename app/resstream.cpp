#include "resstream.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "codepage.h"

namespace vexa {

std::string_view ResourceBytes(const wchar_t* type, const wchar_t* name) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(self, name, type);
  HGLOBAL loaded = info ? LoadResource(self, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    throw EResNotFound("resource " + WideToCp936(name) + " of type " + WideToCp936(type) + " not found");
  return std::string_view(static_cast<const char*>(data), SizeofResource(self, info));
}

std::size_t TResourceStream::Read(void* buffer, std::size_t count) {
  if (position_ >= data_.size()) return 0;
  const std::size_t n = std::min(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TResourceStream::Write(const void*, std::size_t) {
  throw EWriteError("a resource stream cannot be written");
}

std::int64_t TResourceStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(data_.size());
  const std::int64_t to = base + offset;
  position_ = to < 0 ? 0 : static_cast<std::size_t>(to);
  return static_cast<std::int64_t>(position_);
}

}  // namespace vexa
