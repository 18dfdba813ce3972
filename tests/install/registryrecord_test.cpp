// The installation record: written as three REG_SZ values with their
// terminating zero, read back with the start-up's rules (a value that is not
// REG_SZ stops the reading where it stands), and the time text.
#include "win/registryrecord.h"

#include <gtest/gtest.h>

#include <functional>

#include "codepage.h"
#include "installrules.h"
#include "regbackup.h"
#include "win/winraii.h"

namespace vexa::win {
namespace {

class RecordTest : public ::testing::Test {
 protected:
  test::KeyBackup backup_{HKEY_LOCAL_MACHINE, kInstallRecordKey};

  HKEY Key() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    keys_.emplace_back(key);
    return key;
  }

 private:
  std::vector<UniqueKey> keys_;
};

// "D:\安装\" in code page 936.
const std::string kGbkPath = "D:\\\xb0\xb2\xd7\xb0\\";

TEST_F(RecordTest, WritesThreeZeroTerminatedStringsAndKeepsOtherValues) {
  test::SetSz(Key(), L"other", L"kept");
  ASSERT_TRUE(WriteInstallRecord("V2.29", kGbkPath, "2024/3/5 13:07:09"));

  const std::pair<const wchar_t*, std::wstring> expected[] = {
      {L"version", L"V2.29"}, {L"path", L"D:\\\x5b89\x88c5\\"}, {L"lasttime", L"2024/3/5 13:07:09"},
      {L"other", L"kept"}};
  for (const auto& [name, text] : expected) {
    SCOPED_TRACE(WideToCp936(name));
    test::SavedValue v;
    ASSERT_TRUE(test::ReadValue(Key(), name, v));
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(v.data.size(), (text.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(v.data.data()), text.size() + 1),
              text + std::wstring(1, L'\0'));
  }

  const InstallRecord back = ReadInstallRecord();
  EXPECT_TRUE(back.opened);
  EXPECT_EQ(back.version, std::optional<std::string>("V2.29"));
  EXPECT_EQ(back.path, std::optional<std::string>(kGbkPath));
}

TEST_F(RecordTest, RewriteReplacesTheValues) {
  ASSERT_TRUE(WriteInstallRecord("V2.28", "C:\\old\\", "x"));
  ASSERT_TRUE(WriteInstallRecord("V2.29", "D:\\new\\", "y"));
  const InstallRecord back = ReadInstallRecord();
  EXPECT_EQ(back.version, std::optional<std::string>("V2.29"));
  EXPECT_EQ(back.path, std::optional<std::string>("D:\\new\\"));
}

struct ReadCase {
  const char* label;
  std::function<void(HKEY)> prepare;  // null: no key at all
  bool opened;
  std::optional<std::string> version, path;
};

class RecordReading : public RecordTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(RecordReading, StopsAtTheFirstValueThatIsNoPlainString) {
  const ReadCase& c = GetParam();
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kInstallRecordKey);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kInstallRecordKey);
  if (c.prepare) c.prepare(Key());
  const InstallRecord r = ReadInstallRecord();
  EXPECT_EQ(r.opened, c.opened);
  EXPECT_EQ(r.version, c.version);
  EXPECT_EQ(r.path, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordReading,
    ::testing::Values(
        ReadCase{"no_key", nullptr, false, std::nullopt, std::nullopt},
        ReadCase{"empty_key", [](HKEY) {}, true, "", ""},
        ReadCase{"both", [](HKEY k) { test::SetSz(k, L"version", L"V2.30"); test::SetSz(k, L"path", L"D:\\\\vexa\\\\"); },
                 true, "V2.30", "D:\\\\vexa\\\\"},
        ReadCase{"version_only", [](HKEY k) { test::SetSz(k, L"version", L"V2.29"); }, true, "V2.29", ""},
        ReadCase{"version_dword", [](HKEY k) { test::SetDword(k, L"version", 229); test::SetSz(k, L"path", L"D:\\"); },
                 true, std::nullopt, std::nullopt},
        ReadCase{"path_dword", [](HKEY k) { test::SetSz(k, L"version", L"V2.29"); test::SetDword(k, L"path", 1); },
                 true, "V2.29", std::nullopt},
        ReadCase{"version_expand_sz",
                 [](HKEY k) { test::SetSz(k, L"version", L"V2.29", REG_EXPAND_SZ); test::SetSz(k, L"path", L"D:\\"); },
                 true, std::nullopt, std::nullopt},
        ReadCase{"stored_without_zero",
                 [](HKEY k) {
                   RegSetValueExW(k, L"version", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"V2.29"), 5 * sizeof(wchar_t));
                 },
                 true, "V2.29", ""},
        ReadCase{"stops_at_embedded_zero",
                 [](HKEY k) {
                   RegSetValueExW(k, L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"D:\\\0junk"), 9 * sizeof(wchar_t));
                 },
                 true, "", "D:\\"}),
    [](const auto& info) { return std::string(info.param.label); });

// The record's time text as the completion step puts it together, in the
// locale's own formats: the user's choices for the locale (which another
// program in the same prefix may change at any time) are left out.
std::string RecordTime(const SYSTEMTIME& t, LCID locale) {
  return rules::LastTimeText(ShortDateText(t, locale, false), LongTimeText(t, locale, false), IsExactMidnight(t));
}

SYSTEMTIME At(WORD hour, WORD minute, WORD second, WORD ms) {
  SYSTEMTIME t{};
  t.wYear = 2024;
  t.wMonth = 3;
  t.wDay = 5;
  t.wDayOfWeek = 2;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  t.wMilliseconds = ms;
  return t;
}

struct TimeCase {
  const char* label;
  LCID locale;
  SYSTEMTIME time;
  const char* text;
};

class RecordTimeText : public ::testing::TestWithParam<TimeCase> {};

TEST_P(RecordTimeText, DateBlankTimeWithNoTimeAtMidnight) {
  EXPECT_EQ(RecordTime(GetParam().time, GetParam().locale), GetParam().text);
}

const LCID kEnUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
const LCID kZhCn = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordTimeText,
    ::testing::Values(TimeCase{"en_afternoon", kEnUs, At(13, 7, 9, 0), "3/5/2024 1:07:09 PM"},
                      TimeCase{"en_midnight", kEnUs, At(0, 0, 0, 0), "3/5/2024"},
                      TimeCase{"en_just_after_midnight", kEnUs, At(0, 0, 0, 1), "3/5/2024 12:00:00 AM"},
                      TimeCase{"zh_afternoon", kZhCn, At(13, 7, 9, 0), "2024/3/5 13:07:09"},
                      TimeCase{"zh_midnight", kZhCn, At(0, 0, 0, 0), "2024/3/5"},
                      TimeCase{"zh_morning", kZhCn, At(10, 30, 0, 0), "2024/3/5 10:30:00"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace vexa::win
