#pragma once
// The shared helper unit: stream conversions, the zlib payload codec and the
// folder pack/unpack calls. The system helpers (processes, launch, file
// helpers, Base64) have headers of their own beside this one.
#include <string>

#include "errors.h"
#include "streams.h"

namespace vexa {

// zlib reported an error, or the zlib stream ended before its end. The text
// is zlib's message for the code ("data error", ...).
class EZDecompressionError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EZCompressionError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// The whole stream, whatever its position; the position ends at the end.
void StreamToString(TStream& stream, std::string& s);
// Clears the memory stream and writes s; the position ends at the end.
void StringToStream(const std::string& s, TMemoryStream& stream);

// Deflates all of source (from its start) into dest at dest's position:
// one zlib stream, default level, window bits 15, memory level 8, default
// strategy, finished once at the end. An error reading source reaches the
// caller; no partial stream is finished behind its back.
void CompressStream(TStream& source, TStream& dest);
// Inflates the zlib stream that source holds (read from its start) into dest
// at dest's position. Bytes after the stream's end are ignored. Raises
// EZDecompressionError for a corrupt stream and for one cut short.
void DecompressStream(TStream& source, TStream& dest);

// True when the whole archive was written out below folder, which is created
// (one level) when missing; a failure to create it raises EInOutError.
// why, when given, receives the reason for a false result.
bool UnpackDirectory(const std::string& folder, TStream& archive, std::string* why = nullptr);
// True unless an error occurred while packing folder into archive; the
// archive then holds the records written before it.
bool PackDirectory(const std::string& folder, TStream& archive, std::string* why = nullptr);

}  // namespace vexa
