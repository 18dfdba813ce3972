// The sample client as the installer receives it: the payload resource
// linked into this program unpacks, on Windows and whatever the ANSI code
// page, into the client folder; and the old component's DllUnregisterServer
// leaves its trace in its own folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codepage.h"
#include "fsys.h"
#include "testfs.h"
#include "uzrcommon.h"
#include "win/winraii.h"

namespace {

using vexa::Cp936ToWide;
using vexa::WideToCp936;
using vexa::test::TempDir;

// The bytes of this program's resource "VEXA" of type "TXTFILE"; empty when
// it is missing.
std::string PayloadBytes() {
  HRSRC res = FindResourceW(nullptr, L"VEXA", L"TXTFILE");
  if (!res) return {};
  HGLOBAL data = LoadResource(nullptr, res);
  const void* p = data ? LockResource(data) : nullptr;
  return p ? std::string(static_cast<const char*>(p), SizeofResource(nullptr, res)) : std::string();
}

// The payload written out below folder, as the installer's worker does it.
void UnpackPayload(const std::string& folder) {
  const std::string bytes = PayloadBytes();
  ASSERT_FALSE(bytes.empty()) << "no resource VEXA of type TXTFILE";
  vexa::TStringStream packed(bytes);
  vexa::TStringStream archive;
  vexa::DecompressStream(packed, archive);
  std::string why;
  ASSERT_TRUE(vexa::UnpackDirectory(folder, archive, &why)) << why;
}

// The names in folder, as the wide listing gives them.
std::vector<std::wstring> WideNames(const std::string& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  vexa::win::UniqueFind find(FindFirstFileW((Cp936ToWide(folder) + L"\\*").c_str(), &fd));
  if (!find) return names;
  do {
    const std::wstring n = fd.cFileName;
    if (n != L"." && n != L"..") names.push_back(n);
  } while (FindNextFileW(find.get(), &fd));
  return names;
}

std::string Utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

std::wstring CurrentFolder() {
  wchar_t buf[MAX_PATH + 1];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, buf);
  return n > 0 && n <= MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

// Puts the process's current folder back when the test ends.
class CurrentFolderScope {
 public:
  CurrentFolderScope() : saved_(CurrentFolder()) {}
  ~CurrentFolderScope() { SetCurrentDirectoryW(saved_.c_str()); }
  CurrentFolderScope(const CurrentFolderScope&) = delete;
  CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

 private:
  std::wstring saved_;
};

TEST(ClientPayload, UnpacksIntoTheClientFolderWithItsChineseName) {
  TempDir tmp;
  const std::string folder = tmp / "vevovidi";
  UnpackPayload(folder);
  if (HasFatalFailure()) return;

  for (const char* program : {"Vexa.exe", "zrie.exe", "zrerr.exe", "zroldexam.dll"}) {
    SCOPED_TRACE(program);
    EXPECT_EQ(vexa::test::ReadBytes(folder + "\\" + program).substr(0, 2), "MZ");
  }
  EXPECT_TRUE(vexa::fsys::FileExists(folder + "\\config\\files.xml"));
  // The name is stored in code page 936 and must come out as the same
  // characters under any ANSI code page.
  const std::vector<std::wstring> data = WideNames(folder + "\\data");
  EXPECT_NE(std::find(data.begin(), data.end(), std::wstring(L"考试说明.txt")), data.end());
  EXPECT_EQ(vexa::test::ReadBytes(folder + "\\" + WideToCp936(L"data\\考试说明.txt")),
            WideToCp936(L"考试须知：请在规定时间内完成作答。\r\n"));
  EXPECT_EQ(vexa::test::ReadBytes(folder + "\\data\\blank.dat"), "");
  EXPECT_TRUE(vexa::fsys::DirectoryExists(folder + "\\logs"));
  EXPECT_TRUE(WideNames(folder + "\\logs").empty());
}

// The component is called from a current folder other than its own: the
// trace goes beside the DLL and records the caller's current folder, one
// line per call.
TEST(ClientComponent, DllUnregisterServerLeavesItsTraceBesideTheDll) {
  TempDir tmp;
  const std::string installed = tmp / WideToCp936(L"旧版\\vevovidi");
  vexa::test::MakeDirs(tmp / WideToCp936(L"旧版"));
  UnpackPayload(installed);
  if (HasFatalFailure()) return;
  const std::string elsewhere = tmp / WideToCp936(L"别处");
  vexa::test::MakeDirs(elsewhere);

  CurrentFolderScope restore;
  ASSERT_TRUE(SetCurrentDirectoryW(Cp936ToWide(elsewhere).c_str()));
  const std::string line = Utf8(CurrentFolder()) + "\r\n";
  {
    vexa::win::UniqueModule dll(LoadLibraryW(Cp936ToWide(installed + "\\zroldexam.dll").c_str()));
    ASSERT_TRUE(dll) << "LoadLibraryW failed: " << GetLastError();
    // Exported under its plain name, as callers look it up.
    const FARPROC proc = GetProcAddress(dll.get(), "DllUnregisterServer");
    ASSERT_NE(proc, nullptr);
    const auto unregister = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void (*)()>(proc));
    EXPECT_EQ(unregister(), S_OK);
    EXPECT_EQ(unregister(), S_OK);
  }
  EXPECT_EQ(vexa::test::ReadBytes(installed + "\\unregistered.txt"), line + line);
  EXPECT_FALSE(vexa::fsys::FileExists(elsewhere + "\\unregistered.txt"));
}

}  // namespace
