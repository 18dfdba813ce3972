#pragma once
// The directory archive: one flat byte stream holding a folder tree as a
// sequence of records (folder path, name, kind, size, content). The packer
// writes the tree below a folder; the reader relocates it below a target by
// replacing the archive root (the first record's folder path).
#include <cstdint>
#include <string>

#include "streams.h"

namespace vexa {

constexpr std::int32_t kKindFile = 0;
constexpr std::int32_t kKindDirectory = 1;

// One record header in memory.
class TDirDataHead {
 public:
  std::string FolderPath;
  std::string Name;
  std::int32_t Kind = 0;
  std::int32_t Size = 0;
};

// A forward-only source of archive bytes. The reader needs nothing else, so
// an inflater can feed it directly; Remaining() is -1 when not known.
class TArchiveSource {
 public:
  virtual ~TArchiveSource() = default;
  // Up to count bytes; fewer only at the end of the data.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::int64_t Remaining() = 0;
};

// An archive source over a seekable stream, from its current position.
class TStreamSource : public TArchiveSource {
 public:
  explicit TStreamSource(TStream& stream);
  std::size_t Read(void* buffer, std::size_t count) override;
  std::int64_t Remaining() override;

 private:
  TStream& stream_;
  std::int64_t size_;
};

// Raised by the reader for malformed data; its text says what and where.
class EArchiveError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// Length then bytes; no bytes for an empty string.
void WriteStr(TStream& stream, const std::string& s);
// Reads a length and that many bytes into s (s untouched for length 0).
// Raises EArchiveError for a negative length or one longer than what
// remains; nothing is allocated beyond the bytes actually read.
void ReadStr(TArchiveSource& source, std::string& s);
void WriteHead(const TDirDataHead& head, TStream& stream);
// Replaces every field of head. Returns false at a clean end of the data
// (no byte left before the header); raises EArchiveError when a header is
// cut short.
bool ReadHead(TDirDataHead& head, TArchiveSource& source);

class TDirectoryData {
 public:
  explicit TDirectoryData(TStream& stream) : FStream(stream) {}
  virtual ~TDirectoryData() = default;
  TDirectoryData(const TDirectoryData&) = delete;
  TDirectoryData& operator=(const TDirectoryData&) = delete;

  // Appends the records of the tree below folder at the stream's position.
  // A missing folder writes nothing. Raises when a file cannot be opened or
  // read, or is 2 GiB or more (its size cannot be stored).
  void PackFolder(const std::string& folder);
  // The same, but the records name stored in place of folder: the tree is
  // read from folder and recorded as if it stood at stored.
  void PackFolderAs(const std::string& folder, const std::string& stored);

  // Reads the whole stream from its start and creates the tree below target.
  // True when every record was processed; false at the first failure, with
  // what came before left in place. Never raises. LastError() then says why.
  bool ExtractTo(const std::string& target);

  // The same over a forward-only source.
  bool ExtractFrom(TArchiveSource& source, const std::string& target);

  // Why the last ExtractTo returned false ("" after success).
  const std::string& LastError() const { return FLastError; }

 private:
  TStream& FStream;
  std::string FLastError;
};

}  // namespace vexa
