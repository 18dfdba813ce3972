// Update files: a content length and one zlib stream per file.
#include "updatefile.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "fshelpers.h"
#include "uzrcommon.h"
#include "zstate.h"

namespace vexa {

namespace {

constexpr std::size_t kLengthField = 4;
constexpr std::size_t kOutChunk = 64 * 1024;
// Input handed to zlib per call; its counters are 32-bit.
constexpr std::size_t kInChunk = std::size_t{1} << 30;

std::int32_t ReadLength(const std::string& data) {
  const auto* b = reinterpret_cast<const unsigned char*>(data.data());
  const std::uint32_t u = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return static_cast<std::int32_t>(u);
}

// Up to n bytes inflated from the zlib stream in data; stops at n, at the
// stream's end or at the data's end, whichever comes first.
std::string InflateAtMost(const char* data, std::size_t size, std::size_t n, bool& stream_ended) {
  InflateState<EUpdateFileError> inflater;
  z_stream& z = inflater.z();
  const auto* in = reinterpret_cast<const unsigned char*>(data);
  std::size_t in_left = size;
  std::string content;
  unsigned char out[kOutChunk];
  int rc = Z_OK;
  stream_ended = false;
  do {
    if (z.avail_in == 0 && in_left > 0) {
      const std::size_t take = std::min(in_left, kInChunk);
      z.next_in = const_cast<unsigned char*>(in);
      z.avail_in = static_cast<uInt>(take);
      in += take;
      in_left -= take;
    }
    z.next_out = out;
    z.avail_out = static_cast<uInt>(sizeof out);
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_NEED_DICT) throw EUpdateFileError("the zlib stream needs a preset dictionary");
    if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR)
      throw EUpdateFileError(z.msg != nullptr ? z.msg : zError(rc));
    const std::size_t produced = sizeof out - z.avail_out;
    content.append(reinterpret_cast<const char*>(out), std::min(produced, n - content.size()));
    // No progress with every input byte given: the data has run out.
    if (rc == Z_BUF_ERROR && z.avail_in == 0 && in_left == 0) break;
  } while (content.size() < n && rc != Z_STREAM_END);
  stream_ended = rc == Z_STREAM_END;
  return content;
}

std::string NameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

void EncodeUpdateStream(TMemoryStream& stream) {
  const std::int64_t n = stream.Size();
  if (n > std::numeric_limits<std::int32_t>::max())
    throw EUpdateFileError("content of " + std::to_string(n) +
                           " bytes is too large for an update file (2 GiB or more)");
  TMemoryStream encoded;
  const std::uint32_t u = static_cast<std::uint32_t>(n);
  const unsigned char length[kLengthField] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                              static_cast<unsigned char>(u >> 16),
                                              static_cast<unsigned char>(u >> 24)};
  encoded.WriteBuffer(length, sizeof length);
  CompressStream(stream, encoded);
  stream.Clear();
  stream.CopyFrom(encoded, 0);
}

std::unique_ptr<TMemoryStream> DecodeUpdateStream(TMemoryStream& stream) {
  stream.SetPosition(0);
  const std::string& data = stream.Bytes();
  if (data.size() < kLengthField)
    throw EUpdateFileError("too short for an update file: " + std::to_string(data.size()) +
                           " bytes, fewer than the 4 of its content length");
  const std::int32_t n = ReadLength(data);
  if (n < 0) throw EUpdateFileError("negative content length " + std::to_string(n));
  if (data.size() == kLengthField) throw EUpdateFileError("no zlib stream follows the content length");
  bool stream_ended = false;
  std::string content = InflateAtMost(data.data() + kLengthField, data.size() - kLengthField,
                                      static_cast<std::size_t>(n), stream_ended);
  if (content.size() < static_cast<std::size_t>(n))
    throw EUpdateFileError((stream_ended ? "the zlib stream ends after " : "the data ends after ") +
                           std::to_string(content.size()) + " of the " + std::to_string(n) +
                           " bytes its content length gives");
  return std::make_unique<TStringStream>(std::move(content));
}

std::string UpdateOutputName(const std::string& input_path) {
  const std::string name = NameOf(input_path);
  const std::size_t dot = name.rfind('.');
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".txt";
}

std::string UpdateOutputPath(const std::string& folder, const std::string& input_path) {
  std::string path = folder;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path + UpdateOutputName(input_path);
}

void EncodeUpdateFile(const std::string& input, const std::string& output) {
  TMemoryStream stream;
  stream.LoadFromFile(input);
  try {
    EncodeUpdateStream(stream);
  } catch (const EUpdateFileError& e) {
    throw EUpdateFileError(input + ": " + e.what());
  }
  SaveWholeFile(stream.Bytes(), output);
}

void DecodeUpdateFile(const std::string& input, const std::string& output) {
  TMemoryStream stream;
  stream.LoadFromFile(input);
  std::unique_ptr<TMemoryStream> content;
  try {
    content = DecodeUpdateStream(stream);
  } catch (const EUpdateFileError& e) {
    throw EUpdateFileError(input + ": not an update file: " + e.what());
  }
  SaveWholeFile(content->Bytes(), output);
}

}  // namespace vexa
