#pragma once
// The install location check behind the red label and the Install button,
// and the choice of a default location on the first drive that answers.
// Both take the system's answers as arguments: the drive list as
// GetLogicalDriveStrings fills it and a free-space query.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexa::rules {

// Bytes available to the caller on the drive or folder named, or nothing
// when the system could not tell (no medium, no such drive, ...).
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& directory)>;

// Below this many whole MiB a drive is too small for the client.
inline constexpr std::uint64_t kMinFreeMiB = 150;
// Locations with more items than this and more bytes than kMaxPathBytes are
// refused as too long; either alone is fine.
inline constexpr std::size_t kMaxPathItems = 10;
inline constexpr std::size_t kMaxPathBytes = 30;

// The roots in a drive-list buffer: entries such as "C:\" each ended by a
// zero byte, the list ended by an empty entry (or by the buffer's end).
std::vector<std::string> DriveRoots(const std::string& drive_strings);

// bytes / 1024 / 1024 rounded to the nearest whole number, a half going to
// the even neighbour: 149.5 MiB gives 150, 150.5 MiB gives 150.
std::uint64_t WholeMebibytes(std::uint64_t bytes);

// Number of items the location's working copy splits into for the length
// rule: items end at a backslash or a blank (byte 32 or less); blanks
// between items and after a backslash form no item; a leading backslash
// gives an empty first item and a final one an empty last item; text in
// double quotes ("" inside stands for one quote; an unclosed quote runs to
// the end) is one item.
std::size_t CountPathItems(const std::string& working_copy);

struct LocationVerdict {
  std::string message;  // code page 936 text for the label; empty: usable
  bool install_enabled = false;
};

// Judges a typed location. typed is the edit's text in code page 936;
// unrepresentable tells that the edit held characters code page 936 cannot
// hold (typed then carries substitutes), which is refused as an illegal
// character. The text is lower-cased and its backslash runs collapsed, then
// tested in this order, the first failure giving the message:
//   too long (kMsgPathTooLong), no drive letter before ":\"
//   (kMsgDriveMissing), drive part not in the drive list (kMsgNoSuchDrive),
//   second byte not ":" (kMsgBadDrivePath), illegal character
//   (kMsgIllegalChar), under 150 whole MiB free (kMsgLowDiskSpace).
// free_bytes is asked only at the last test, with the drive part ("c:"); a
// failed query (or none given) counts as 1 MiB. Install is enabled exactly
// when the message is empty. Never throws on any input (a throwing query is the caller's).
LocationVerdict CheckInstallLocation(const std::string& typed, bool unrepresentable,
                                     const std::string& drive_strings,
                                     const FreeSpaceQuery& free_bytes);

// The default location offered when the previous one is refused: the roots
// are asked in order (with the root, "C:\"), and the first that answers
// decides alone. It gives that root followed by "vexa\" when it has more
// than 150 whole MiB, otherwise nothing; nothing too when no root answers.
std::optional<std::string> ChooseDefaultLocation(const std::string& drive_strings,
                                                 const FreeSpaceQuery& free_bytes);

}  // namespace vexa::rules
