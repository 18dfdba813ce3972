#include <iconv.h>

#include <cerrno>

#include "codepage.h"

namespace vexa {

namespace {
// Converts with iconv; nothing when the input does not convert cleanly.
bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.assign(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char* dst = out.data();
  std::size_t dst_left = out.size();
  const std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1) || src_left != 0) return false;
  out.resize(out.size() - dst_left);
  return true;
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}
}  // namespace

std::string Cp936ToUtf8(const std::string& s) {
  if (IsAscii(s)) return s;
  std::string out;
  return Convert("UTF-8", "CP936", s, out) ? out : s;
}

std::string Utf8ToCp936(const std::string& s) {
  if (IsAscii(s)) return s;
  std::string out;
  return Convert("CP936", "UTF-8", s, out) ? out : s;
}

}  // namespace vexa
