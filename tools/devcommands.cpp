// The material, text and update sub-commands of vexapack, over the same
// functions the window's developer tools call.
#include "devcommands.h"

#include <cstdio>
#include <iostream>
#include <map>
#include <stdexcept>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "fsys.h"
#include "material.h"
#include "streams.h"
#include "updatefile.h"
#include "uzrcommon.h"

namespace {

using Args = std::vector<std::string>;

constexpr const char* kMaterialUsage =
    "usage:\n"
    "  vexapack material encode FOLDER OUT [--root ROOT]\n"
    "  vexapack material decode IN TARGET\n";
constexpr const char* kTextUsage =
    "usage:\n"
    "  vexapack text encode  < TEXT > MEMO\n"
    "  vexapack text decode  < MEMO > TEXT\n";
constexpr const char* kUpdateUsage =
    "usage:\n"
    "  vexapack update encode IN... --out FOLDER\n"
    "  vexapack update decode IN... --out FOLDER\n";

// Exit status 1 with this text.
struct Failure {
  std::string text;
};
struct UsageError {};

// Positional words, and the values of the options named in takes.
struct Parsed {
  Args words;
  std::map<std::string, std::string> values;
};

Parsed Parse(const Args& args, std::size_t first, const std::vector<std::string>& takes) {
  Parsed p;
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      const std::string name = a.substr(2);
      bool known = false;
      for (const std::string& t : takes) known = known || t == name;
      if (!known || i + 1 >= args.size() || p.values.count(name)) throw UsageError{};
      p.values[name] = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError{};
    } else {
      p.words.push_back(a);
    }
  }
  return p;
}

// Runs body, turning its failures into the exit status and one line.
template <typename Body>
int Guarded(const char* usage, Body body) {
  try {
    body();
    return 0;
  } catch (const UsageError&) {
    std::cerr << usage;
    return 2;
  } catch (const Failure& f) {
    std::cerr << "vexapack: " << f.text << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "vexapack: " << e.what() << "\n";
    return 1;
  }
}

// Writes bytes to path whole; a failed write leaves no partial file.
void SaveWhole(const std::string& path, std::string bytes) {
  try {
    vexa::TStringStream s(std::move(bytes));
    s.SaveToFile(path);
  } catch (const std::exception& e) {
    vexa::fsys::DeleteFileAt(path);
    throw Failure{e.what()};
  }
}

void MaterialEncode(const Args& args) {
  const Parsed p = Parse(args, 1, {"root"});
  if (p.words.size() != 2) throw UsageError{};
  const std::string& folder = p.words[0];
  const std::string& out = p.words[1];
  if (!vexa::fsys::DirectoryExists(folder)) throw Failure{folder + ": no such folder"};
  const auto root = p.values.find("root");
  std::string text, why;
  if (!vexa::PackMaterial(folder, root == p.values.end() ? folder : root->second, text, &why))
    throw Failure{folder + ": cannot be packed: " + why};
  SaveWhole(out, std::move(text));
}

void MaterialDecode(const Args& args) {
  const Parsed p = Parse(args, 1, {});
  if (p.words.size() != 2) throw UsageError{};
  vexa::ReadMaterialFile(p.words[0], p.words[1]);
}

void SetBinary() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

std::string ReadStandardInput() {
  std::string all;
  char buffer[64 * 1024];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) all.append(buffer, got);
  if (std::ferror(stdin)) throw Failure{"standard input: cannot be read"};
  return all;
}

void WriteStandardOutput(const std::string& bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
    throw Failure{"standard output: cannot be written"};
}

// The folder that receives one run's outputs, created (one level) when
// missing.
void PrepareOutputFolder(const std::string& folder) {
  if (vexa::fsys::DirectoryExists(folder)) return;
  if (!vexa::fsys::CreateDir(folder))
    throw Failure{folder + ": cannot create the output folder: " + vexa::fsys::LastErrorText()};
}

}  // namespace

int RunMaterialCommand(const Args& args) {
  return Guarded(kMaterialUsage, [&] {
    if (args.empty()) throw UsageError{};
    if (args[0] == "encode") return MaterialEncode(args);
    if (args[0] == "decode") return MaterialDecode(args);
    throw UsageError{};
  });
}

int RunTextCommand(const Args& args) {
  return Guarded(kTextUsage, [&] {
    if (args.size() != 1 || (args[0] != "encode" && args[0] != "decode")) throw UsageError{};
    SetBinary();
    const std::string in = ReadStandardInput();
    if (args[0] == "encode") return WriteStandardOutput(vexa::EncodeMemoText(in));
    std::string text;
    try {
      text = vexa::DecodeMemoText(in);
    } catch (const vexa::EZDecompressionError& e) {
      throw Failure{std::string("standard input: not a memo text (its Base64 text is not a zlib stream: ") +
                    e.what() + ")"};
    }
    WriteStandardOutput(text);
  });
}

int RunUpdateCommand(const Args& args) {
  return Guarded(kUpdateUsage, [&] {
    if (args.empty() || (args[0] != "encode" && args[0] != "decode")) throw UsageError{};
    const bool encode = args[0] == "encode";
    const Parsed p = Parse(args, 1, {"out"});
    const auto out = p.values.find("out");
    if (p.words.empty() || out == p.values.end()) throw UsageError{};
    PrepareOutputFolder(out->second);
    // In the order given; the first failure ends the run, and what was
    // written before it stays.
    for (const std::string& input : p.words) {
      if (vexa::fsys::DirectoryExists(input)) throw Failure{input + ": is a folder, not a file"};
      const std::string output = vexa::UpdateOutputPath(out->second, input);
      if (encode)
        vexa::EncodeUpdateFile(input, output);
      else
        vexa::DecodeUpdateFile(input, output);
    }
  });
}
