#include "pathtext.h"

#include "codepage.h"

namespace vexa::rules {

std::size_t CharLength(const std::string& s, std::size_t i) {
  return IsCp936LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string TrimBlanks(const std::string& s) {
  std::size_t begin = 0, end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;  // blanks are never trail bytes
  return s.substr(begin, end - begin);
}

std::size_t FindChar(const std::string& s, char c, std::size_t from) {
  // Start from the beginning so that from is known to be a character start.
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
    if (i >= from && s[i] == c) return i;
  return std::string::npos;
}

std::string CollapseBackslashRuns(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  bool after_backslash = false;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = CharLength(s, i);
    const bool backslash = n == 1 && s[i] == '\\';
    if (!(backslash && after_backslash)) out.append(s, i, n);
    after_backslash = backslash;
    i += n;
  }
  return out;
}

std::string ReduceDoubledBackslashesOnce(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = CharLength(s, i);
    out.append(s, i, n);
    // A pair is consumed whole, so the scan goes on after its second byte.
    i += (n == 1 && s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\') ? 2 : n;
  }
  return out;
}

std::vector<std::string> SplitAtBackslashes(const std::string& s) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = CharLength(s, i);
    if (n == 1 && s[i] == '\\')
      parts.emplace_back();
    else
      parts.back().append(s, i, n);
    i += n;
  }
  return parts;
}

}  // namespace vexa::rules
