#pragma once
// Removal of the previous installation's program files before a new unpack:
// its COM component is asked to unregister itself, then every file its
// manifest lists is deleted. Best effort throughout: nothing is reported.
#include <string>

namespace vexa::win {

// Where the previous installation keeps its component and its manifest,
// below the recorded location (which normally ends in "\"; the paths are
// formed by plain concatenation).
inline constexpr char kOldComponent[] = "vevovidi\\zroldexam.dll";
inline constexpr char kOldManifest[] = "vevovidi\\config\\files.xml";
inline constexpr char kOldClientFolder[] = "vevovidi";

// Asks the component at dll_path (code page 936) to unregister itself: the
// process's current folder is set to the component's own folder, the
// library is loaded, its export "DllUnregisterServer" called (its result is
// not examined) and the library unloaded; the previous current folder is
// then restored. A library that cannot be loaded or lacks the export ends
// the call quietly. Never raises.
void UnregisterOldComponent(const std::string& dll_path) noexcept;

// Cleans the previous installation recorded at old_install_dir (code page
// 936): when old_install_dir + kOldComponent exists it is unregistered;
// then each file listed by old_install_dir + kOldManifest (listed paths are
// old_install_dir + "vevovidi" + place + name + type), up to the first entry
// lacking an attribute, is deleted when it exists. Folders and unlisted
// files stay. Initialises COM for the call on the calling thread. Never
// raises; an unreadable manifest or an undeletable file is passed over.
void CleanPreviousInstall(const std::string& old_install_dir) noexcept;

}  // namespace vexa::win
