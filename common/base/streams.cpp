#include "streams.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vexa {

namespace {
constexpr std::size_t kCopyBuffer = 64 * 1024;
}

std::int64_t TStream::Size() {
  const std::int64_t here = Position();
  const std::int64_t end = Seek(0, SeekOrigin::End);
  Seek(here, SeekOrigin::Begin);
  return end;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buffer(static_cast<std::size_t>(std::min<std::int64_t>(count, kCopyBuffer)));
  std::int64_t left = count;
  while (left > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, kCopyBuffer));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= static_cast<std::int64_t>(n);
  }
  return count;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= data_.size()) return 0;
  const std::size_t n = std::min(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (position_ > data_.size()) data_.resize(position_);
  const std::size_t overlap = std::min(count, data_.size() - position_);
  std::memcpy(&data_[position_], buffer, overlap);
  data_.append(static_cast<const char*>(buffer) + overlap, count - overlap);
  position_ += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(data_.size());
  const std::int64_t target = base + offset;
  if (target < 0) throw EStreamError("Stream seek before its start");
  position_ = static_cast<std::size_t>(target);
  return target;
}

void TMemoryStream::Clear() {
  std::string().swap(data_);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream file(path, fsys::OpenMode::ReadShared);
  Clear();
  const std::int64_t size = file.Size();
  data_.resize(static_cast<std::size_t>(size));
  file.ReadBuffer(data_.data(), data_.size());
}

void TMemoryStream::SaveToFile(const std::string& path) {
  TFileStream file(path, fsys::OpenMode::CreateAlways);
  file.WriteBuffer(data_.data(), data_.size());
}

std::string TMemoryStream::TakeBytes() {
  std::string out;
  out.swap(data_);
  position_ = 0;
  return out;
}

TFileStream::TFileStream(const std::string& path, fsys::OpenMode mode) : file_(path, mode) {}

std::size_t TFileStream::Read(void* buffer, std::size_t count) { return file_.Read(buffer, count); }

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  file_.Write(buffer, count);
  return count;
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  return file_.Seek(offset, static_cast<int>(origin));
}

std::int64_t TFileStream::Size() { return file_.Size(); }

}  // namespace vexa
