// The previous installation's clean-up: which manifest entries are read,
// which files go and which stay, and the component's unregistration in its
// own folder with the caller's current folder restored.
#include "win/oldinstall.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "codepage.h"
#include "fsys.h"
#include "testfs.h"
#include "win/manifest.h"
#include "win/winraii.h"

namespace vexa::win {
namespace {

// A manifest in the client's layout; the children are indented, as the
// client writes them, so white-space text nodes lie between them.
std::string Manifest(const std::string& children, const std::string& root = "root") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<" + root + ">\r\n" + children + "</" + root + ">\r\n";
}

std::string Entry(const std::string& place, const std::string& name, const std::string& type) {
  return "  <file place=\"" + place + "\" name=\"" + name + "\" type=\"" + type +
         "\" version=\"1.0\" update=\"0\"/>\r\n";
}

struct ManifestCase {
  const char* label;
  std::string xml;
  std::vector<std::wstring> listed;  // after the prefix "P"
};

class ManifestReading : public ::testing::TestWithParam<ManifestCase> {
 protected:
  ComInit com_;
  test::TempDir dir_;
};

TEST_P(ManifestReading, ListsEntriesUpToTheFirstOneLackingAnAttribute) {
  const std::string path = dir_ / "files.xml";
  test::WriteBytes(path, GetParam().xml);
  std::vector<std::wstring> expected;
  for (const auto& l : GetParam().listed) expected.push_back(L"P" + l);
  EXPECT_EQ(ReadManifest(Cp936ToWide(path), L"P"), expected);
}

const std::string kFour = Entry("\\", "Vexa", ".exe") + Entry("\\config\\", "set", ".ini") +
                          Entry("\\sqldrivers\\", "q", ".dll") + Entry("\\", "data", ".db");
const std::vector<std::wstring> kFourListed = {L"\\Vexa.exe", L"\\config\\set.ini", L"\\sqldrivers\\q.dll",
                                               L"\\data.db"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ManifestReading,
    ::testing::Values(
        ManifestCase{"all_entries", Manifest(kFour), kFourListed},
        ManifestCase{"fifth_lacks_type",
                     Manifest(kFour + "  <file place=\"\\\" name=\"five\"/>\r\n" + Entry("\\", "six", ".txt")),
                     kFourListed},
        ManifestCase{"comment_ends_the_list",
                     Manifest(kFour + "  <!-- more -->\r\n" + Entry("\\", "six", ".txt")), kFourListed},
        ManifestCase{"text_ends_the_list", Manifest(Entry("\\", "a", ".b") + "  words\r\n" + Entry("\\", "c", ".d")),
                     {L"\\a.b"}},
        ManifestCase{"empty_type_allowed", Manifest(Entry("\\", "README", "") + Entry("\\", "b", ".c")),
                     {L"\\README", L"\\b.c"}},
        ManifestCase{"attribute_order_and_element_names_free",
                     Manifest("<x type=\".t\" name=\"n\" place=\"\\p\\\"/><y place=\"\\\" type=\"\" name=\"m\"/>",
                              "list"),
                     {L"\\p\\n.t", L"\\m"}},
        ManifestCase{"non_ascii_names", Manifest(Entry("\\\xe6\x95\xb0\xe6\x8d\xae\\", "\xe6\x96\x87", ".db")),
                     {L"\\\x6570\x636e\\\x6587.db"}},
        ManifestCase{"no_children", Manifest(""), {}},
        ManifestCase{"malformed", "<root><file place=\"\\\" name=\"a\" type=\".b\">", {}},
        ManifestCase{"not_xml", "\x89PNG....", {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Manifest, MissingFileListsNothing) {
  ComInit com;
  test::TempDir dir;
  EXPECT_TRUE(ReadManifest(Cp936ToWide(dir / "none.xml"), L"P").empty());
}

// The test program's folder, where the probe component lies beside it.
std::string ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return WideToCp936(p.substr(0, p.find_last_of(L'\\') + 1));
}

std::wstring CurrentFolder() {
  wchar_t buf[MAX_PATH + 1];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, buf);
  std::wstring s(buf, n);
  if (s.size() > 3 && s.back() == L'\\') s.pop_back();
  return s;
}

// A previous installation below a temporary folder: its location (with a
// GBK-named level), the client folder and a current folder elsewhere.
class OldInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    location_ = dir_ / "\xbe\xc9\xb0\xe6\\";  // "旧版"
    client_ = location_ + "vevovidi";
    test::MakeDirs(client_ + "\\config");
    test::MakeDirs(dir_ / "elsewhere");
    saved_cwd_ = CurrentFolder();
    SetCurrentDirectoryW(Cp936ToWide(dir_ / "elsewhere").c_str());
  }
  void TearDown() override { SetCurrentDirectoryW(saved_cwd_.c_str()); }

  void PutProbeComponent() {
    ASSERT_TRUE(CopyFileW(Cp936ToWide(ProgramFolder() + "vexa_unregister_probe.dll").c_str(),
                          Cp936ToWide(client_ + "\\zroldexam.dll").c_str(), FALSE));
  }
  // The folder the probe's DllUnregisterServer ran in; nothing if it did not run.
  std::optional<std::wstring> ProbeTrace() {
    const std::string trace = client_ + "\\unregistered.txt";
    if (!fsys::FileExists(trace)) return std::nullopt;
    const std::string bytes = test::ReadBytes(trace);
    std::wstring s(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    if (s.size() > 3 && s.back() == L'\\') s.pop_back();
    return s;
  }

  test::TempDir dir_;
  std::string location_, client_;
  std::wstring saved_cwd_;
};

TEST_F(OldInstall, ComponentIsUnregisteredInItsOwnFolderAndTheCurrentFolderComesBack) {
  PutProbeComponent();
  const std::wstring before = CurrentFolder();
  UnregisterOldComponent(client_ + "\\zroldexam.dll");
  EXPECT_EQ(ProbeTrace(), std::optional<std::wstring>(Cp936ToWide(client_)));
  EXPECT_EQ(CurrentFolder(), before);
  // Unloaded again: the file can go.
  EXPECT_TRUE(DeleteFileW(Cp936ToWide(client_ + "\\zroldexam.dll").c_str()));
}

TEST_F(OldInstall, ComponentThatIsNoLibraryChangesNothing) {
  test::WriteBytes(client_ + "\\zroldexam.dll", "not a library");
  const std::wstring before = CurrentFolder();
  UnregisterOldComponent(client_ + "\\zroldexam.dll");
  UnregisterOldComponent(client_ + "\\missing.dll");
  EXPECT_EQ(CurrentFolder(), before);
}

TEST_F(OldInstall, DeletesListedFilesThatExistAndNothingElse) {
  PutProbeComponent();
  test::MakeDirs(client_ + "\\sqldrivers");
  for (const char* f : {"Vexa.exe", "config\\set.ini", "sqldrivers\\q.dll", "notes.txt", "sqldrivers\\later.dll"})
    test::WriteBytes(client_ + "\\" + f, "x");
  const char* listed[] = {"Vexa.exe", "zroldexam.dll", "config\\set.ini", "sqldrivers\\q.dll"};
  const char* kept[] = {"notes.txt", "config\\files.xml", "sqldrivers\\later.dll"};
  test::WriteBytes(client_ + "\\config\\files.xml",
                   Manifest(Entry("\\", "Vexa", ".exe") + Entry("\\", "absent", ".dll") +
                            Entry("\\", "zroldexam", ".dll") + Entry("\\config\\", "set", ".ini") +
                            Entry("\\sqldrivers\\", "q", ".dll") + "  <file place=\"\\\" name=\"x\"/>\r\n" +
                            Entry("\\sqldrivers\\", "later", ".dll")));

  CleanPreviousInstall(location_);

  EXPECT_TRUE(ProbeTrace().has_value()) << "DllUnregisterServer did not run";
  for (const char* f : listed) EXPECT_FALSE(fsys::FileExists(client_ + "\\" + f)) << f;
  for (const char* f : kept) EXPECT_TRUE(fsys::FileExists(client_ + "\\" + f)) << f;
  EXPECT_TRUE(fsys::DirectoryExists(client_ + "\\sqldrivers"));
}

TEST_F(OldInstall, LocationWithoutTrailingBackslashFindsNothing) {
  PutProbeComponent();
  test::WriteBytes(client_ + "\\Vexa.exe", "x");
  test::WriteBytes(client_ + "\\config\\files.xml", Manifest(Entry("\\", "Vexa", ".exe")));
  std::string bare = location_;
  bare.pop_back();
  CleanPreviousInstall(bare);
  EXPECT_FALSE(ProbeTrace().has_value());
  EXPECT_TRUE(fsys::FileExists(client_ + "\\Vexa.exe"));
}

}  // namespace
}  // namespace vexa::win
