// Material files and memo texts: a tree or a text through zlib and Base64
// and back, whatever the layout of the Base64 lines.
#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "base64.h"
#include "fsys.h"
#include "material.h"
#include "testfs.h"
#include "uzrcommon.h"

namespace vexa {
namespace {

// A small tree: nested folders, an empty file and an empty folder, bytes of
// every value, a code page 936 name.
void MakeTree(const test::TempDir& dir, const std::string& root) {
  test::MakeDirs(dir / (root + "\\sub\\deeper"));
  test::MakeDirs(dir / (root + "\\empty"));
  std::string all(256 * 40, '\0');
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<char>(i * 31);
  test::WriteBytes(dir / (root + "\\a.bin"), all);
  test::WriteBytes(dir / (root + "\\zero"), "");
  test::WriteBytes(dir / (root + "\\sub\\\xC4\xA3\xB0\xE6.txt"), "template\r\n");
  test::WriteBytes(dir / (root + "\\sub\\deeper\\c.dat"), std::string(5000, 'c'));
}

struct LineForm {
  const char* name;
  std::string (*make)(const std::string& written);
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const LineForm& c, std::ostream* os) { *os << c.name; }

class MaterialForms : public testing::TestWithParam<LineForm> {};

// Written as the packing tool writes it, then read back in another layout.
TEST_P(MaterialForms, TreeRoundTrip) {
  test::TempDir dir;
  MakeTree(dir, "src");
  std::string why;
  ASSERT_TRUE(WriteMaterialFile(dir / "src", dir / "m.da", dir / "src", &why)) << why;
  const std::string written = test::ReadBytes(dir / "m.da");
  ASSERT_GT(written.size(), 76u);
  test::WriteBytes(dir / "m.da", GetParam().make(written));
  ReadMaterialFile(dir / "m.da", dir / "out");
  EXPECT_EQ(test::Snapshot(dir / "out"), test::Snapshot(dir / "src"));
}

std::string Flat(const std::string& text) {
  std::string flat;
  for (char c : text)
    if (c != '\r' && c != '\n') flat += c;
  return flat;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, MaterialForms,
    testing::Values(LineForm{"as_written", [](const std::string& t) { return t; }},
                    // Every line ended with CR LF, the last one included.
                    LineForm{"crlf_after_the_last_line",
                             [](const std::string& t) {
                               return t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0 ? t : t + "\r\n";
                             }},
                    LineForm{"lines_of_64_with_lf",
                             [](const std::string& t) {
                               const std::string flat = Flat(t);
                               std::string out;
                               for (std::size_t i = 0; i < flat.size(); i += 64) out += flat.substr(i, 64) + "\n";
                               return out;
                             }},
                    LineForm{"one_line", [](const std::string& t) { return Flat(t); }}),
    [](const testing::TestParamInfo<LineForm>& i) { return std::string(i.param.name); });

TEST(MaterialFile, IsTheBase64OfThePayloadWithNothingAdded) {
  test::TempDir dir;
  MakeTree(dir, "src");
  std::string payload;
  ASSERT_TRUE(PackPayload(dir / "src", dir / "src", payload));
  ASSERT_TRUE(WriteMaterialFile(dir / "src", dir / "m.da", dir / "src"));
  EXPECT_EQ(test::ReadBytes(dir / "m.da"), EncodeBase64(payload));
  TStringStream zlib(payload), archive;
  DecompressStream(zlib, archive);
  TStringStream packed;
  ASSERT_TRUE(PackDirectory(dir / "src", packed));
  EXPECT_TRUE(archive.DataString() == packed.DataString());
}

TEST(MaterialFile, StoredUnderAnotherRootUnpacksAlike) {
  test::TempDir dir;
  MakeTree(dir, "src");
  ASSERT_TRUE(WriteMaterialFile(dir / "src", dir / "m.da", "C:\\{a7684f6e}\\resource\\2"));
  ReadMaterialFile(dir / "m.da", dir / "out");
  EXPECT_EQ(test::Snapshot(dir / "out"), test::Snapshot(dir / "src"));
}

std::string Material(const std::string& inflated) {
  TStringStream in(inflated), zlib;
  CompressStream(in, zlib);
  return EncodeBase64(zlib.DataString());
}

std::string CutInHalf(const std::string& s) { return s.substr(0, s.size() / 2); }

struct BadMaterial {
  const char* name;
  std::string text;
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const BadMaterial& c, std::ostream* os) { *os << c.name; }

class MaterialBad : public testing::TestWithParam<BadMaterial> {};

// Text that does not decode to a zlib stream raises, naming the file, and
// writes nothing: the target folder is not even created.
TEST_P(MaterialBad, NotAZlibStreamWritesNothing) {
  test::TempDir dir;
  test::WriteBytes(dir / "bad.da", GetParam().text);
  try {
    ReadMaterialFile(dir / "bad.da", dir / "out");
    ADD_FAILURE() << "no error";
  } catch (const EMaterialError& e) {
    EXPECT_NE(std::string(e.what()).find(dir / "bad.da"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fsys::GetAttributes(dir / "out").has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MaterialBad,
    testing::Values(BadMaterial{"empty", ""}, BadMaterial{"plain_text", "this is not a material file\r\n"},
                    BadMaterial{"base64_of_other_bytes", EncodeBase64("PK\x03\x04 some zip bytes")},
                    BadMaterial{"cut_in_half", CutInHalf(Material(std::string(4000, 'q') + "end"))}),
    [](const testing::TestParamInfo<BadMaterial>& i) { return std::string(i.param.name); });

TEST(MaterialFile, IncompleteTreeIsAnError) {
  test::TempDir dir;
  // A zlib stream whose archive is cut inside its first record.
  test::WriteBytes(dir / "short.da", Material(test::FromHex("05 00 00 00 43 3a 5c 61")));
  EXPECT_THROW(ReadMaterialFile(dir / "short.da", dir / "out"), EMaterialError);
  EXPECT_THROW(ReadMaterialFile(dir / "missing.da", dir / "out"), EFOpenError);
}

TEST(MemoText, RoundTripAndLineForm) {
  const std::string text = "Memo1\r\n\xBF\xBC\xCA\xD4 second line\r\n" + std::string(500, 'x');
  const std::string memo = EncodeMemoText(text);
  TStringStream zlib(DecodeBase64(memo)), inflated;
  DecompressStream(zlib, inflated);
  EXPECT_EQ(inflated.DataString(), text);
  EXPECT_EQ(memo, EncodeBase64(DecodeBase64(memo)));
  EXPECT_EQ(DecodeMemoText(memo), text);
  EXPECT_EQ(DecodeMemoText(Flat(memo) + "\r\n"), text);
  EXPECT_EQ(DecodeMemoText(EncodeMemoText("")), "");
}

TEST(MemoText, TextThatIsNoZlibStreamRaises) {
  for (const std::string& bad : {std::string(""), std::string("Memo1"), EncodeMemoText("abcdef").substr(0, 8)})
    EXPECT_THROW(DecodeMemoText(bad), EZDecompressionError) << bad;
}

}  // namespace
}  // namespace vexa
