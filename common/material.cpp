// Payload, material file and memo text pipelines over the archive, the zlib
// codec and Base64.
#include "material.h"

#include "base64.h"
#include "udirectory.h"
#include "uzrcommon.h"

namespace vexa {

bool PackPayload(const std::string& folder, const std::string& root, std::string& payload, std::string* why) {
  TStringStream archive;
  try {
    TDirectoryData data(archive);
    data.PackFolderAs(folder, root);
  } catch (const std::exception& e) {
    if (why) *why = e.what();
    return false;
  }
  TStringStream compressed;
  CompressStream(archive, compressed);
  payload = compressed.TakeBytes();
  return true;
}

bool PackMaterial(const std::string& folder, const std::string& root, std::string& text, std::string* why) {
  std::string payload;
  if (!PackPayload(folder, root, payload, why)) return false;
  text = EncodeBase64(payload);
  return true;
}

bool WriteMaterialFile(const std::string& folder, const std::string& out, const std::string& root,
                       std::string* why) {
  std::string text;
  if (!PackMaterial(folder, root, text, why)) return false;
  TStringStream file(std::move(text));
  file.SaveToFile(out);
  return true;
}

std::string ReadMaterialBytes(const std::string& path) {
  TMemoryStream file;
  file.LoadFromFile(path);
  return DecodeBase64(file.Bytes());
}

bool UnpackMaterial(const std::string& decoded, const std::string& target, std::string* why) {
  // The whole archive is inflated before the first entry is written, so a
  // text that is not a zlib stream leaves no partial tree behind.
  TStringStream source(decoded);
  TStringStream archive;
  DecompressStream(source, archive);
  return UnpackDirectory(target, archive, why);
}

void ReadMaterialFile(const std::string& path, const std::string& target) {
  const std::string decoded = ReadMaterialBytes(path);
  std::string why;
  bool whole;
  try {
    whole = UnpackMaterial(decoded, target, &why);
  } catch (const EZDecompressionError& e) {
    throw EMaterialError(path + ": not a material file (its Base64 text is not a zlib stream: " + e.what() + ")");
  } catch (const std::exception& e) {
    throw EMaterialError(path + ": " + e.what());
  }
  if (!whole) throw EMaterialError(path + ": the tree was not written out completely: " + why);
}

std::string EncodeMemoText(const std::string& text) {
  TStringStream source(text);
  TStringStream compressed;
  CompressStream(source, compressed);
  return EncodeBase64(compressed.DataString());
}

std::string DecodeMemoText(const std::string& base64) {
  TStringStream source(DecodeBase64(base64));
  TStringStream text;
  DecompressStream(source, text);
  return text.TakeBytes();
}

}  // namespace vexa
