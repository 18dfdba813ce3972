// The payload pipeline's codec: zlib streams over the project's streams and
// the pack/unpack calls that wrap the directory archive.
#include <zlib.h>

#include <vector>

#include "fsys.h"
#include "udirectory.h"
#include "uzrcommon.h"
#include "zstate.h"

namespace vexa {

namespace {

constexpr std::size_t kBuffer = 256 * 1024;

std::string ZlibMessage(int code, const z_stream& z) {
  if (z.msg != nullptr) return z.msg;
  return zError(code);
}

}  // namespace

void StreamToString(TStream& stream, std::string& s) {
  const std::int64_t size = stream.Size();
  s.resize(static_cast<std::size_t>(static_cast<std::uint32_t>(size)));
  stream.SetPosition(0);
  stream.ReadBuffer(s.data(), s.size());
}

void StringToStream(const std::string& s, TMemoryStream& stream) {
  stream.Clear();
  stream.WriteBuffer(s.data(), s.size());
}

void CompressStream(TStream& source, TStream& dest) {
  DeflateState<EZCompressionError> deflater;
  z_stream& z = deflater.z();
  std::vector<unsigned char> in(kBuffer), out(kBuffer);
  source.SetPosition(0);
  int flush = Z_NO_FLUSH;
  do {
    // Only a read that returns nothing marks the end; short reads may not.
    const std::size_t got = source.Read(in.data(), in.size());
    if (got == 0) flush = Z_FINISH;
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(got);
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      const int rc = deflate(&z, flush);
      if (rc == Z_STREAM_ERROR) throw EZCompressionError(ZlibMessage(rc, z));
      dest.WriteBuffer(out.data(), out.size() - z.avail_out);
    } while (z.avail_out == 0);
  } while (flush != Z_FINISH);
}

void DecompressStream(TStream& source, TStream& dest) {
  InflateState<EZDecompressionError> inflater;
  z_stream& z = inflater.z();
  std::vector<unsigned char> in(kBuffer), out(kBuffer);
  source.SetPosition(0);
  int rc = Z_OK;
  do {
    const std::size_t got = source.Read(in.data(), in.size());
    if (got == 0) throw EZDecompressionError("unexpected end of the zlib stream (truncated data)");
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(got);
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      rc = inflate(&z, Z_NO_FLUSH);
      if (rc == Z_NEED_DICT) rc = Z_DATA_ERROR;
      if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR)
        throw EZDecompressionError(ZlibMessage(rc, z));
      dest.WriteBuffer(out.data(), out.size() - z.avail_out);
    } while (z.avail_out == 0 && rc != Z_STREAM_END);
  } while (rc != Z_STREAM_END);
}

bool UnpackDirectory(const std::string& folder, TStream& archive, std::string* why) {
  TDirectoryData data(archive);
  if (!fsys::DirectoryExists(folder) && !fsys::CreateDir(folder))
    throw EInOutError("Cannot create folder \"" + folder + "\". " + fsys::LastErrorText());
  const bool ok = data.ExtractTo(folder);
  if (why) *why = data.LastError();
  return ok;
}

bool PackDirectory(const std::string& folder, TStream& archive, std::string* why) {
  try {
    TDirectoryData data(archive);
    data.PackFolder(folder);
    return true;
  } catch (const std::exception& e) {
    if (why) *why = e.what();
    return false;
  }
}

}  // namespace vexa
