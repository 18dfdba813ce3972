#include "codepage.h"

namespace vexa {

bool IsCp936LeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

namespace {
template <char From, char To>
std::string MapAscii(const std::string& s) {
  std::string out = s;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsCp936LeadByte(c) && i + 1 < out.size()) {
      ++i;  // the trail byte is part of a double-byte character
    } else if (c >= From && c <= From + 25) {
      out[i] = static_cast<char>(c - From + To);
    }
  }
  return out;
}
}  // namespace

std::string UpperAscii936(const std::string& s) { return MapAscii<'a', 'A'>(s); }
std::string LowerAscii936(const std::string& s) { return MapAscii<'A', 'a'>(s); }

bool EndsWithBackslash936(const std::string& s) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < s.size(); ++i) {
    last = i;
    if (IsCp936LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ++i;
  }
  return last != std::string::npos && last + 1 == s.size() && s[last] == '\\';
}

}  // namespace vexa
