// vexapack: the payload formats from the command line, for packaging from
// any machine and for the build, which packs the sample client with it.
//
// Exit status: 0 success; 1 with one line on standard error naming the file
// and what was wrong; 2 for a usage error. Output files are written only
// once their whole content is known, so a failure leaves nothing behind.
#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli.h"
#include "codepage.h"
#include "devcommands.h"
#include "fsys.h"
#include "udirectory.h"
#include "uzrcommon.h"

namespace {

using namespace vexapack;

constexpr const char* kUsage =
    "usage:\n"
    "  vexapack pack FOLDER OUT [--root ROOT] [--raw]\n"
    "  vexapack unpack IN TARGET [--raw]\n"
    "  vexapack list IN [--raw]\n"
    "  vexapack material encode FOLDER OUT [--root ROOT]\n"
    "  vexapack material decode IN TARGET\n"
    "  vexapack text encode|decode  (standard input to standard output)\n"
    "  vexapack update encode|decode IN... --out FOLDER\n";

// The archive bytes of IN: inflated unless raw.
std::string LoadArchive(const std::string& in, bool raw) {
  vexa::TMemoryStream file;
  try {
    file.LoadFromFile(in);
  } catch (const std::exception& e) {
    throw Failure{e.what()};
  }
  if (raw) return file.TakeBytes();
  vexa::TStringStream archive;
  try {
    vexa::DecompressStream(file, archive);
  } catch (const vexa::EZDecompressionError& e) {
    throw Failure{in + ": not a valid zlib stream: " + e.what()};
  }
  return archive.TakeBytes();
}

int Pack(const Args& args) {
  const Parsed p = Parse(args, 0, {"root"}, {"raw"});
  if (p.words.size() != 2) throw UsageError{};
  const std::string& folder = p.words[0];
  const std::string& out = p.words[1];
  if (!vexa::fsys::DirectoryExists(folder)) throw Failure{folder + ": no such folder"};
  const auto root = p.values.find("root");
  vexa::TStringStream archive;
  try {
    vexa::TDirectoryData data(archive);
    data.PackFolderAs(folder, root == p.values.end() ? folder : root->second);
  } catch (const std::exception& e) {
    throw Failure{e.what()};
  }
  if (p.Has("raw")) {
    SaveWhole(out, archive.DataString());
  } else {
    vexa::TStringStream compressed;
    vexa::CompressStream(archive, compressed);
    SaveWhole(out, compressed.DataString());
  }
  return 0;
}

int Unpack(const Args& args) {
  const Parsed p = Parse(args, 0, {}, {"raw"});
  if (p.words.size() != 2) throw UsageError{};
  const std::string& in = p.words[0];
  const std::string& target = p.words[1];
  vexa::TStringStream archive(LoadArchive(in, p.Has("raw")));
  std::string why;
  bool ok;
  try {
    ok = vexa::UnpackDirectory(target, archive, &why);
  } catch (const std::exception& e) {
    throw Failure{e.what()};
  }
  if (!ok) throw Failure{in + ": " + why};
  return 0;
}

int List(const Args& args) {
  const Parsed p = Parse(args, 0, {}, {"raw"});
  if (p.words.size() != 1) throw UsageError{};
  const std::string& in = p.words[0];
  vexa::TStringStream archive(LoadArchive(in, p.Has("raw")));
  vexa::TStreamSource source(archive);
  vexa::TDirDataHead head;
  std::string listing;
  for (long record = 1;; ++record) {
    try {
      if (!vexa::ReadHead(head, source)) break;
    } catch (const vexa::EArchiveError& e) {
      throw Failure{in + ": " + e.what() + " at record " + std::to_string(record)};
    }
    std::string kind = head.Kind == vexa::kKindFile        ? "F"
                       : head.Kind == vexa::kKindDirectory ? "D"
                                                           : "?" + std::to_string(head.Kind);
    const std::int64_t size = head.Kind == vexa::kKindFile ? head.Size : 0;
    if (head.Kind == vexa::kKindFile) {
      if (head.Size < 0 || head.Size > source.Remaining())
        throw Failure{in + ": truncated archive in the content of record " + std::to_string(record)};
      archive.Seek(head.Size, vexa::SeekOrigin::Current);
    }
    listing += kind + "\t" + std::to_string(size) + "\t" + head.FolderPath + "\\" + head.Name + "\n";
  }
  std::fwrite(listing.data(), 1, listing.size(), stdout);
  return 0;
}

const std::map<std::string, std::function<int(const Args&)>>& Commands() {
  static const std::map<std::string, std::function<int(const Args&)>> commands = {
      {"pack", Pack},
      {"unpack", Unpack},
      {"list", List},
      {"material", RunMaterialCommand},
      {"text", RunTextCommand},
      {"update", RunUpdateCommand},
  };
  return commands;
}

}  // namespace

namespace {
int Run(const Args& all) {
  if (all.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  const auto command = Commands().find(all[0]);
  if (command == Commands().end()) {
    std::cerr << "vexapack: unknown command \"" << all[0] << "\"\n" << kUsage;
    return 2;
  }
  int status = 0;
  const int failed = Guarded(kUsage, [&] { status = command->second(Args(all.begin() + 1, all.end())); });
  return failed != 0 ? failed : status;
}

}  // namespace

#ifdef _WIN32
// Arguments arrive as UTF-16 and become code page 936 here, whatever the
// system's ANSI code page is.
int wmain(int argc, wchar_t** argv) {
  // Listings and decoded texts are bytes: no CR is added before LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  Args all;
  for (int i = 1; i < argc; ++i) all.push_back(vexa::WideToCp936(argv[i]));
  return Run(all);
}
#else
// Host arguments are UTF-8; inside, paths are code page 936 like the names
// the file-system seam hands back.
int main(int argc, char** argv) {
  Args all;
  for (int i = 1; i < argc; ++i) all.push_back(vexa::Utf8ToCp936(argv[i]));
  return Run(all);
}
#endif
