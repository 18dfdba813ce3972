#pragma once
// Byte-string helpers for locations in code page 936. They walk the text a
// character at a time: a double-byte character's trail byte may have the
// value of "\" or "|" (for example "乗" is 81 5C, "億" is 83 7C), and such a
// byte is part of the character, never a separator or an illegal character.
#include <cstddef>
#include <string>
#include <vector>

namespace vexa::rules {

// Bytes taken by the character that starts at s[i]: 2 for a lead byte with
// a byte after it, else 1. i must be below s.size().
std::size_t CharLength(const std::string& s, std::size_t i);

// True for the bytes 0 to 32: blanks and control characters.
bool IsBlank(char c);

// s without leading and trailing blanks and control characters.
std::string TrimBlanks(const std::string& s);

// Offset of the first single-byte character c in s at or after from, or
// std::string::npos. Trail bytes of double-byte characters never match.
std::size_t FindChar(const std::string& s, char c, std::size_t from = 0);

// Every run of backslashes collapsed to one: the effect of replacing "\\" by
// "\" until none is left.
std::string CollapseBackslashRuns(const std::string& s);

// Every "\\" replaced by "\" in one left-to-right pass: a run of n
// backslashes becomes n / 2 + n % 2 of them, so three leave a doubled one.
std::string ReduceDoubledBackslashesOnce(const std::string& s);

// s split at each backslash, empty parts kept: "D:\a\" gives D:, a and "".
std::vector<std::string> SplitAtBackslashes(const std::string& s);

}  // namespace vexa::rules
