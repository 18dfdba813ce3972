#pragma once
// The material tools' pipelines: a folder tree packed into the payload form
// (a zlib stream of its directory archive), that payload as Base64 text in a
// material file, and memo texts compressed and Base64-encoded. The window's
// tool buttons and vexapack call the same functions.
#include <string>

#include "errors.h"

namespace vexa {

// A material file or memo text whose bytes do not inflate, or whose tree
// could not be written out. The text names the file where there is one.
class EMaterialError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// The payload form of folder: its directory archive, the top-level records
// stored under the folder path root (the folder itself for the window's
// tools), deflated as one zlib stream. False when packing fails (a file that
// cannot be read, one of 2 GiB or more); why then says which and why, and
// payload is left alone.
bool PackPayload(const std::string& folder, const std::string& root, std::string& payload,
                 std::string* why = nullptr);

// The Base64 text (76-character CR LF lines) of folder's payload form.
bool PackMaterial(const std::string& folder, const std::string& root, std::string& text,
                  std::string* why = nullptr);

// Writes the material text of folder to out, byte for byte with nothing
// added. False when packing fails: nothing is written then. A file that
// cannot be written raises (EFOpenError/EWriteError naming it).
bool WriteMaterialFile(const std::string& folder, const std::string& out, const std::string& root,
                       std::string* why = nullptr);

// The Base64-decoded bytes of a whole material file. Raises EFOpenError when
// it cannot be read.
std::string ReadMaterialBytes(const std::string& path);

// Inflates decoded, which must be one zlib stream, and unpacks the archive
// it holds under target. Nothing is written when decoded does not inflate:
// EZDecompressionError is raised first. target is created (one level) when
// missing; EInOutError when that fails. Returns whether the whole tree was
// written; why then says what stopped it.
bool UnpackMaterial(const std::string& decoded, const std::string& target, std::string* why = nullptr);

// ReadMaterialBytes then UnpackMaterial, with every failure, an incomplete
// tree included, raised as EMaterialError naming path.
void ReadMaterialFile(const std::string& path, const std::string& target);

// The memo form of text: Base64 (76-character CR LF lines) of its zlib stream.
std::string EncodeMemoText(const std::string& text);
// The text a memo form holds. Raises EZDecompressionError when the decoded
// bytes are not one whole zlib stream; no partial text is returned.
std::string DecodeMemoText(const std::string& base64);

}  // namespace vexa
