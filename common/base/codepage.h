#pragma once
// Conversions between the code page 936 byte strings used everywhere inside
// and the encodings of the operating system's interfaces.
#include <string>

namespace vexa {

// True when the byte at s[i] starts a double-byte character of code page
// 936 (a lead byte 0x81..0xFE followed by a trail byte).
bool IsCp936LeadByte(unsigned char c);

// Upper-cases the ASCII letters a..z and nothing else, leaving the trail
// bytes of double-byte characters untouched (they may look like letters).
std::string UpperAscii936(const std::string& s);
// Lower-cases the ASCII letters A..Z the same way.
std::string LowerAscii936(const std::string& s);

// Whether the last character of s is "\". Walks whole characters: a trail
// byte may be 0x5C (as in "\x81\x5C"), which is no separator.
bool EndsWithBackslash936(const std::string& s);

#ifdef _WIN32
// Code page 936 to UTF-16, whatever the system's ANSI code page is.
std::wstring Cp936ToWide(const std::string& s);
// UTF-16 to code page 936. A character that code page 936 cannot hold
// becomes "?" and sets *lossy when given.
std::string WideToCp936(const std::wstring& s, bool* lossy = nullptr);
#else
// Code page 936 to UTF-8 for POSIX file names; bytes that are not valid
// code page 936 pass through unchanged.
std::string Cp936ToUtf8(const std::string& s);
// UTF-8 to code page 936; names that are not valid UTF-8 or hold characters
// code page 936 lacks pass through unchanged.
std::string Utf8ToCp936(const std::string& s);
#endif

}  // namespace vexa
