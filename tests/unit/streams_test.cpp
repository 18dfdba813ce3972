// The stream kinds: positions, sizes, copies and files.
#include <gtest/gtest.h>

#include "streams.h"
#include "testfs.h"

namespace vexa {
namespace {

TEST(MemoryStream, WritesOverAndPastTheEnd) {
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  m.SetPosition(4);
  m.WriteBuffer("XYZ", 3);
  EXPECT_EQ(m.Bytes(), "abcdXYZ");
  m.SetPosition(9);
  m.WriteBuffer("!", 1);
  EXPECT_EQ(m.Bytes(), std::string("abcdXYZ\0\0!", 10));
}

TEST(MemoryStream, ReadStopsAtTheEnd) {
  TStringStream s("hello");
  char buf[8];
  s.SetPosition(3);
  EXPECT_EQ(s.Read(buf, sizeof buf), 2u);
  EXPECT_EQ(s.Read(buf, sizeof buf), 0u);
  s.SetPosition(3);
  EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
}

TEST(Stream, CopyFromZeroCopiesTheWholeSourceFromItsStart) {
  TStringStream src("0123456789");
  src.SetPosition(10);
  TStringStream dst("ab");
  dst.SetPosition(2);
  EXPECT_EQ(dst.CopyFrom(src, 0), 10);
  EXPECT_EQ(dst.DataString(), "ab0123456789");
}

TEST(FileStream, RoundTripAndMissingFile) {
  test::TempDir dir;
  const std::string path = dir / "f.bin";
  TMemoryStream m;
  m.WriteBuffer(std::string("x\0y", 3).data(), 3);
  m.SaveToFile(path);
  TMemoryStream back;
  back.LoadFromFile(path);
  EXPECT_EQ(back.Bytes(), std::string("x\0y", 3));
  EXPECT_THROW(TFileStream(dir / "missing", fsys::OpenMode::ReadShared), EFOpenError);
}

}  // namespace
}  // namespace vexa
