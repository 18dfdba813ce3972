// The directory archive: its byte format, relocation below a target, and
// how the reader treats damaged or hostile archives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fsys.h"
#ifndef _WIN32
#include <unistd.h>
#endif
#include "testfs.h"
#include "udirectory.h"
#include "uzrcommon.h"

namespace vexa {
namespace {

using test::FromHex;
using test::Hex;
using test::TempDir;

// The worked example: below the root D:\vexa\vevovidi\ a folder img holding
// an empty file x.d, and a file log.txt holding "ok". 118 bytes.
const std::string kRootHex = "44 3a 5c 76 65 78 61 5c 76 65 76 6f 76 69 64 69 5c";  // D:\vexa\vevovidi\ .
const std::string kExample = FromHex(
    "11 00 00 00" + kRootHex + "03 00 00 00 69 6d 67  01 00 00 00 00 00 00 00"
    "15 00 00 00" + kRootHex + "5c 69 6d 67  03 00 00 00 78 2e 64  00 00 00 00 00 00 00 00"
    "11 00 00 00" + kRootHex + "07 00 00 00 6c 6f 67 2e 74 78 74  00 00 00 00 02 00 00 00 6f 6b");
const std::string kRoot = "D:\\vexa\\vevovidi\\";

// One record in its stored form.
std::string Record(const std::string& folder_path, const std::string& name, std::int32_t kind, std::int32_t size,
                   const std::string& content = "") {
  TStringStream s;
  TDirDataHead head;
  head.FolderPath = folder_path;
  head.Name = name;
  head.Kind = kind;
  head.Size = size;
  WriteHead(head, s);
  return s.DataString() + content;
}

bool Extract(const std::string& archive, const std::string& target, std::string* why = nullptr) {
  TStringStream s(archive);
  TDirectoryData data(s);
  const bool ok = data.ExtractTo(target);
  if (why) *why = data.LastError();
  return ok;
}

TEST(DirectoryArchive, ExampleHasTheDocumentedSize) { EXPECT_EQ(kExample.size(), 118u); }

#ifndef _WIN32
// Byte for byte needs the listing order NTFS gives; the POSIX seam gives it,
// a Windows build lists in the platform's order (under Wine, the host's).
void MakeExampleTree(const TempDir& dir) {
  test::MakeDirs(dir / "tree\\img");
  test::WriteBytes(dir / "tree\\img\\x.d", "");
  test::WriteBytes(dir / "tree\\log.txt", "ok");
}

TEST(DirectoryArchive, PacksTheExampleByteForByte) {
  TempDir dir;
  MakeExampleTree(dir);
  TStringStream archive;
  TDirectoryData(archive).PackFolderAs(dir / "tree", kRoot);
  EXPECT_EQ(Hex(archive.DataString()), Hex(kExample));
}
#endif

TEST(DirectoryArchive, ExtractsTheExampleBelowATargetWithoutTrailingBackslash) {
  TempDir dir;
  test::MakeDirs(dir / "target");
  ASSERT_TRUE(Extract(kExample, dir / "target"));
  const decltype(test::Snapshot("")) expected = {{"img", "<dir>"}, {"img/x.d", ""}, {"log.txt", "ok"}};
  EXPECT_EQ(test::Snapshot(dir / "target"), expected);
}

TEST(DirectoryArchive, RoundTripReproducesEveryFolderAndByte) {
  TempDir dir;
  const std::string gbk = "\xBF\xBC\xCA\xD4";  // a GBK name: two double-byte characters
  test::MakeDirs(dir / "tree\\empty");
  test::MakeDirs(dir / "tree\\a\\b\\c\\d\\e\\f");
  test::MakeDirs(dir / ("tree\\" + gbk));
  test::WriteBytes(dir / "tree\\empty.txt", "");
  test::WriteBytes(dir / "tree\\a\\b\\c\\d\\e\\f\\deep.bin", std::string("\0\1\2\xff", 4));
  test::WriteBytes(dir / ("tree\\" + gbk + "\\" + gbk + ".txt"), "gbk");
  std::string big;
  for (int i = 0; i < 200000; ++i) big += static_cast<char>((i * 7919) >> 3);
  test::WriteBytes(dir / "tree\\Big.dat", big);

  TStringStream archive;
  ASSERT_TRUE(PackDirectory(dir / "tree", archive));
  TStringStream compressed, expanded;
  CompressStream(archive, compressed);
  DecompressStream(compressed, expanded);
  std::string why;
  ASSERT_TRUE(UnpackDirectory(dir / "copy", expanded, &why)) << why;
  EXPECT_EQ(test::Snapshot(dir / "copy"), test::Snapshot(dir / "tree"));
}

TEST(DirectoryArchive, RootMatchesWithoutRegardToCaseAndAbsorbsTheDoubledSeparator) {
  TempDir dir;
  const std::string archive = Record(kRoot, "img", 1, 0) + Record("D:\\VEXA\\VEVOVIDI\\\\img", "a.txt", 0, 1, "A");
  ASSERT_TRUE(Extract(archive, dir.path()));
  EXPECT_EQ(test::ReadBytes(dir / "img\\a.txt"), "A");
}

TEST(DirectoryArchive, DirectorySizeIsIgnoredAndUnknownKindsConsumeTheirHeaderAlone) {
  TempDir dir;
  const std::string archive = Record(kRoot, "img", 1, 12345) + Record(kRoot, "whatever", 7, 99) +
                              Record(kRoot, "f.txt", 0, 2, "hi");
  ASSERT_TRUE(Extract(archive, dir.path()));
  EXPECT_TRUE(fsys::DirectoryExists(dir / "img"));
  EXPECT_FALSE(fsys::GetAttributes(dir / "whatever").has_value());
  EXPECT_EQ(test::ReadBytes(dir / "f.txt"), "hi");
}

TEST(DirectoryArchive, EmptyArchiveSucceedsAndCreatesNothing) {
  TempDir dir;
  EXPECT_TRUE(Extract("", dir.path()));
  EXPECT_TRUE(test::Snapshot(dir.path()).empty());
}

TEST(DirectoryArchive, UnpackingMergesOverAnExistingTree) {
  TempDir dir;
  test::MakeDirs(dir / "img");
  test::WriteBytes(dir / "log.txt", "old content, longer");
  test::WriteBytes(dir / "img\\x.d", "will be truncated");
  test::WriteBytes(dir / "mine.txt", "stays");
  ASSERT_TRUE(Extract(kExample, dir.path()));
  EXPECT_EQ(test::ReadBytes(dir / "log.txt"), "ok");
  EXPECT_EQ(test::ReadBytes(dir / "img\\x.d"), "");
  EXPECT_EQ(test::ReadBytes(dir / "mine.txt"), "stays");
}

// Cut at every length: never a crash, false unless the cut falls on a record
// boundary (the format has no end marker), and what came before is kept.
TEST(DirectoryArchive, TruncationAtEveryByte) {
  const std::vector<std::size_t> boundaries = {0, 36, 76, 118};
  for (std::size_t len = 0; len <= kExample.size(); ++len) {
    SCOPED_TRACE("cut at " + std::to_string(len));
    TempDir dir;
    const bool at_boundary = std::find(boundaries.begin(), boundaries.end(), len) != boundaries.end();
    std::string why;
    EXPECT_EQ(Extract(kExample.substr(0, len), dir.path(), &why), at_boundary);
    if (!at_boundary) {
      EXPECT_NE(why.find("truncated"), std::string::npos) << why;
    }
    if (len >= 36) {
      EXPECT_TRUE(fsys::DirectoryExists(dir / "img"));
    }
    if (len >= 76) {
      EXPECT_TRUE(fsys::FileExists(dir / "img\\x.d"));
    }
    if (len > 108 && len < 118) {
      EXPECT_FALSE(fsys::FileExists(dir / "log.txt")) << "content checked before writing";
    }
  }
}

struct HostileCase {
  const char* name;
  std::string archive;
};

// Records that would write outside the target, or that carry impossible
// lengths, stop the extraction with false before anything of theirs is
// written; the good record before them stays.
TEST(DirectoryArchive, RejectsHostileRecords) {
  const std::string good = Record(kRoot, "ok.txt", 0, 1, "k");
  const std::vector<HostileCase> cases = {
      {"folder path without the root", Record("C:\\elsewhere", "evil.txt", 0, 1, "x")},
      {"empty folder path", Record("", "evil.txt", 0, 1, "x")},
      {"parent step after the root", Record(kRoot + "\\..", "evil.txt", 0, 1, "x")},
      {"forward-slash parent step", Record(kRoot + "/../x", "evil.txt", 0, 1, "x")},
      {"drive inside the path", Record(kRoot + "\\C:", "evil.txt", 0, 1, "x")},
      {"name with backslash", Record(kRoot, "..\\evil.txt", 0, 1, "x")},
      {"name with slash", Record(kRoot, "../evil.txt", 0, 1, "x")},
      {"name is a parent step", Record(kRoot, "..", 1, 0)},
      {"absolute name", Record(kRoot, "C:evil.txt", 0, 1, "x")},
      {"empty file name", Record(kRoot, "", 0, 1, "x")},
      {"empty folder name", Record(kRoot, "", 1, 0)},
      {"folder name with ?", Record(kRoot, "a?b", 1, 0)},
      {"folder name with *", Record(kRoot, "a*", 1, 0)},
      {"negative file size", Record(kRoot, "evil.txt", 0, -1)},
      {"negative name length", FromHex("11 00 00 00" + kRootHex + "ff ff ff ff")},
      {"negative path length", FromHex("fe ff ff ff")},
      {"length beyond the data", FromHex("ff ff ff 7f 41 41")},
      {"content beyond the data", Record(kRoot, "evil.txt", 0, 1000, "short")},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    test::MakeDirs(dir / "t");
    EXPECT_FALSE(Extract(good + c.archive + Record(kRoot, "after.txt", 0, 1, "a"), dir / "t"));
    EXPECT_EQ(test::ReadBytes(dir / "t\\ok.txt"), "k");
    EXPECT_FALSE(fsys::FileExists(dir / "t\\after.txt")) << "nothing after the failing record";
    EXPECT_FALSE(fsys::FileExists(dir / "evil.txt"));
    EXPECT_FALSE(fsys::FileExists(dir / "t\\evil.txt"));
    EXPECT_FALSE(fsys::DirectoryExists(dir / "t\\a*"));
  }
}

TEST(DirectoryArchive, GbkTrailByteThatLooksLikeABackslashIsNotASeparator) {
  // 0x81 0x5C is one GBK character whose trail byte equals "\".
  TempDir dir;
  const std::string name = "\x81\x5C.txt";
  ASSERT_TRUE(Extract(Record(kRoot, name, 0, 1, "g"), dir.path()));
  std::vector<fsys::DirEntry> entries;
  ASSERT_TRUE(fsys::ListFolder(dir.path(), entries));
  ASSERT_EQ(entries.size(), 1u);
}

TEST(PackDirectory, MissingFolderGivesTrueAndLeavesTheStreamUnchanged) {
  TempDir dir;
  TStringStream archive("before");
  archive.SetPosition(6);
  EXPECT_TRUE(PackDirectory(dir / "missing", archive));
  EXPECT_EQ(archive.DataString(), "before");
}

TEST(UnpackDirectory, CreatesOneMissingLevelButRaisesWhenTheParentIsMissing) {
  TempDir dir;
  TStringStream empty;
  EXPECT_TRUE(UnpackDirectory(dir / "new", empty));
  EXPECT_TRUE(fsys::DirectoryExists(dir / "new"));
  EXPECT_THROW(UnpackDirectory(dir / "no\\such\\parent", empty), EInOutError);
}

TEST(UnpackDirectory, TargetWithTrailingSeparatorStillWorks) {
  TempDir dir;
  TStringStream archive(kExample);
  EXPECT_TRUE(UnpackDirectory(dir.path() + test::Sep(), archive));
  EXPECT_EQ(test::ReadBytes(dir / "img\\x.d"), "");
}

#ifndef _WIN32
TEST(PackDirectory, FileOfTwoGibibytesCannotBeStored) {
  TempDir dir;
  test::MakeDirs(dir / "tree");
  const std::string path = dir / "tree\\huge.bin";
  test::WriteBytes(path, "");
  ASSERT_EQ(truncate(path.c_str(), 0x80000000LL), 0);  // sparse: no real 2 GiB written
  TStringStream archive;
  std::string why;
  EXPECT_FALSE(PackDirectory(dir / "tree", archive, &why));
  EXPECT_NE(why.find("2 GiB"), std::string::npos) << why;
  EXPECT_TRUE(archive.DataString().empty()) << "the failing file's record is not begun";
}
#endif

}  // namespace
}  // namespace vexa
