// Base64 in the material files' line form, and its forgiving reader.
#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "base64.h"
#include "testfs.h"

namespace vexa {
namespace {

std::string AllByteValues(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return s;
}

struct Vector {
  const char* name;
  std::string bytes;
  std::string text;
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const Vector& c, std::ostream* os) { *os << c.name; }

class Base64Vectors : public testing::TestWithParam<Vector> {};

TEST_P(Base64Vectors, EncodeAndDecode) {
  const Vector& v = GetParam();
  EXPECT_EQ(EncodeBase64(v.bytes), v.text);
  EXPECT_EQ(test::Hex(DecodeBase64(v.text)), test::Hex(v.bytes));
}

// The short vectors of RFC 4648 plus the high and zero bytes.
INSTANTIATE_TEST_SUITE_P(
    Rfc, Base64Vectors,
    testing::Values(Vector{"empty", "", ""}, Vector{"f", "f", "Zg=="}, Vector{"fo", "fo", "Zm8="},
                    Vector{"foo", "foo", "Zm9v"}, Vector{"foob", "foob", "Zm9vYg=="},
                    Vector{"fooba", "fooba", "Zm9vYmE="}, Vector{"foobar", "foobar", "Zm9vYmFy"},
                    Vector{"high_and_zero", std::string("\xFF\xFE\x00\x80", 4), "//4AgA=="}),
    [](const testing::TestParamInfo<Vector>& i) { return std::string(i.param.name); });

struct LineCase {
  const char* name;
  std::size_t bytes;
  std::size_t full_lines;   // lines of 76 characters, each followed by CR LF
  std::size_t last_line;    // characters after the last CR LF
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class Base64Lines : public testing::TestWithParam<LineCase> {};

// A CR LF follows every 76th character: after the last line only when that
// line is full.
TEST_P(Base64Lines, CrLfAfterEvery76thCharacter) {
  const LineCase& c = GetParam();
  const std::string text = EncodeBase64(AllByteValues(c.bytes));
  std::string expected_shape;
  for (std::size_t i = 0; i < c.full_lines; ++i) expected_shape += std::string(76, 'x') + "\r\n";
  expected_shape += std::string(c.last_line, 'x');
  std::string shape = text;
  for (char& ch : shape)
    if (ch != '\r' && ch != '\n') ch = 'x';
  EXPECT_EQ(shape, expected_shape);
  EXPECT_EQ(text.find_first_of("\r\n") == std::string::npos, c.full_lines == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Base64Lines,
    testing::Values(LineCase{"one_short_line", 54, 0, 72}, LineCase{"exactly_one_line", 57, 1, 0},
                    LineCase{"padding_ends_a_full_line", 56, 1, 0},
                    LineCase{"one_line_and_a_group", 58, 1, 4}, LineCase{"two_full_lines", 114, 2, 0},
                    LineCase{"padding_on_a_new_line", 115, 2, 4}, LineCase{"tiny", 1, 0, 4}),
    [](const testing::TestParamInfo<LineCase>& i) { return std::string(i.param.name); });

// Rewrites the encoder's text the ways other writers lay it out.
std::string Rewrap(const std::string& text, std::size_t width, const std::string& eol) {
  std::string flat;
  for (char c : text)
    if (c != '\r' && c != '\n') flat += c;
  std::string out;
  for (std::size_t i = 0; i < flat.size(); i += width) out += flat.substr(i, width) + eol;
  return out;
}

struct ReadForm {
  const char* name;
  std::string (*make)(const std::string& encoded);
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const ReadForm& c, std::ostream* os) { *os << c.name; }

class Base64ReadsAlike : public testing::TestWithParam<ReadForm> {};

TEST_P(Base64ReadsAlike, SameBytesWhateverTheLayout) {
  for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{57}, std::size_t{1000}}) {
    const std::string bytes = AllByteValues(n);
    const std::string text = GetParam().make(EncodeBase64(bytes));
    EXPECT_EQ(test::Hex(DecodeBase64(text)), test::Hex(bytes)) << n << " bytes read from:\n" << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Base64ReadsAlike,
    testing::Values(
        ReadForm{"as_written", [](const std::string& t) { return t; }},
        ReadForm{"crlf_after_last_line", [](const std::string& t) { return t + "\r\n"; }},
        ReadForm{"lines_of_64_with_lf", [](const std::string& t) { return Rewrap(t, 64, "\n"); }},
        ReadForm{"lines_of_5_with_crlf", [](const std::string& t) { return Rewrap(t, 5, "\r\n"); }},
        ReadForm{"one_line", [](const std::string& t) { return Rewrap(t, 1u << 20, ""); }},
        ReadForm{"junk_between_characters",
                 [](const std::string& t) {
                   // Blanks, punctuation, a NUL and code page 936 bytes.
                   static const std::string junk[] = {" ", "\t", "*", "-", std::string(1, '\0'),
                                                      "\xC4\xA3", "\xB0\xE6", "!", "\x7F", "."};
                   std::string out = "\xEF\xBB\xBF";
                   for (std::size_t i = 0; i < t.size(); ++i) out += junk[i % 10] + t[i];
                   return out + "~\r\n";
                 }}),
    [](const testing::TestParamInfo<ReadForm>& i) { return std::string(i.param.name); });

struct Tail {
  const char* name;
  std::string text;
  std::string bytes;
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const Tail& c, std::ostream* os) { *os << c.name; }

class Base64Tails : public testing::TestWithParam<Tail> {};

TEST_P(Base64Tails, PaddingAndShortGroups) {
  EXPECT_EQ(test::Hex(DecodeBase64(GetParam().text)), test::Hex(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, Base64Tails,
    testing::Values(Tail{"unpadded_two", "Zm8", "fo"}, Tail{"unpadded_one", "Zg", "f"},
                    Tail{"lone_character_adds_nothing", "Zm9vZ", "foo"},
                    Tail{"first_padding_ends_the_data", "Zg==Zm9v", "f"},
                    Tail{"padding_after_a_whole_group", "Zm9v=Zm9v", "foo"},
                    Tail{"only_junk", "\r\n***\r\n", ""}),
    [](const testing::TestParamInfo<Tail>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace vexa
