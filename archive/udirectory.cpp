#include "udirectory.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "codepage.h"
#include "fsys.h"

namespace vexa {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::int64_t kMaxStoredSize = 0x7FFFFFFF;

void WriteInt(TStream& stream, std::int32_t v) {
  const std::uint32_t u = static_cast<std::uint32_t>(v);
  const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                              static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  stream.WriteBuffer(b, 4);
}

// Reads all of count bytes; false when the data ends first (got says how
// many arrived).
bool ReadFully(TArchiveSource& source, void* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  while (got < count) {
    const std::size_t n = source.Read(static_cast<char*>(buffer) + got, count - got);
    if (n == 0) return false;
    got += n;
  }
  return true;
}

std::int32_t Int32Of(const unsigned char* b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                   static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

std::int32_t ReadInt(TArchiveSource& source, const char* what) {
  unsigned char b[4];
  std::size_t got;
  if (!ReadFully(source, b, 4, got)) throw EArchiveError(std::string("truncated archive in the ") + what);
  return Int32Of(b);
}

// Walks s character by character (a double-byte character of code page 936
// is one step), calling f(offset, length) for each.
template <typename F>
void ForEachChar(const std::string& s, F f) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t len = IsCp936LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    f(i, len);
    i += len;
  }
}

// Splits at "\" and "/" that are characters of their own (never a trail byte).
std::vector<std::string> SplitPath(const std::string& s) {
  std::vector<std::string> parts(1);
  ForEachChar(s, [&](std::size_t i, std::size_t len) {
    if (len == 1 && (s[i] == '\\' || s[i] == '/')) parts.emplace_back();
    else parts.back().append(s, i, len);
  });
  return parts;
}

bool HasChar(const std::string& s, const char* set) {
  bool found = false;
  ForEachChar(s, [&](std::size_t i, std::size_t len) {
    if (len == 1 && std::strchr(set, s[i]) != nullptr) found = true;
  });
  return found;
}

// A Name must be one path component that stays where it is put.
bool IsSafeName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && !HasChar(name, "\\/:");
}

// The folder path must start with the archive root, and what follows it
// must not climb out or name another drive or stream.
bool StaysBelowRoot(const std::string& folder_path, const std::string& root) {
  if (root.empty() || folder_path.size() < root.size()) return false;
  if (UpperAscii936(folder_path.substr(0, root.size())) != UpperAscii936(root)) return false;
  const std::string rest = folder_path.substr(root.size());
  if (HasChar(rest, ":")) return false;
  for (const std::string& part : SplitPath(rest))
    if (part == "..") return false;
  return true;
}

// Every occurrence of root, found without regard to ASCII case and only at
// character boundaries, replaced by target.
std::string Relocate(const std::string& folder_path, const std::string& root, const std::string& target) {
  const std::string upper = UpperAscii936(folder_path), uroot = UpperAscii936(root);
  std::string out;
  std::size_t skip_until = 0;
  ForEachChar(folder_path, [&](std::size_t i, std::size_t len) {
    if (i < skip_until) return;
    if (!uroot.empty() && upper.compare(i, uroot.size(), uroot) == 0) {
      out += target;
      skip_until = i + uroot.size();
    } else {
      out.append(folder_path, i, len);
    }
  });
  return out;
}

std::string RecordText(long record) { return "record " + std::to_string(record); }

}  // namespace

void WriteStr(TStream& stream, const std::string& s) {
  if (s.size() > static_cast<std::size_t>(kMaxStoredSize)) throw EArchiveError("string too long for the archive");
  WriteInt(stream, static_cast<std::int32_t>(s.size()));
  if (!s.empty()) stream.WriteBuffer(s.data(), s.size());
}

namespace {
// The bytes of a text field whose length was already read. Grows with what
// actually arrives, so a lying length allocates nothing.
void ReadStrBody(TArchiveSource& source, std::int32_t len, std::string& s) {
  if (len < 0) throw EArchiveError("negative length of a text field");
  if (len == 0) return;
  const std::int64_t remaining = source.Remaining();
  if (remaining >= 0 && len > remaining) throw EArchiveError("truncated archive in a text field");
  std::string value;
  std::size_t left = static_cast<std::size_t>(len);
  char buffer[4096];
  while (left > 0) {
    std::size_t got;
    if (!ReadFully(source, buffer, std::min(left, sizeof buffer), got))
      throw EArchiveError("truncated archive in a text field");
    value.append(buffer, got);
    left -= got;
  }
  s = std::move(value);
}

}  // namespace

void ReadStr(TArchiveSource& source, std::string& s) {
  ReadStrBody(source, ReadInt(source, "length of a text field"), s);
}

void WriteHead(const TDirDataHead& head, TStream& stream) {
  WriteStr(stream, head.FolderPath);
  WriteStr(stream, head.Name);
  WriteInt(stream, head.Kind);
  WriteInt(stream, head.Size);
}

bool ReadHead(TDirDataHead& head, TArchiveSource& source) {
  // A clean end is an end before the first byte of a header.
  unsigned char length[4];
  std::size_t got;
  if (!ReadFully(source, length, 1, got)) return false;
  if (!ReadFully(source, length + 1, 3, got)) throw EArchiveError("truncated archive in the length of a text field");
  std::string folder_path, name;
  ReadStrBody(source, Int32Of(length), folder_path);
  ReadStr(source, name);
  head.FolderPath = std::move(folder_path);
  head.Name = std::move(name);
  head.Kind = ReadInt(source, "kind of a record");
  head.Size = ReadInt(source, "size of a record");
  return true;
}

TStreamSource::TStreamSource(TStream& stream) : stream_(stream), size_(stream.Size()) {}

std::size_t TStreamSource::Read(void* buffer, std::size_t count) { return stream_.Read(buffer, count); }

std::int64_t TStreamSource::Remaining() { return std::max<std::int64_t>(0, size_ - stream_.Position()); }

void TDirectoryData::PackFolder(const std::string& folder) { PackFolderAs(folder, folder); }

void TDirectoryData::PackFolderAs(const std::string& folder, const std::string& stored) {
  std::vector<fsys::DirEntry> entries;
  if (!fsys::ListFolder(folder, entries)) return;
  TDirDataHead head;
  head.FolderPath = stored;
  std::vector<char> buffer;
  for (const fsys::DirEntry& entry : entries) {
    head.Name = entry.name;
    const std::string path = folder + "\\" + entry.name;
    if (!(entry.attributes & fsys::kDirectory)) {
      TFileStream file(path, fsys::OpenMode::ReadShared);
      const std::int64_t size = file.Size();
      if (size > kMaxStoredSize)
        throw EArchiveError("file \"" + path + "\" is 2 GiB or larger and cannot be stored");
      head.Kind = kKindFile;
      head.Size = static_cast<std::int32_t>(size);
      WriteHead(head, FStream);
      if (size != 0) FStream.CopyFrom(file, size);
    } else {
      head.Kind = kKindDirectory;
      head.Size = 0;
      WriteHead(head, FStream);
      PackFolderAs(path, stored + "\\" + entry.name);
    }
  }
}

bool TDirectoryData::ExtractTo(const std::string& target) {
  try {
    FStream.SetPosition(0);
    TStreamSource source(FStream);
    return ExtractFrom(source, target);
  } catch (const std::exception& e) {
    FLastError = e.what();
    return false;
  }
}

bool TDirectoryData::ExtractFrom(TArchiveSource& source, const std::string& target) {
  FLastError.clear();
  long record = 0;
  try {
    TDirDataHead head;
    std::string root;
    std::vector<char> buffer;
    while (true) {
      ++record;
      try {
        if (!ReadHead(head, source)) break;
      } catch (const EArchiveError& e) {
        throw EArchiveError(std::string(e.what()) + " at " + RecordText(record));
      }
      if (root.empty()) root = head.FolderPath;
      if (head.Kind != kKindFile && head.Kind != kKindDirectory) continue;

      if (head.Kind == kKindDirectory && (head.Name.empty() || HasChar(head.Name, "?*")))
        throw EArchiveError(RecordText(record) + " has an invalid folder name");
      if (!StaysBelowRoot(head.FolderPath, root) || !IsSafeName(head.Name))
        throw EArchiveError(RecordText(record) + " leaves the target folder");
      const std::string dest = Relocate(head.FolderPath, root, target) + "\\" + head.Name;

      if (head.Kind == kKindDirectory) {
        if (!fsys::DirectoryExists(dest) && !fsys::CreateDir(dest))
          throw EInOutError("cannot create folder \"" + dest + "\": " + fsys::LastErrorText());
        continue;
      }
      if (head.Size < 0) throw EArchiveError(RecordText(record) + " has a negative size");
      const std::int64_t remaining = source.Remaining();
      if (remaining >= 0 && head.Size > remaining)
        throw EArchiveError("truncated archive in the content of " + RecordText(record));
      TFileStream file(dest, fsys::OpenMode::CreateAlways);
      buffer.resize(kChunk);
      std::size_t left = static_cast<std::size_t>(head.Size);
      while (left > 0) {
        std::size_t got;
        const bool whole = ReadFully(source, buffer.data(), std::min(left, kChunk), got);
        file.WriteBuffer(buffer.data(), got);
        if (!whole) throw EArchiveError("truncated archive in the content of " + RecordText(record));
        left -= got;
      }
    }
    return true;
  } catch (const std::exception& e) {
    FLastError = e.what();
    return false;
  }
}

}  // namespace vexa
