#pragma once
// Base64 of RFC 2045, in the line form the material files and memo texts use.
#include <cstddef>
#include <string>

namespace vexa {

// Characters per line of the encoder's output.
constexpr std::size_t kBase64LineLength = 76;

// The Base64 text of bytes: alphabet A-Z a-z 0-9 + /, "=" padding only at
// the very end, and a CR LF after every 76th character counted from the
// start. The last line therefore ends with CR LF only when it holds exactly
// 76 characters; the empty input gives the empty text.
std::string EncodeBase64(const std::string& bytes);

// The bytes of a Base64 text. Every character outside the alphabet and "="
// is skipped, so CR LF lines of any length, a break after the last line,
// blanks and other junk all read alike. The first "=" ends the data (RFC
// 2045: padding marks the end); a text without padding is read as if it
// were padded. A last group of a single character carries too few bits for
// a byte and adds nothing. Never fails: whether the bytes are what the
// caller expects is for the caller's own format to tell.
std::string DecodeBase64(const std::string& text);

}  // namespace vexa
