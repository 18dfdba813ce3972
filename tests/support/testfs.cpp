#include "testfs.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "fsys.h"
#include "streams.h"

#ifdef _WIN32
#include <windows.h>

#include "codepage.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vexa::test {

char Sep() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

namespace {
std::string SystemTemp() {
#ifdef _WIN32
  wchar_t buf[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  std::string t = WideToCp936(std::wstring(buf, n));
  while (!t.empty() && t.back() == '\\') t.pop_back();
  return t;
#else
  const char* t = std::getenv("TMPDIR");
  return t && *t ? t : "/tmp";
#endif
}

int ProcessId() {
#ifdef _WIN32
  return static_cast<int>(GetCurrentProcessId());
#else
  return static_cast<int>(getpid());
#endif
}
}  // namespace

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const std::string base = SystemTemp();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string p = base + Sep() + "vexa-test-" + std::to_string(ProcessId()) + "-" +
                          std::to_string(counter++);
    if (fsys::CreateDir(p)) {
      path_ = p;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder below " + base);
}

TempDir::~TempDir() { RemoveAll(path_); }

std::string TempDir::operator/(const std::string& relative) const {
  std::string r = relative;
  std::replace(r.begin(), r.end(), '\\', Sep());
  return path_ + Sep() + r;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  TFileStream f(path, fsys::OpenMode::CreateAlways);
  f.WriteBuffer(bytes.data(), bytes.size());
}

std::string ReadBytes(const std::string& path) {
  TMemoryStream m;
  m.LoadFromFile(path);
  return m.Bytes();
}

void MakeDirs(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (!part.empty() && part.back() != ':' && !fsys::DirectoryExists(part)) fsys::CreateDir(part);
    }
  }
}

void SetReadOnly(const std::string& path, bool read_only) {
#ifdef _WIN32
  const std::wstring w = Cp936ToWide(path);
  DWORD a = GetFileAttributesW(w.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  a = read_only ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(w.c_str(), a);
#else
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  struct stat st;
  if (stat(p.c_str(), &st) != 0) return;
  chmod(p.c_str(), read_only ? (st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (st.st_mode | S_IWUSR));
#endif
}

void RemoveAll(const std::string& path) {
  const auto a = fsys::GetAttributes(path);
  if (!a) return;
  if (*a & fsys::kReadOnly) SetReadOnly(path, false);
  // A link to a folder goes as a link; what it points at is not ours.
  if ((*a & fsys::kDirectory) && !(*a & fsys::kReparsePoint)) {
    std::vector<fsys::DirEntry> entries;
    fsys::ListFolder(path, entries);
    for (const auto& e : entries) RemoveAll(path + Sep() + e.name);
    fsys::RemoveDir(path);
  } else if (*a & fsys::kDirectory) {
    fsys::RemoveDir(path);
  } else {
#ifdef _WIN32
    SetFileAttributesW(Cp936ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
    fsys::DeleteFileAt(path);
  }
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string FromHex(const std::string& hex) {
  std::string out;
  int nibbles = 0, value = 0;
  for (char c : hex) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else continue;
    value = value * 16 + v;
    if (++nibbles == 2) {
      out += static_cast<char>(value);
      nibbles = value = 0;
    }
  }
  return out;
}

namespace {
// rel uses "/" whatever the platform, so snapshots compare across builds.
void SnapshotInto(const std::string& root, const std::string& rel,
                  std::vector<std::pair<std::string, std::string>>& out) {
  std::string native = rel;
  std::replace(native.begin(), native.end(), '/', Sep());
  const std::string folder = rel.empty() ? root : root + Sep() + native;
  std::vector<fsys::DirEntry> entries;
  fsys::ListFolder(folder, entries);
  for (const auto& e : entries) {
    const std::string r = rel.empty() ? e.name : rel + "/" + e.name;
    if (e.attributes & fsys::kDirectory) {
      out.push_back({r, "<dir>"});
      SnapshotInto(root, r, out);
    } else {
      out.push_back({r, ReadBytes(folder + Sep() + e.name)});
    }
  }
}
}  // namespace

std::vector<std::pair<std::string, std::string>> Snapshot(const std::string& root) {
  std::vector<std::pair<std::string, std::string>> out;
  SnapshotInto(root, "", out);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace vexa::test
