// The installer's rules: the location check, the default drive, the version
// gate, the target folder and the record's path.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "codepage.h"
#include "installrules.h"

namespace vexa::rules {
namespace {

using Bytes = std::optional<std::uint64_t>;
constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kPlenty = 4096 * kMiB;

// Double-byte characters whose trail byte looks like "\" and "|".
const std::string kTrail5C = "\x81\x5c";  // 乗
const std::string kTrail7C = "\x83\x7c";  // 億

std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

// A code page 936 text as UTF-8, to compare with its Chinese spelling here.
std::string Utf8(const std::string& gbk) {
#ifdef _WIN32
  const std::wstring w = Cp936ToWide(gbk);
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
#else
  return Cp936ToUtf8(gbk);
#endif
}

TEST(Messages, HoldTheirTextsInCodePage936) {
#define ROW(constant, text) {#constant, constant, u8##text}
  const struct {
    const char* name;
    const char* gbk;
    const char* utf8;
  } rows[] = {
      ROW(kMsgPathTooLong, "目录路径过长请重新选择,请更换目录"),
      ROW(kMsgNoSuchDrive, "必须安装在现有磁盘分区,请更换目录"),
      ROW(kMsgDriveMissing, "磁盘分区不存在,请更换目录"),
      ROW(kMsgBadDrivePath, "磁盘路径不正确,请更换目录"),
      ROW(kMsgIllegalChar, "所选目录存在非法字符,请重新选择安装目录"),
      ROW(kMsgLowDiskSpace, "磁盘空间不足,请更换盘符"),
      ROW(kNoticeCaption, "温馨提示"),
      ROW(kMsgChooseCorrectPath, "请选择正确的安装路径"),
      ROW(kBrowseTitle, "请选择安装路径"),
      ROW(kCaptionInstalling, "正在安装中请稍后......"),
      ROW(kCaptionInstalled, "安装完成"),
      ROW(kMsgFileInUse, "安装目录有文件被占用请清空安装目录后重试"),
      ROW(kMsgOutdatedHead, "亲爱的用户你好,你的Vexa安装文件不是最新版本,请访问"),
      ROW(kMsgOutdatedTail, " 进行下载"),
  };
#undef ROW
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utf8(row.gbk), row.utf8);
  }
}

// Drives C, D and E as GetLogicalDriveStrings fills its zeroed buffer.
const std::string kDrivesCDE("C:\\\0D:\\\0E:\\\0\0\0\0", 16);

struct LocationRow {
  const char* name;
  std::string typed;
  bool unrepresentable;
  Bytes free;           // the query's answer, whatever drive it is asked for
  const char* message;  // expected label text; "" when usable
  const char* asked;    // drive part the query is asked for; "" when not asked
};

TEST(CheckInstallLocation, TestsInOrderWithTheirMessages) {
  const LocationRow rows[] = {
      {"empty", "", false, kPlenty, kMsgNoSuchDrive, ""},
      {"capitals judged lower-cased", "C:\\Vexa", false, kPlenty, "", "c:"},
      {"lower case", "c:\\vexa", false, kPlenty, "", "c:"},
      {"run of four backslashes", "c:\\\\\\\\vexa", false, kPlenty, "", "c:"},
      {"bare drive letter", "d", false, kPlenty, kMsgBadDrivePath, ""},
      {"drive with colon only", "c:", false, kPlenty, "", "c:"},
      {"drive not in the list", "x:\\vexa", false, kPlenty, kMsgNoSuchDrive, ""},
      {"UNC path", "\\\\server\\share", false, kPlenty, kMsgNoSuchDrive, ""},
      {"colon and backslash first", ":\\vexa", false, kPlenty, kMsgDriveMissing, ""},
      {"no colon after the letter", "c\\vexa", false, kPlenty, kMsgNoSuchDrive, ""},
      {"drive part found across two roots", "\\data", false, kPlenty, kMsgBadDrivePath, ""},
      {"slash", "c:/vexa", false, kPlenty, kMsgIllegalChar, ""},
      {"second colon", "c:\\a:b", false, kPlenty, kMsgIllegalChar, ""},
      {"asterisk", "c:\\a*b", false, kPlenty, kMsgIllegalChar, ""},
      {"question mark", "c:\\a?b", false, kPlenty, kMsgIllegalChar, ""},
      {"double quote", "c:\\\"ab\"", false, kPlenty, kMsgIllegalChar, ""},
      {"less-than", "c:\\a<b", false, kPlenty, kMsgIllegalChar, ""},
      {"greater-than", "c:\\a>b", false, kPlenty, kMsgIllegalChar, ""},
      {"vertical bar", "c:\\a|b", false, kPlenty, kMsgIllegalChar, ""},
      {"character 936 cannot hold", "c:\\a?", true, kPlenty, kMsgIllegalChar, ""},
      {"unrepresentable, substitute not visible", "c:\\vexa", true, kPlenty, kMsgIllegalChar, ""},
      {"unrepresentable on a missing drive", "x:\\a?", true, kPlenty, kMsgNoSuchDrive, ""},
      {"trail byte 7C is no vertical bar", "c:\\" + kTrail7C, false, kPlenty, "", "c:"},
      {"11 items, 31 bytes", "c:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\jjjjjjjjjj", false, kPlenty, kMsgPathTooLong, ""},
      {"11 items, 30 bytes", "c:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\jjjjjjjjj", false, kPlenty, "", "c:"},
      {"10 items, 40 bytes", "c:\\aaaaaaaaaaaa\\b\\c\\d\\e\\f\\g\\h\\iiiiiiiiii", false, kPlenty, "", "c:"},
      {"length counted after collapsing", "c:\\a\\\\b\\c\\d\\e\\f\\g\\h\\i\\jjjjjjjjj", false, kPlenty, "", "c:"},
      {"final backslash is an item", "c:\\a\\b\\c\\d\\e\\f\\g\\h\\iiiiiiiiiiii\\", false, kPlenty, kMsgPathTooLong, ""},
      {"same without it", "c:\\a\\b\\c\\d\\e\\f\\g\\h\\iiiiiiiiiiii", false, kPlenty, "", "c:"},
      {"spaces separate items", "c:\\a b c d e f g h i j k l m n o", false, kPlenty, kMsgPathTooLong, ""},
      {"quoted text is one item", "c:\\\"a\\b\\c\\d\\e\\f\\g\\h\\i\\jjjjjjjjjj\"", false, kPlenty, kMsgIllegalChar, ""},
      {"too long comes before illegal", "c:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\jjjjjj*jjjj", false, kPlenty, kMsgPathTooLong, ""},
      {"trail byte 5C is no separator", "c:\\" + Repeat(kTrail5C, 14), false, kPlenty, "", "c:"},
      {"149.5 MiB passes", "c:\\vexa", false, 156762112, "", "c:"},
      {"one byte less fails", "c:\\vexa", false, 156762111, kMsgLowDiskSpace, "c:"},
      {"148.5 MiB rounds to even 148", "c:\\vexa", false, 1485 * kMiB / 10, kMsgLowDiskSpace, "c:"},
      {"failed query counts as 1 MiB", "e:\\vexa", false, std::nullopt, kMsgLowDiskSpace, "e:"},
      {"query gets the lower-cased drive part", "D:\\Vexa", false, kPlenty, "", "d:"},
  };
  for (const LocationRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> asked;
    const FreeSpaceQuery query = [&](const std::string& dir) {
      asked.push_back(dir);
      return row.free;
    };
    const LocationVerdict v = CheckInstallLocation(row.typed, row.unrepresentable, kDrivesCDE, query);
    EXPECT_EQ(v.message, row.message);
    EXPECT_EQ(v.install_enabled, v.message.empty());
    EXPECT_EQ(asked, *row.asked ? std::vector<std::string>{row.asked} : std::vector<std::string>{});
  }
}

TEST(CheckInstallLocation, FailedDriveListRefusesEveryLocation) {
  const FreeSpaceQuery plenty = [](const std::string&) { return Bytes(kPlenty); };
  EXPECT_EQ(CheckInstallLocation("c:\\vexa", false, std::string(105, '\0'), plenty).message, kMsgNoSuchDrive);
  EXPECT_EQ(CheckInstallLocation("c:\\vexa", false, "", plenty).message, kMsgNoSuchDrive);
}

TEST(CountPathItems, SplitsAtBackslashesBlanksAndQuotes) {
  const struct {
    const char* name;
    std::string text;
    std::size_t items;
  } rows[] = {
      {"empty", "", 0},
      {"blanks only", " \t ", 0},
      {"one item", "c:", 1},
      {"leading backslash gives an empty first item", "\\a", 2},
      {"leading blanks then backslash", "  \\a", 2},
      {"final backslash gives an empty last item", "a\\", 2},
      {"blank after the final backslash", "a\\ ", 1},
      {"blanks around items", "  a  b ", 2},
      {"blank after a backslash", "a\\ b", 2},
      {"backslash after blanks", "a \\b", 2},
      {"empty item between blanked backslashes", "a\\ \\b", 3},
      {"quoted with backslash and blank", "\"a\\b c\"\\d", 2},
      {"doubled quote stays inside", "\"a\"\"b c\"", 1},
      {"unclosed quote runs to the end", "\"a\\b c", 1},
      {"quote inside an item does not group", "ab\"c d\"", 2},
      {"text right after a closing quote", "\"a\"b", 2},
      {"trail byte 5C inside an item", "a" + kTrail5C + "b\\c", 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CountPathItems(row.text), row.items);
  }
}

TEST(WholeMebibytes, RoundsHalvesToEven) {
  const struct {
    const char* name;
    std::uint64_t bytes;
    std::uint64_t mib;
  } rows[] = {
      {"zero", 0, 0},
      {"just under a half", kMiB / 2 - 1, 0},
      {"a half goes to 0", kMiB / 2, 0},
      {"one and a half goes to 2", 3 * kMiB / 2, 2},
      {"149.5 goes to 150", 156762112, 150},
      {"just under 149.5", 156762111, 149},
      {"150.5 goes to 150", 157810688, 150},
      {"just over 150.5", 157810689, 151},
      {"151.5 goes to 152", 1515 * kMiB / 10, 152},
      {"largest count", ~std::uint64_t{0}, std::uint64_t{1} << 44},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WholeMebibytes(row.bytes), row.mib);
  }
}

TEST(DriveRoots, ReadsTheBufferUpToTheEmptyEntry) {
  EXPECT_EQ(DriveRoots(kDrivesCDE), (std::vector<std::string>{"C:\\", "D:\\", "E:\\"}));
  EXPECT_EQ(DriveRoots(std::string("C:\\\0\0Z:\\\0", 9)), std::vector<std::string>{"C:\\"});
  EXPECT_EQ(DriveRoots(std::string("C:\\\0D:\\", 7)), (std::vector<std::string>{"C:\\", "D:\\"}));
  EXPECT_TRUE(DriveRoots(std::string(105, '\0')).empty());
}

TEST(ChooseDefaultLocation, FirstAnsweringRootDecides) {
  const struct {
    const char* name;
    std::map<std::string, Bytes> answers;  // roots missing here do not answer
    std::optional<std::string> location;
    std::vector<std::string> asked;
  } rows[] = {
      {"first root with room", {{"C:\\", kPlenty}, {"D:\\", kPlenty}}, "C:\\vexa\\", {"C:\\"}},
      {"silent roots passed over", {{"E:\\", kPlenty}}, "E:\\vexa\\", {"C:\\", "D:\\", "E:\\"}},
      {"too small decides alone", {{"C:\\", 100 * kMiB}, {"D:\\", kPlenty}}, std::nullopt, {"C:\\"}},
      {"exactly 150.5 MiB is not enough", {{"D:\\", 157810688}}, std::nullopt, {"C:\\", "D:\\"}},
      {"one byte more is", {{"D:\\", 157810689}}, "D:\\vexa\\", {"C:\\", "D:\\"}},
      {"no root answers", {}, std::nullopt, {"C:\\", "D:\\", "E:\\"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> asked;
    const FreeSpaceQuery query = [&](const std::string& root) {
      asked.push_back(root);
      const auto it = row.answers.find(root);
      return it == row.answers.end() ? Bytes() : it->second;
    };
    EXPECT_EQ(ChooseDefaultLocation(kDrivesCDE, query), row.location);
    EXPECT_EQ(asked, row.asked);
  }
  EXPECT_EQ(ChooseDefaultLocation(std::string(105, '\0'), [](const std::string&) { return Bytes(kPlenty); }),
            std::nullopt);
}

TEST(VersionGate, NormalisesAndComparesWithTheLimit) {
  const struct {
    const char* recorded;
    const char* normalised;
    bool outdated;
  } rows[] = {
      {"V2.29", "229", false},
      {"V2.30", "230", true},
      {"V3.0", "30", false},
      {"2.30", "2.30", false},
      {"", "", false},
      {"100", "100", false},
      {"230", "230", true},
      {"v10.0.0", "1000", true},
      {"V0229", "0229", false},
      {"X2v30", "2v30", false},
      {"V99999999999999999999", "99999999999999999999", true},
      {"V2.3 ", "23 ", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.recorded);
    const std::string normalised = NormaliseInstalledVersion(row.recorded);
    EXPECT_EQ(normalised, row.normalised);
    EXPECT_EQ(ExceedsVersionLimit(normalised), row.outdated);
  }
  EXPECT_FALSE(ExceedsVersionLimit(NormaliseInstalledVersion(kNoInstalledVersion)));
  EXPECT_FALSE(ExceedsVersionLimit(NormaliseInstalledVersion(kInstallerVersion)));
}

TEST(VersionGate, MessageSurroundsTheAddress) {
  EXPECT_EQ(Utf8(OutdatedInstallerMessage("http://x/")),
            u8"亲爱的用户你好,你的Vexa安装文件不是最新版本,请访问http://x/ 进行下载");
}

TEST(PlanTargetFolder, FromTheTypedLocation) {
  const struct {
    const char* name;
    std::string typed;
    std::optional<std::string> target;  // nothing: refused
  } rows[] = {
      {"bare drive", "D:", "D:\\vevovidi"},
      {"drive root", "D:\\", "D:\\vevovidi"},
      {"folder", "D:\\vexa", "D:\\vexa\\vevovidi"},
      {"folder with final backslash", "D:\\vexa\\", "D:\\vexa\\vevovidi"},
      {"doubled backslash", "D:\\\\vexa", "D:\\vexa\\vevovidi"},
      {"three backslashes", "D:\\\\\\vexa\\\\\\", "D:\\vexa\\vevovidi"},
      {"surrounding blanks", " \t D:\\vexa  ", "D:\\vexa\\vevovidi"},
      {"blank inside a name", "D:\\My Files\\vexa", "D:\\My Files\\vexa\\vevovidi"},
      {"trail byte 5C last", "D:\\" + kTrail5C, "D:\\" + kTrail5C + "\\vevovidi"},
      {"no drive part", "vexa", std::nullopt},
      {"colon elsewhere first", "ab:\\vexa", std::nullopt},
      {"empty", "", std::nullopt},
      {"blanks only", "   ", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<TargetFolder> plan = PlanTargetFolder(row.typed);
    ASSERT_EQ(plan.has_value(), row.target.has_value());
    if (plan) {
      EXPECT_EQ(plan->target(), *row.target);
    }
  }
}

TEST(PlanTargetFolder, MakesEachLevelAfterTheDrive) {
  const std::optional<TargetFolder> plan = PlanTargetFolder("D:\\\\My Files\\vexa");
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->drive, "D:");
  EXPECT_EQ(plan->levels, (std::vector<std::string>{"D:\\My Files", "D:\\My Files\\vexa",
                                                     "D:\\My Files\\vexa\\vevovidi"}));
}

TEST(RecordPath, EndsWithBackslashAfterOnePass) {
  const struct {
    const char* name;
    std::string typed;
    std::string path;
  } rows[] = {
      {"folder", "D:\\vexa", "D:\\vexa\\"},
      {"folder with final backslash", "D:\\vexa\\", "D:\\vexa\\"},
      {"drive root", "D:\\", "D:\\"},
      {"one-letter folder", "D:\\a", "D:\\a\\"},
      {"surrounding blanks", "  D:\\vexa\t", "D:\\vexa\\"},
      {"blank inside kept", "D:\\My Files", "D:\\My Files\\"},
      {"doubled backslash", "D:\\\\vexa", "D:\\vexa\\"},
      {"three keep a doubled one", "D:\\\\\\vexa", "D:\\\\vexa\\"},
      {"four give two", "D:\\\\\\\\vexa", "D:\\\\vexa\\"},
      {"doubled final backslash", "D:\\vexa\\\\", "D:\\vexa\\"},
      {"trail byte 5C last", "D:\\" + kTrail5C, "D:\\" + kTrail5C + "\\"},
      {"trail byte 5C before backslash", "D:\\" + kTrail5C + "\\", "D:\\" + kTrail5C + "\\"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RecordPathFromLocation(row.typed), row.path);
  }
  EXPECT_EQ(OldInstallDirFromRecord("D:\\\\vexa\\\\"), "D:\\vexa\\");
  EXPECT_EQ(OldInstallDirFromRecord("D:\\" + kTrail5C + "\\"), "D:\\" + kTrail5C + "\\");
}

TEST(LastTimeText, DropsTheTimeAtMidnight) {
  EXPECT_EQ(LastTimeText("2024/5/6", "13:04:05", false), "2024/5/6 13:04:05");
  EXPECT_EQ(LastTimeText("2024/5/6", "0:00:00", true), "2024/5/6");
}

}  // namespace
}  // namespace vexa::rules
