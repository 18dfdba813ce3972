// The desktop shortcut: the whole replace sequence read back through the
// link object, where the link goes when the desktop value is missing, and
// the shell-folder lookup's handling of value names and types.
#include "win/shelllink.h"

#include <gtest/gtest.h>

#include "codepage.h"
#include "fsys.h"
#include "regbackup.h"
#include "testfs.h"
#include "win/resourcestream.h"
#include "win/winraii.h"

namespace vexa::win {
namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The shell's own source of the desktop folder: it rewrites "Shell Folders"
// from here whenever it looks a folder up (the link object does).
constexpr wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// "安装" in code page 936: a folder name the ANSI code page 1252 cannot hold.
constexpr char kGbkFolder[] = "\xb0\xb2\xd7\xb0";

// The current user's desktop is a temporary folder for the test, in both
// keys, so nothing reaches the real desktop; the values are put back
// afterwards, as is a probe value of another type.
class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desktop_value_.key());
    desktop_ = dir_ / "desk";
    test::MakeDirs(desktop_);
    test::SetSz(desktop_value_.key(), L"Desktop", Cp936ToWide(desktop_));
    ASSERT_TRUE(user_desktop_value_.key());
    test::SetSz(user_desktop_value_.key(), L"Desktop", Cp936ToWide(desktop_), REG_EXPAND_SZ);
  }

  std::wstring LinkPath() const { return Cp936ToWide(desktop_ + "\\" + kShortcutFileName); }

  ComInit com_;
  test::TempDir dir_;
  std::string desktop_;
  test::ValueBackup desktop_value_{HKEY_CURRENT_USER, kShellFolders, L"Desktop"};
  test::ValueBackup user_desktop_value_{HKEY_CURRENT_USER, kUserShellFolders, L"Desktop"};
  test::ValueBackup probe_value_{HKEY_CURRENT_USER, kShellFolders, L"VexaProbe"};
};

TEST_F(ShortcutTest, CreatesTheClientShortcutReplacingAnOldOneAndTheIcon) {
  const std::string target = dir_ / (std::string(kGbkFolder) + "\\vevovidi");
  test::MakeDirs(target);
  test::WriteBytes(target + "\\Vexa.exe", "MZ");
  test::WriteBytes(target + "\\logo.ico", std::string(4000, 'o'));

  ShellLinkFields old;
  old.target = Cp936ToWide(dir_ / "elsewhere.exe");
  old.working_dir = Cp936ToWide(dir_.path());
  old.description = L"old";
  old.icon_path = old.target;
  old.icon_index = 3;
  ASSERT_TRUE(SaveShellLink(LinkPath(), old));
  ASSERT_EQ(ReadShellLink(LinkPath()).description, L"old");

  CreateDesktopShortcut(target);

  const ShellLinkFields got = ReadShellLink(LinkPath());
  const std::wstring wtarget = Cp936ToWide(target);
  EXPECT_EQ(got.target, wtarget + L"\\Vexa.exe");
  EXPECT_EQ(got.working_dir, wtarget + L"\\");
  EXPECT_EQ(got.description, L"Miravo\x8f6f\x4ef6\x7cfb\x7edf\x6709\x9650\x516c\x53f8");
  EXPECT_EQ(got.icon_path, wtarget + L"\\logo.ico");
  EXPECT_EQ(got.icon_index, 0);
  EXPECT_EQ(got.arguments, L"");
  EXPECT_EQ(test::ReadBytes(target + "\\logo.ico"), ResourceBytes("TXTFILE", "ICO"));
}

TEST_F(ShortcutTest, IconThatCannotBeWrittenRaisesBeforeAnyLinkIsMade) {
  EXPECT_THROW(CreateDesktopShortcut(dir_ / "missing\\vevovidi"), EStreamError);
  EXPECT_FALSE(fsys::FileExists(desktop_ + "\\" + kShortcutFileName));
}

TEST_F(ShortcutTest, LinkPathFollowsTheDesktopValue) {
  EXPECT_EQ(DesktopLinkPath(), LinkPath());

  test::SetSz(desktop_value_.key(), L"Desktop", L"C:\\Users\\x\\Desk", REG_EXPAND_SZ);
  EXPECT_EQ(DesktopLinkPath(), L"C:\\Users\\x\\Desk\\MiravoVexa.lnk");

  RegDeleteValueW(desktop_value_.key(), L"Desktop");
  EXPECT_EQ(DesktopLinkPath(), L"\\MiravoVexa.lnk");
  EXPECT_EQ(GetShellFolder("DESKTOP"), "");

  test::SetDword(desktop_value_.key(), L"Desktop", 7);
  EXPECT_THROW(DesktopLinkPath(), ERegistryError);
}

TEST_F(ShortcutTest, ShellFolderNamesMatchWithoutCaseAndOnlyStringsAreRead) {
  EXPECT_EQ(GetShellFolder("DESKTOP"), desktop_);
  EXPECT_EQ(GetShellFolder("desktop"), desktop_);
  EXPECT_EQ(GetShellFolder("VexaNoSuchFolder"), "");
  test::SetDword(probe_value_.key(), L"VexaProbe", 1);
  EXPECT_THROW(GetShellFolder("VexaProbe"), ERegistryError);
}

TEST_F(ShortcutTest, ReadingSomethingThatIsNoLinkRaises) {
  const std::string path = dir_ / "not-a-link.lnk";
  test::WriteBytes(path, "plain text");
  EXPECT_THROW(ReadShellLink(Cp936ToWide(path)), EComError);
}

}  // namespace
}  // namespace vexa::win
