#pragma once
// Update files: the content of one file as a signed 32-bit little-endian
// content length followed by one zlib stream of those bytes. Nothing names
// the file; its name travels apart, by the output-name rule below.
#include <memory>
#include <string>

#include "errors.h"
#include "streams.h"

namespace vexa {

// Data that is not an update file, or a file too large to become one.
class EUpdateFileError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// Replaces the whole content of stream (wherever its position stands) with
// its update-file form; the position ends at the end. Raises
// EUpdateFileError for content of 2 GiB or more, whose length the field
// cannot hold; stream is then unchanged.
void EncodeUpdateStream(TMemoryStream& stream);

// The content an update file in stream holds, in a new stream positioned at
// its start. Inflated data beyond the content length is ignored. Raises
// EUpdateFileError when stream holds fewer than 4 bytes, when the content
// length is negative, when the zlib stream or the data ends before the
// content length's count of bytes has been produced, and (its text being
// zlib's message) when the data is not a zlib stream. Memory grows with the
// bytes actually inflated, never with the length field alone.
std::unique_ptr<TMemoryStream> DecodeUpdateStream(TMemoryStream& stream);

// The output name for an input file: its name (after the last "\", "/" or
// ":") with the extension (from the name's last "." to its end) replaced by
// ".txt", or ".txt" appended when the name holds no ".".
std::string UpdateOutputName(const std::string& input_path);

// folder joined to the output name of input_path; folder may end in a
// separator or not.
std::string UpdateOutputPath(const std::string& folder, const std::string& input_path);

// Reads input whole, encodes or decodes it, and writes the result to output
// (created or replaced). Every failure raises an EStreamError whose text
// names the file; output is created only once its whole content is known, so
// a bad input writes nothing.
void EncodeUpdateFile(const std::string& input, const std::string& output);
void DecodeUpdateFile(const std::string& input, const std::string& output);

}  // namespace vexa
