#pragma once
// Folder and text-file helpers over the file-system seam, so they behave the
// same on Windows and in the native build. Paths are code page 936 byte
// strings with "\" separators (the POSIX seam accepts "\" as well).
#include <string>
#include <vector>

namespace vexa {

// Removes folder (with or without a trailing "\") and everything below it,
// as far as it can: read-only files are not deleted, so they and the folders
// that hold them stay; every other entry, hidden and system ones included,
// goes. A link to a folder is removed as a link: its target is never
// entered. An empty path removes nothing. Never raises.
void DeleteTree(const std::string& folder);

// Writes text to path (replacing the file) line by line: CR LF, a lone CR
// and a lone LF each end a line, a break at the very end starts no further
// line, and every line is written followed by CR LF. An empty text gives an
// empty file. Raises EFOpenError or EWriteError naming the path and the
// system's reason.
void SaveTextToFile(const std::string& text, const std::string& path);

// Writes bytes to path whole, replacing the file. When writing fails, what
// was written is removed and the error (EFOpenError or EWriteError naming
// the path) is raised: no partial file stays behind.
void SaveWholeFile(const std::string& bytes, const std::string& path);

// Appends to list the full path of every file below folder (which ends in
// "\"), depth first in the order the file system gives: everything below a
// subfolder comes where the subfolder was met. Hidden and system entries,
// and everything below a hidden or system folder, are left out; folders
// themselves are never listed. A missing or unreadable folder adds nothing.
void ListFiles(const std::string& folder, std::vector<std::string>& list);

}  // namespace vexa
