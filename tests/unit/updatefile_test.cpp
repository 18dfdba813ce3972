// Update files: the content length, the zlib stream, the output names, and
// what a damaged update file does.
#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "fsys.h"
#include "testfs.h"
#include "updatefile.h"
#include "uzrcommon.h"

namespace vexa {
namespace {

std::string Encoded(const std::string& content) {
  TStringStream s(content);
  EncodeUpdateStream(s);
  return s.DataString();
}

std::string Decoded(const std::string& update) {
  TStringStream s(update);
  return DecodeUpdateStream(s)->Bytes();
}

std::string Noise(std::size_t n) {
  std::string s(n, '\0');
  std::uint32_t x = 12345;
  for (char& c : s) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return s;
}

TEST(UpdateStream, EmptyContentIsLengthZeroAndTheEmptyZlibStream) {
  const std::string update = Encoded("");
  EXPECT_EQ(test::Hex(update), "00 00 00 00 78 9c 03 00 00 00 00 01");
  EXPECT_EQ(Decoded(update), "");
}

struct Content {
  const char* name;
  std::string bytes;
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const Content& c, std::ostream* os) { *os << c.name; }

class UpdateRoundTrip : public testing::TestWithParam<Content> {};

// The length field and the zlib stream both carry the content; the stream's
// position does not matter to the encoder.
TEST_P(UpdateRoundTrip, EncodeThenDecode) {
  const std::string& content = GetParam().bytes;
  TStringStream s(content);
  s.SetPosition(content.size() / 2);
  EncodeUpdateStream(s);
  EXPECT_EQ(s.Position(), s.Size());
  const std::string update = s.DataString();
  ASSERT_GE(update.size(), 4u);
  const std::uint32_t n = static_cast<unsigned char>(update[0]) | static_cast<unsigned char>(update[1]) << 8 |
                          static_cast<unsigned char>(update[2]) << 16 |
                          static_cast<std::uint32_t>(static_cast<unsigned char>(update[3])) << 24;
  EXPECT_EQ(n, content.size());
  TStringStream zlib(update.substr(4)), inflated;
  DecompressStream(zlib, inflated);
  EXPECT_TRUE(inflated.DataString() == content) << "the bytes after the length are not the content's zlib stream";

  auto back = DecodeUpdateStream(s);
  EXPECT_EQ(back->Position(), 0);
  EXPECT_TRUE(back->Bytes() == content);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, UpdateRoundTrip,
    testing::Values(Content{"one_byte", "x"}, Content{"zero_bytes_inside", std::string("a\0b\0\0c", 6)},
                    Content{"text", "第一行\r\nsecond line\r\n"},
                    Content{"compressible_beyond_buffers", std::string(300000, 'z')},
                    Content{"incompressible_beyond_buffers", Noise(200000)}),
    [](const testing::TestParamInfo<Content>& i) { return std::string(i.param.name); });

std::string WithLength(std::string update, std::uint32_t n) {
  for (int i = 0; i < 4; ++i) update[i] = static_cast<char>(n >> (8 * i));
  return update;
}

TEST(UpdateStream, ContentLengthSmallerThanTheDataYieldsThatManyBytes) {
  const std::string content = Noise(100000);
  EXPECT_EQ(Decoded(WithLength(Encoded("hello world"), 5)), "hello");
  EXPECT_EQ(Decoded(WithLength(Encoded("hello world"), 0)), "");
  EXPECT_TRUE(Decoded(WithLength(Encoded(content), 70000)) == content.substr(0, 70000));
}

struct Damaged {
  const char* name;
  std::string bytes;
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const Damaged& c, std::ostream* os) { *os << c.name; }

class UpdateDamaged : public testing::TestWithParam<Damaged> {};

TEST_P(UpdateDamaged, IsAnError) {
  TStringStream s(GetParam().bytes);
  EXPECT_THROW(DecodeUpdateStream(s), EUpdateFileError);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, UpdateDamaged,
    testing::Values(Damaged{"empty", ""}, Damaged{"three_bytes", std::string("\x05\x00\x00", 3)},
                    Damaged{"length_only", std::string("\x00\x00\x00\x00", 4)},
                    Damaged{"negative_length", WithLength(Encoded("abc"), 0xFFFFFFFFu)},
                    Damaged{"most_negative_length", WithLength(Encoded(""), 0x80000000u)},
                    Damaged{"zlib_stream_ends_before_the_length", WithLength(Encoded("hello"), 6)},
                    Damaged{"huge_length_over_a_short_stream", WithLength(Encoded("hello"), 0x7FFFFFFFu)},
                    Damaged{"data_ends_inside_the_stream", Encoded(Noise(5000)).substr(0, 2000)},
                    Damaged{"not_a_zlib_stream", std::string("\x03\x00\x00\x00" "abcdef", 10)},
                    Damaged{"corrupt_deflate_data", Encoded("hello").substr(0, 6) + "\xFF\xFF\xFF\xFF"}),
    [](const testing::TestParamInfo<Damaged>& i) { return std::string(i.param.name); });

// Cut anywhere, an update file either fails cleanly or, when the content
// was complete before the cut (only the trailer lost), gives all of it.
TEST(UpdateStream, TruncatedAtEveryLength) {
  const std::string content = "update files carry one file's content, " + Noise(300);
  const std::string update = Encoded(content);
  for (std::size_t cut = 0; cut < update.size(); ++cut) {
    TStringStream s(update.substr(0, cut));
    try {
      EXPECT_TRUE(DecodeUpdateStream(s)->Bytes() == content) << "cut at " << cut << " gave a short content";
    } catch (const EUpdateFileError&) {
    }
  }
}

struct NameCase {
  const char* name;
  const char* input;
  const char* output;
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class UpdateOutputNames : public testing::TestWithParam<NameCase> {};

TEST_P(UpdateOutputNames, ExtensionBecomesTxt) {
  EXPECT_EQ(UpdateOutputName(GetParam().input), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, UpdateOutputNames,
    testing::Values(NameCase{"no_extension", "C:\\in\\readme", "readme.txt"},
                    NameCase{"txt_already", "C:\\in\\notes.txt", "notes.txt"},
                    NameCase{"other_extension", "C:\\in\\logo.ico", "logo.txt"},
                    NameCase{"last_dot_only", "C:\\in\\data.tar.gz", "data.tar.txt"},
                    NameCase{"dots_in_folders", "C:\\my.folder\\sub.d\\makefile", "makefile.txt"},
                    NameCase{"dots_in_folders_and_name", "C:\\my.folder\\a.b", "a.txt"},
                    NameCase{"colon_after_drive", "D:name.dat", "name.txt"},
                    NameCase{"colon_in_the_name", "C:\\in\\part:one.bin", "one.txt"},
                    NameCase{"trailing_dot", "C:\\in\\odd.", "odd.txt"},
                    NameCase{"name_is_all_extension", "C:\\in\\.config", ".txt"},
                    NameCase{"bare_name", "Vexa.exe", "Vexa.txt"},
                    NameCase{"posix_separators", "/tmp/in.d/file", "file.txt"},
                    NameCase{"code_page_936_name", "E:\\code\\\xC4\xA3\xB0\xE6.da", "\xC4\xA3\xB0\xE6.txt"}),
    [](const testing::TestParamInfo<NameCase>& i) { return std::string(i.param.name); });

TEST(UpdateOutputNames, PathJoinsTheFolder) {
  EXPECT_EQ(UpdateOutputPath("E:\\vexa\\", "C:\\a\\b.bin"), "E:\\vexa\\b.txt");
  EXPECT_EQ(UpdateOutputPath("out", "C:\\a\\b.bin"), "out\\b.txt");
  EXPECT_EQ(UpdateOutputPath("/tmp/out/", "b"), "/tmp/out/b.txt");
}

TEST(UpdateFile, EncodeThenDecodeOnDisk) {
  test::TempDir dir;
  const std::string content = Noise(70000) + "tail";
  test::WriteBytes(dir / "in.bin", content);
  EncodeUpdateFile(dir / "in.bin", dir / "in.txt");
  DecodeUpdateFile(dir / "in.txt", dir / "out.txt");
  EXPECT_TRUE(test::ReadBytes(dir / "out.txt") == content);
  // An input that is its own output is read whole before it is replaced.
  EncodeUpdateFile(dir / "out.txt", dir / "out.txt");
  EXPECT_EQ(test::ReadBytes(dir / "out.txt"), test::ReadBytes(dir / "in.txt"));
}

TEST(UpdateFile, DamagedInputNamesTheFileAndWritesNothing) {
  test::TempDir dir;
  for (const std::string& bad : {std::string("\x01\x02", 2), WithLength(Encoded("x"), 0xFFFFFFF0u),
                                 WithLength(Encoded("hello"), 50)}) {
    test::WriteBytes(dir / "bad.dat", bad);
    try {
      DecodeUpdateFile(dir / "bad.dat", dir / "bad.txt");
      ADD_FAILURE() << "no error for " << test::Hex(bad);
    } catch (const EUpdateFileError& e) {
      EXPECT_NE(std::string(e.what()).find(dir / "bad.dat"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fsys::FileExists(dir / "bad.txt"));
  }
  EXPECT_THROW(DecodeUpdateFile(dir / "missing.dat", dir / "m.txt"), EFOpenError);
  EXPECT_THROW(EncodeUpdateFile(dir / "missing.dat", dir / "m.txt"), EFOpenError);
}

}  // namespace
}  // namespace vexa
