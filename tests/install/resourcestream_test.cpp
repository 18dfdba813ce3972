// Streams over the program's own resources: names matched without regard to
// case, the stream's reads and seeks, and the error for a missing resource.
#include "win/resourcestream.h"

#include <gtest/gtest.h>

#include "fsys.h"
#include "testfs.h"

namespace vexa::win {
namespace {

struct NameCase {
  const char* label;
  const char* type;
  const char* name;
};

class ResourceNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(ResourceNames, FindTheSameBytesWhateverTheCase) {
  const std::string_view expected = ResourceBytes("TXTFILE", "VEXA");
  const std::string_view got = ResourceBytes(GetParam().type, GetParam().name);
  EXPECT_EQ(got.data(), expected.data());
  EXPECT_EQ(got.size(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, ResourceNames,
                         ::testing::Values(NameCase{"upper", "TXTFILE", "VEXA"},
                                           NameCase{"lower", "txtfile", "vexa"},
                                           NameCase{"mixed", "TxtFile", "vExA"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ResourceStream, ReadsTheWholeResourceAndSeeksWithinIt) {
  const std::string_view bytes = ResourceBytes("TXTFILE", "ICO");
  ASSERT_GT(bytes.size(), 22u);
  EXPECT_EQ(test::Hex(std::string(bytes.substr(0, 4))), test::Hex(std::string("\0\0\1\0", 4)));  // an icon file

  TResourceStream s("txtfile", "ico");
  EXPECT_EQ(s.Size(), static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(s.Position(), 0);
  std::string all(bytes.size(), '\0');
  s.ReadBuffer(all.data(), all.size());
  EXPECT_EQ(all, bytes);
  char c;
  EXPECT_EQ(s.Read(&c, 1), 0u);

  EXPECT_EQ(s.Seek(-6, SeekOrigin::End), s.Size() - 6);
  std::string tail(6, '\0');
  s.ReadBuffer(tail.data(), tail.size());
  EXPECT_EQ(tail, bytes.substr(bytes.size() - 6));

  // Neither end can be passed: the resource cannot grow.
  EXPECT_EQ(s.Seek(-1000000, SeekOrigin::Current), 0);
  EXPECT_EQ(s.Seek(1000000, SeekOrigin::Begin), s.Size());
  EXPECT_THROW(s.Write("x", 1), EWriteError);

  // CopyFrom with a count of 0 takes everything from the first byte.
  s.SetPosition(10);
  TMemoryStream copy;
  copy.CopyFrom(s, 0);
  EXPECT_EQ(copy.Bytes(), bytes);
}

TEST(ResourceStream, MissingResourceIsAnOpenErrorNamingIt) {
  const std::pair<const char*, const char*> missing[] = {{"TXTFILE", "IMG09"}, {"JPEG", "VEXA"}};
  for (const auto& [type, name] : missing) {
    SCOPED_TRACE(std::string(type) + "/" + name);
    try {
      TResourceStream s(type, name);
      ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(type), std::string::npos) << e.what();
    }
  }
}

TEST(ResourceStream, SavedToAFileReplacingWhatWasThere) {
  test::TempDir dir;
  const std::string path = dir / "logo.ico";
  test::WriteBytes(path, std::string(5000, 'x'));  // longer than the icon
  SaveResourceToFile("TXTFILE", "ICO", path);
  EXPECT_EQ(test::ReadBytes(path), ResourceBytes("TXTFILE", "ICO"));

  EXPECT_THROW(SaveResourceToFile("TXTFILE", "ICO", dir / "no-such-folder\\logo.ico"), EFOpenError);
  EXPECT_THROW(SaveResourceToFile("TXTFILE", "NOPE", dir / "nope.bin"), EResourceNotFound);
  EXPECT_FALSE(fsys::FileExists(dir / "nope.bin"));
}

}  // namespace
}  // namespace vexa::win
