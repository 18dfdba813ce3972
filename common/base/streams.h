#pragma once
// Seekable byte streams: the memory, string and file streams that the
// archive, the codec and the tools pass around. A stream never owns another.
#include <cstddef>
#include <cstdint>
#include <string>

#include "errors.h"
#include "fsys.h"

namespace vexa {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to count bytes; fewer only at the end of the data.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes count bytes or raises EWriteError.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position and returns the new one.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  virtual std::int64_t Size();

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }

  // Reads exactly count bytes or raises EReadError.
  void ReadBuffer(void* buffer, std::size_t count);
  // Writes exactly count bytes or raises EWriteError.
  void WriteBuffer(const void* buffer, std::size_t count);
  // Copies count bytes from source's position through a bounded buffer;
  // a count of 0 copies source's whole content from its first byte.
  // Raises EReadError when source holds fewer bytes. Returns the count.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A growable in-memory byte buffer.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

  // Size 0, position 0, storage released.
  void Clear();
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);
  const std::string& Bytes() const { return data_; }
  // Hands the buffer over without a copy; the stream is left empty.
  std::string TakeBytes();

 protected:
  std::string data_;
  std::size_t position_ = 0;
};

// A memory stream over a byte string.
class TStringStream : public TMemoryStream {
 public:
  TStringStream() = default;
  explicit TStringStream(std::string data) { data_ = std::move(data); }
  const std::string& DataString() const { return data_; }
};

// A file on disk, in one of the two modes the system uses.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, fsys::OpenMode mode);
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override;

 private:
  fsys::File file_;
};

}  // namespace vexa
