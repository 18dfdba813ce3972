#include "win/resourcestream.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "codepage.h"

namespace vexa::win {

std::string_view ResourceBytes(const std::string& type, const std::string& name) {
  const std::wstring wtype = Cp936ToWide(type), wname = Cp936ToWide(name);
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(self, wname.c_str(), wtype.c_str());
  HGLOBAL loaded = info ? LoadResource(self, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw EResourceNotFound("The program holds no resource \"" + name + "\" of type \"" + type + "\".");
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
  throw EWriteError("A resource stream cannot be written.");
}

std::int64_t TResourceStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(data_.size());
  const std::int64_t to = base + offset;
  const auto size = static_cast<std::int64_t>(data_.size());
  position_ = static_cast<std::size_t>(std::clamp<std::int64_t>(to, 0, size));
  return static_cast<std::int64_t>(position_);
}

void SaveResourceToFile(const std::string& type, const std::string& name, const std::string& path) {
  TResourceStream source(type, name);
  TFileStream file(path, fsys::OpenMode::CreateAlways);
  file.CopyFrom(source, 0);
}

}  // namespace vexa::win
