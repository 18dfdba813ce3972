// Base64 of RFC 2045 with 76-character CR LF lines.
#include "base64.h"

#include <array>
#include <cstdint>

namespace vexa {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int8_t kSkip = -1;
constexpr std::int8_t kPad = -2;

// Each byte value's 6-bit value, kPad for "=", kSkip for everything else.
constexpr std::array<std::int8_t, 256> MakeValues() {
  std::array<std::int8_t, 256> v{};
  for (auto& x : v) x = kSkip;
  for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
  v[static_cast<unsigned char>('=')] = kPad;
  return v;
}
constexpr std::array<std::int8_t, 256> kValues = MakeValues();

}  // namespace

std::string EncodeBase64(const std::string& bytes) {
  const std::size_t chars = (bytes.size() + 2) / 3 * 4;
  std::string out;
  out.reserve(chars + chars / kBase64LineLength * 2);
  std::size_t column = 0;
  auto put = [&](char c) {
    out.push_back(c);
    if (++column == kBase64LineLength) {
      out += "\r\n";
      column = 0;
    }
  };
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  for (; left >= 3; left -= 3, p += 3) {
    const std::uint32_t group = (p[0] << 16) | (p[1] << 8) | p[2];
    put(kAlphabet[(group >> 18) & 63]);
    put(kAlphabet[(group >> 12) & 63]);
    put(kAlphabet[(group >> 6) & 63]);
    put(kAlphabet[group & 63]);
  }
  if (left > 0) {
    const std::uint32_t group = (p[0] << 16) | (left == 2 ? p[1] << 8 : 0);
    put(kAlphabet[(group >> 18) & 63]);
    put(kAlphabet[(group >> 12) & 63]);
    put(left == 2 ? kAlphabet[(group >> 6) & 63] : '=');
    put('=');
  }
  return out;
}

std::string DecodeBase64(const std::string& text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t group = 0;
  int count = 0;  // 6-bit values in group
  for (const char c : text) {
    const std::int8_t v = kValues[static_cast<unsigned char>(c)];
    if (v == kSkip) continue;
    if (v == kPad) break;
    group = (group << 6) | static_cast<std::uint32_t>(v);
    if (++count == 4) {
      out.push_back(static_cast<char>(group >> 16));
      out.push_back(static_cast<char>(group >> 8));
      out.push_back(static_cast<char>(group));
      group = 0;
      count = 0;
    }
  }
  // A short last group: 2 values give one byte, 3 give two.
  if (count == 2) {
    out.push_back(static_cast<char>(group >> 4));
  } else if (count == 3) {
    out.push_back(static_cast<char>(group >> 10));
    out.push_back(static_cast<char>(group >> 2));
  }
  return out;
}

}  // namespace vexa
