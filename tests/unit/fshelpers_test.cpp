// The folder and text-file helpers on the platform's own attributes: real
// Windows attributes under Wine, the POSIX seam natively (a leading "." is
// hidden, no owner write bit is read-only). Rows that hold on both come
// first in each table; rows that need attributes POSIX lacks follow them.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "errors.h"
#include "fshelpers.h"
#include "fsys.h"
#include "testfs.h"

#ifdef _WIN32
#include <windows.h>

#include "codepage.h"
#else
#include <unistd.h>
#endif

namespace vexa {
namespace {

using test::TempDir;

// Code page 936 names: a GBK folder name, and a character whose trail byte
// is 0x5C, the byte of "\".
const std::string kGbk = "\xBF\xBC\xCA\xD4";  // 考试
const std::string kTrail5C = "\x81\x5C";      // 乗

enum : unsigned { kPlain = 0, kHide = 1, kReadOnly = 2, kSys = 4, kArch = 8 };

// One entry of a fixture tree: its path below the root with "\" between
// parts, a trailing "\" for a folder; parents come before their content.
// Hidden entries of the shared rows also start with "." for POSIX.
struct Node {
  std::string path;
  unsigned marks = kPlain;
};

bool IsFolder(const Node& n) { return !n.path.empty() && n.path.back() == '\\'; }

// root + "\" + rel without touching the bytes of rel: a "\" inside rel may
// be a trail byte, and the seam takes "\" on every platform.
std::string Below(const std::string& root, const std::string& rel) { return root + "\\" + rel; }

void ApplyMarks(const std::string& path, unsigned marks) {
#ifdef _WIN32
  const std::wstring w = Cp936ToWide(path);
  DWORD a = GetFileAttributesW(w.c_str());
  if (marks & kHide) a |= FILE_ATTRIBUTE_HIDDEN;
  if (marks & kReadOnly) a |= FILE_ATTRIBUTE_READONLY;
  if (marks & kSys) a |= FILE_ATTRIBUTE_SYSTEM;
  if (marks & kArch) a |= FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_TRUE(SetFileAttributesW(w.c_str(), a)) << path;
#else
  if (marks & kReadOnly) test::SetReadOnly(path, true);
#endif
}

void Build(const std::string& root, const std::vector<Node>& tree) {
  for (const Node& n : tree) {
    const std::string path = Below(root, n.path);
    if (IsFolder(n)) ASSERT_TRUE(fsys::CreateDir(path.substr(0, path.size() - 1))) << n.path;
    else test::WriteBytes(path, "content of " + n.path);
  }
  // Marks last (a read-only folder is filled before it is marked).
  for (auto n = tree.rbegin(); n != tree.rend(); ++n) {
    if (n->marks != kPlain) ApplyMarks(Below(root, n->path), n->marks);
  }
}

// What is left below root, as relative paths joined by "/".
std::vector<std::string> Left(const std::string& root) {
  std::vector<std::string> out;
  for (const auto& entry : test::Snapshot(root)) out.push_back(entry.first);
  return out;
}

// ----------------------------------------------------------------- DeleteTree

const std::vector<Node> kFullTree = {
    {"t\\"},
    {"t\\a.txt"},
    {"t\\.h.txt", kHide},
    {"t\\sub\\"},
    {"t\\sub\\b.txt"},
    {"t\\sub\\deep\\"},
    {"t\\sub\\deep\\c"},
    {"t\\empty\\"},
    {"t\\.hd\\", kHide},
    {"t\\.hd\\x"},
};

struct DeleteCase {
  const char* label;
  std::vector<Node> tree;
  std::string target;              // below the root
  std::vector<std::string> left;   // below the root, "/" between parts
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.label; }

class DeleteTreeTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteTreeTest, RemovesWhatItMay) {
  const DeleteCase& c = GetParam();
  TempDir dir;
  Build(dir.path(), c.tree);
  DeleteTree(Below(dir.path(), c.target));
  EXPECT_EQ(Left(dir.path()), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteTreeTest,
    ::testing::Values(
        DeleteCase{"TrailingBackslash", kFullTree, "t\\", {}},
        DeleteCase{"NoTrailingBackslash", kFullTree, "t", {}},
        DeleteCase{"ReadOnlyFileKeepsEveryFolderAboveIt",
                   {{"t\\"},
                    {"t\\x\\"},
                    {"t\\x\\y\\"},
                    {"t\\x\\y\\ro.txt", kReadOnly},
                    {"t\\x\\y\\.h", kHide},
                    {"t\\x\\w.txt"},
                    {"t\\z\\"},
                    {"t\\z\\f.txt"}},
                   "t",
                   {"t", "t/x", "t/x/y", "t/x/y/ro.txt"}},
        // A byte-wise look at the last byte would take the trail byte for a
        // separator and form every entry path wrongly.
        DeleteCase{"GbkFolderEndingInTrailByte5C",
                   {{"t\\"},
                    {"t\\" + kGbk + "\\"},
                    {"t\\" + kGbk + "\\f"},
                    {"t\\" + kGbk + "\\" + kTrail5C + "\\"},
                    {"t\\" + kGbk + "\\" + kTrail5C + "\\g"},
                    {"t\\" + kGbk + "\\" + kTrail5C + "\\in\\"},
                    {"t\\" + kGbk + "\\" + kTrail5C + "\\in\\h"}},
                   "t\\" + kGbk + "\\" + kTrail5C,
                   {"t", "t/" + kGbk, "t/" + kGbk + "/f"}},
        DeleteCase{"MissingFolder", {{"t\\"}, {"t\\a"}}, "t\\nothere", {"t", "t/a"}},
        DeleteCase{"MissingFolderWithBackslash", {{"t\\"}, {"t\\a"}}, "t\\nothere\\", {"t", "t/a"}}
#ifdef _WIN32
        ,
        DeleteCase{"HiddenAndSystemAttributesDoNotProtect",
                   {{"t\\"},
                    {"t\\h.txt", kHide},
                    {"t\\s.txt", kSys},
                    {"t\\hs\\", kHide | kSys},
                    {"t\\hs\\f"},
                    {"t\\ar\\", kArch},
                    {"t\\ar\\g", kArch}},
                   "t",
                   {}}
#endif
        ),
    [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.label); });

// A link to a folder outside the tree is removed as a link; what it points
// at is never entered.
TEST(DeleteTree, LinkToAFolderIsRemovedNotFollowed) {
  TempDir dir;
  Build(dir.path(), {{"outside\\"}, {"outside\\keep.txt"}, {"t\\"}, {"t\\a"}});
  const std::string link = Below(dir.path(), "t\\link");
#ifdef _WIN32
  // Wine makes the link but reports it as a plain folder; there is then
  // nothing to tell it apart by.
  if (!CreateSymbolicLinkW(Cp936ToWide(link).c_str(), Cp936ToWide(Below(dir.path(), "outside")).c_str(),
                           SYMBOLIC_LINK_FLAG_DIRECTORY) ||
      !(fsys::GetAttributes(link).value_or(0) & fsys::kReparsePoint)) {
    RemoveDirectoryW(Cp936ToWide(link).c_str());
    GTEST_SKIP() << "this system reports no folder links";
  }
#else
  ASSERT_EQ(symlink((dir.path() + "/outside").c_str(), (dir.path() + "/t/link").c_str()), 0);
  ASSERT_TRUE(fsys::GetAttributes(link).value_or(0) & fsys::kReparsePoint);
#endif
  DeleteTree(Below(dir.path(), "t"));
  EXPECT_EQ(Left(dir.path()), (std::vector<std::string>{"outside", "outside/keep.txt"}));
}

// ------------------------------------------------------------------ ListFiles

struct ListCase {
  const char* label;
  std::vector<Node> tree;
  std::string start;                   // below the root, ending in "\", or "" for the root
  std::vector<std::string> expected;   // below the root, "\" between parts
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.label; }

class ListFilesTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListFilesTest, ListsVisibleFilesDepthFirst) {
  const ListCase& c = GetParam();
  TempDir dir;
  Build(dir.path(), c.tree);
  const std::string root = dir.path() + "\\";
  // The list is appended to, never cleared.
  std::vector<std::string> list = {"already there"};
  ListFiles(root + c.start, list);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front(), "already there");
  std::vector<std::string> found(list.begin() + 1, list.end());

  std::vector<std::string> expected;
  for (const std::string& rel : c.expected) expected.push_back(root + rel);
  std::vector<std::string> sorted = found;
  std::sort(sorted.begin(), sorted.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(sorted, expected);

  // The platform's order is free, but everything below a folder comes
  // together, where the folder was met.
  for (const Node& n : c.tree) {
    if (!IsFolder(n)) continue;
    const std::string prefix = root + n.path;
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < found.size(); ++i)
      if (found[i].compare(0, prefix.size(), prefix) == 0) at.push_back(i);
    if (!at.empty()) {
      EXPECT_EQ(at.back() - at.front() + 1, at.size()) << "files below " << n.path << " are split";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListFilesTest,
    ::testing::Values(
        ListCase{"HiddenFileAndEverythingInAHiddenFolderLeftOut",
                 {{"a.txt"}, {".h.txt", kHide}, {".hd\\", kHide}, {".hd\\in.txt"}, {"sub\\"}, {"sub\\b.txt"},
                  {"sub\\.h2", kHide}},
                 "",
                 {"a.txt", "sub\\b.txt"}},
        ListCase{"ReadOnlyAndArchiveFoldersAreEntered",
                 {{"ro\\", kReadOnly}, {"ro\\f.txt", kReadOnly}, {"ro\\deep\\"}, {"ro\\deep\\h"},
                  {"ar\\", kArch}, {"ar\\g.txt", kArch}},
                 "",
                 {"ro\\f.txt", "ro\\deep\\h", "ar\\g.txt"}},
        ListCase{"DepthFirstThroughGbkNames",
                 {{kGbk + "\\"}, {kGbk + "\\" + kTrail5C + "\\"}, {kGbk + "\\" + kTrail5C + "\\1"},
                  {kGbk + "\\" + kTrail5C + "\\2"}, {kGbk + "\\3"}, {"z\\"}, {"z\\4"}, {"5"}, {"m\\"}, {"m\\6"}},
                 "",
                 {kGbk + "\\" + kTrail5C + "\\1", kGbk + "\\" + kTrail5C + "\\2", kGbk + "\\3", "z\\4", "5",
                  "m\\6"}},
        ListCase{"StartBelowTheRoot", {{"s\\"}, {"s\\t\\"}, {"s\\t\\f"}, {"other"}}, "s\\", {"s\\t\\f"}},
        ListCase{"EmptyFolderAddsNothing", {{"e\\"}}, "e\\", {}},
        ListCase{"MissingFolderAddsNothing", {{"a"}}, "nothere\\", {}}
#ifdef _WIN32
        ,
        ListCase{"HiddenOrSystemByAttributeAlone",
                 {{"h.txt", kHide}, {"s.txt", kSys}, {"sd\\", kSys}, {"sd\\in.txt"}, {"ok.txt"}},
                 "",
                 {"ok.txt"}}
#endif
        ),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.label); });

// ------------------------------------------------------------- SaveTextToFile

struct SaveCase {
  const char* label;
  std::string text;
  std::string bytes;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.label; }

class SaveTextToFileTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveTextToFileTest, WritesEveryLineWithCrLf) {
  const SaveCase& c = GetParam();
  TempDir dir;
  ASSERT_TRUE(fsys::CreateDir(Below(dir.path(), kGbk)));
  const std::string path = Below(dir.path(), kGbk + "\\" + kGbk + ".da");
  // A longer file is there first: it must be replaced, not overwritten.
  test::WriteBytes(path, std::string(64, 'x'));
  SaveTextToFile(c.text, path);
  EXPECT_EQ(test::Hex(test::ReadBytes(path)), test::Hex(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveTextToFileTest,
    ::testing::Values(SaveCase{"EmptyTextEmptyFile", "", ""},
                      SaveCase{"LoneLfNoBreakAtTheEnd", "one\ntwo", "one\r\ntwo\r\n"},
                      SaveCase{"CrLfAtTheEndStartsNoLine", "a\r\nb\r\n", "a\r\nb\r\n"},
                      SaveCase{"LoneCr", "a\rb", "a\r\nb\r\n"},
                      SaveCase{"CrAtTheVeryEnd", "a\r", "a\r\n"},
                      SaveCase{"LfThenCrAreTwoBreaks", "a\n\rb", "a\r\n\r\nb\r\n"},
                      SaveCase{"EmptyLinesInside", "a\n\n\r\n\rb", "a\r\n\r\n\r\n\r\nb\r\n"},
                      SaveCase{"OnlyABreak", "\n", "\r\n"},
                      SaveCase{"GbkTextAndAZeroByte", kGbk + std::string("\0", 1) + kTrail5C + "\n" + kGbk,
                               kGbk + std::string("\0", 1) + kTrail5C + "\r\n" + kGbk + "\r\n"}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.label); });

TEST(SaveTextToFile, FailureReachesTheCallerNamingThePath) {
  TempDir dir;
  const std::string missing = Below(dir.path(), "nothere\\out.txt");
  try {
    SaveTextToFile("x", missing);
    ADD_FAILURE() << "no error for a file in a missing folder";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace vexa
