#include "win/shelllink.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "codepage.h"
#include "win/registry.h"
#include "win/resourcestream.h"
#include "win/winraii.h"

namespace vexa::win {

namespace {

constexpr wchar_t kExplorerKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kShellFoldersSubkey[] = L"Shell Folders";

std::string HresultText(HRESULT hr) {
  char text[16];
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

ComPtr<IShellLinkW> CreateLinkObject() {
  ComPtr<IShellLinkW> link;
  const HRESULT hr =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void());
  if (FAILED(hr)) throw EComError("The shell link object is not available (" + HresultText(hr) + ").");
  return link;
}

ComPtr<IPersistFile> PersistFileOf(IShellLinkW* link) {
  ComPtr<IPersistFile> file;
  const HRESULT hr = link->QueryInterface(IID_IPersistFile, file.put_void());
  if (FAILED(hr)) throw EComError("The shell link object offers no IPersistFile (" + HresultText(hr) + ").");
  return file;
}

void SetFields(IShellLinkW* link, const ShellLinkFields& f) {
  link->SetPath(f.target.c_str());
  link->SetWorkingDirectory(f.working_dir.c_str());
  link->SetDescription(f.description.c_str());
  link->SetIconLocation(f.icon_path.c_str(), f.icon_index);
}

// Deletes path when a file is there; nothing is reported.
void DeleteQuietly(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(path.c_str());
}

// The target as the shell resolves it, from the link's item list: the
// plain path field of a link file is stored in the ANSI code page, so a
// folder name that code page cannot hold does not survive in it.
std::wstring TargetOf(IShellLinkW* link) {
  PIDLIST_ABSOLUTE items = nullptr;
  if (link->GetIDList(&items) != S_OK || !items) return std::wstring();
  wchar_t path[MAX_PATH] = {};
  const BOOL ok = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);
  return ok ? std::wstring(path) : std::wstring();
}

}  // namespace

ShellLinkFields ClientShortcutFields(const std::string& target_dir) {
  const std::wstring dir = Cp936ToWide(target_dir);
  ShellLinkFields f;
  f.target = dir + L"\\Vexa.exe";
  f.working_dir = dir + L"\\";
  f.description = Cp936ToWide(kShortcutDescription);
  f.icon_path = dir + L"\\logo.ico";
  f.icon_index = 0;
  return f;
}

bool SaveShellLink(const std::wstring& link_path, const ShellLinkFields& fields) {
  ComPtr<IShellLinkW> link = CreateLinkObject();
  ComPtr<IPersistFile> file = PersistFileOf(link.get());
  SetFields(link.get(), fields);
  return SUCCEEDED(file->Save(link_path.c_str(), FALSE));
}

ShellLinkFields ReadShellLink(const std::wstring& link_path) {
  ComPtr<IShellLinkW> link = CreateLinkObject();
  ComPtr<IPersistFile> file = PersistFileOf(link.get());
  const HRESULT hr = file->Load(link_path.c_str(), STGM_READ);
  if (FAILED(hr)) throw EComError("The file is no shell link (" + HresultText(hr) + ").");
  std::vector<wchar_t> buf(32768, L'\0');
  const int cch = static_cast<int>(buf.size());
  auto take = [&buf](HRESULT got) {
    std::wstring s = SUCCEEDED(got) ? std::wstring(buf.data()) : std::wstring();
    buf.assign(buf.size(), L'\0');
    return s;
  };
  ShellLinkFields f;
  f.target = TargetOf(link.get());
  if (f.target.empty()) f.target = take(link->GetPath(buf.data(), cch, nullptr, SLGP_RAWPATH));
  f.working_dir = take(link->GetWorkingDirectory(buf.data(), cch));
  f.description = take(link->GetDescription(buf.data(), cch));
  int index = 0;
  f.icon_path = take(link->GetIconLocation(buf.data(), cch, &index));
  f.icon_index = index;
  f.arguments = take(link->GetArguments(buf.data(), cch));
  return f;
}

std::string GetShellFolder(const std::string& name) {
  UniqueKey key = OpenRegKey(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ);
  if (!key) return std::string();
  const auto value = ReadRegString(key.get(), Cp936ToWide(name), RegString::PlainOrExpand);
  return value ? WideToCp936(*value) : std::string();
}

std::wstring DesktopLinkPath() {
  // Opened with full access and created when missing, as the writer of the
  // shortcut always has; only the subkey's value is read.
  UniqueKey explorer = CreateRegKey(HKEY_CURRENT_USER, kExplorerKey, KEY_ALL_ACCESS);
  std::wstring desktop;
  if (explorer) {
    UniqueKey folders = OpenRegKey(explorer.get(), kShellFoldersSubkey, KEY_READ);
    if (folders) {
      const auto value = ReadRegString(folders.get(), L"Desktop", RegString::PlainOrExpand);
      if (value) desktop = *value;
    }
  }
  return desktop + L"\\" + Cp936ToWide(kShortcutFileName);
}

void CreateDesktopShortcut(const std::string& target_dir) {
  ComInit com;
  const std::string old_desktop = GetShellFolder("DESKTOP");
  DeleteQuietly(Cp936ToWide(old_desktop + "\\" + kShortcutFileName));
  SaveResourceToFile("TXTFILE", "ICO", target_dir + "\\logo.ico");
  ComPtr<IShellLinkW> link = CreateLinkObject();
  ComPtr<IPersistFile> file = PersistFileOf(link.get());
  SetFields(link.get(), ClientShortcutFields(target_dir));
  const std::wstring link_path = DesktopLinkPath();
  DeleteQuietly(link_path);
  // Gives the shell a moment to let go of the file just deleted.
  Sleep(200);
  file->Save(link_path.c_str(), FALSE);
}

}  // namespace vexa::win
