#pragma once
// The desktop shortcut to the installed client: the shell-folder lookup that
// places it, the shell link file itself, and the whole replace-the-shortcut
// sequence the install worker runs. Texts held by the program are code page
// 936; the link object is driven through its wide interface.
#include <string>

#include "win/winexcept.h"

namespace vexa::win {

// File name of the shortcut on the desktop.
inline constexpr char kShortcutFileName[] = "MiravoVexa.lnk";
// "Miravo软件系统有限公司": the shortcut's description.
inline constexpr char kShortcutDescription[] =
    "Miravo\xc8\xed\xbc\xfe\xcf\xb5\xcd\xb3\xd3\xd0\xcf\xde\xb9\xab\xcb\xbe";

// What a shell link file holds, as far as the installer sets or checks it.
struct ShellLinkFields {
  std::wstring target;
  std::wstring working_dir;
  std::wstring description;
  std::wstring icon_path;
  int icon_index = 0;
  std::wstring arguments;  // never set by the installer; read back by checks
};

// The fields of the shortcut to the client unpacked in target_dir (code page
// 936, no trailing backslash): target_dir\Vexa.exe, working folder
// target_dir\ (with its trailing backslash), the description above,
// target_dir\logo.ico with index 0, no arguments.
ShellLinkFields ClientShortcutFields(const std::string& target_dir);

// Writes a shell link file at link_path: target, working folder,
// description and icon from fields (arguments, hot key and show command keep
// the link object's defaults). COM must be initialised on the calling
// thread. Raises EComError when the link object or its IShellLinkW or
// IPersistFile interface cannot be obtained; the setters' results are not
// examined. Returns whether the file was saved.
bool SaveShellLink(const std::wstring& link_path, const ShellLinkFields& fields);

// Reads a shell link file back; the target as the shell resolves it from
// the link's item list (the plain path field is ANSI), else that field.
// COM must be initialised on the calling thread. Raises EComError when the
// file cannot be loaded as a link.
ShellLinkFields ReadShellLink(const std::wstring& link_path);

// The string value name (matched without regard to case, "DESKTOP" finds
// "Desktop") of the current user's Explorer "Shell Folders" key, opened
// read-only; "" when the key cannot be opened or the value is absent.
// Raises ERegistryError when the value is not a string (REG_SZ or
// REG_EXPAND_SZ, returned unexpanded).
std::string GetShellFolder(const std::string& name);

// Where the shortcut is saved: the "Desktop" value of the current user's
// Explorer "Shell Folders" key (the Explorer key is created when missing),
// "\" and kShortcutFileName; "\MiravoVexa.lnk" when the subkey or the value
// is missing. Raises ERegistryError when the value is not a string.
std::wstring DesktopLinkPath();

// Creates or replaces the desktop shortcut to the client unpacked in
// target_dir (code page 936, no trailing backslash), in this order: COM
// initialised for the call on the calling thread; the old link on the
// desktop that GetShellFolder("DESKTOP") names deleted (quietly); the
// program's resource "ICO" of type "TXTFILE" written to target_dir\logo.ico;
// the link object created and given ClientShortcutFields(target_dir); the
// link path read again (DesktopLinkPath), a file there deleted (quietly);
// 200 ms wait; the link saved (its result not examined).
// Raises EResourceNotFound or EStreamError when the icon file cannot be
// written, EComError when the link object is unavailable, ERegistryError
// when a registry value read is not a string. Enabling the debug privilege
// beforehand is the caller's part.
void CreateDesktopShortcut(const std::string& target_dir);

}  // namespace vexa::win
