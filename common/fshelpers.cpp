#include "fshelpers.h"

#include "codepage.h"
#include "fsys.h"
#include "streams.h"

namespace vexa {

void DeleteTree(const std::string& folder) {
  if (folder.empty()) return;
  try {
    const std::string base = EndsWithBackslash936(folder) ? folder : folder + "\\";
    std::vector<fsys::DirEntry> entries;
    fsys::ListFolder(base, entries);
    for (const fsys::DirEntry& e : entries) {
      const std::string path = base + e.name;
      if (e.attributes & fsys::kDirectory) {
        // Descending through a folder link would delete what lies outside
        // the tree; the link itself is removed instead.
        if (e.attributes & fsys::kReparsePoint) fsys::RemoveDir(path);
        else DeleteTree(path);  // its own failures end only that subfolder
      } else {
        fsys::DeleteFileAt(path);  // read-only files stay; a failure is ignored
      }
    }
    fsys::RemoveDir(base);
  } catch (...) {
    // What was deleted stays deleted; the caller is promised silence.
  }
}

void SaveTextToFile(const std::string& text, const std::string& path) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  std::size_t i = 0;
  while (i < text.size()) {
    // Trail bytes of code page 936 are 0x40 and above, so CR and LF are
    // always whole characters.
    const std::size_t brk = text.find_first_of("\r\n", i);
    if (brk == std::string::npos) {
      out.append(text, i, std::string::npos);
      out += "\r\n";
      break;
    }
    out.append(text, i, brk - i);
    out += "\r\n";
    i = brk + ((text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? 2 : 1);
  }
  fsys::File file(path, fsys::OpenMode::CreateAlways);
  file.Write(out.data(), out.size());
}

void SaveWholeFile(const std::string& bytes, const std::string& path) {
  try {
    TFileStream file(path, fsys::OpenMode::CreateAlways);
    file.WriteBuffer(bytes.data(), bytes.size());
  } catch (...) {
    fsys::DeleteFileAt(path);
    throw;
  }
}

void ListFiles(const std::string& folder, std::vector<std::string>& list) {
  std::vector<fsys::DirEntry> entries;
  if (!fsys::ListFolder(folder, entries)) return;
  for (const fsys::DirEntry& e : entries) {
    if (e.attributes & (fsys::kHidden | fsys::kSystem | fsys::kVolumeLabel)) continue;
    if (e.attributes & fsys::kDirectory) ListFiles(folder + e.name + "\\", list);
    else list.push_back(folder + e.name);
  }
}

}  // namespace vexa
