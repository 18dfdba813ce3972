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

#include "cli.h"
#include "fsys.h"
#include "material.h"
#include "streams.h"
#include "updatefile.h"
#include "uzrcommon.h"

namespace {

using namespace vexapack;

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
  SaveWhole(out, text);
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
