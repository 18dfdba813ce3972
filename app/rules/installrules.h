#pragma once
// The installer's rules that need no system: the version gate, the target
// folder made from the typed location, the path and time kept in the
// installation record. With locationcheck.h and messages.h this is all the
// window needs to decide; it only reads the system and shows the results.
#include <optional>
#include <string>
#include <vector>

#include "locationcheck.h"
#include "messages.h"

namespace vexa::rules {

// This installer's version, written to the record as "version".
inline constexpr char kInstallerVersion[] = "V2.29";
// The installed version assumed when no record names one; passes the gate.
inline constexpr char kNoInstalledVersion[] = "100";
// An installed version above this number means this installer is outdated.
inline constexpr unsigned kVersionLimit = 229;
// Folder made inside the chosen location to hold the client.
inline constexpr char kClientFolder[] = "vevovidi";

// The recorded version in the form the gate compares: ASCII letters
// lower-cased; if it holds a "v" anywhere, its first character (whatever it
// is) is dropped and then every ".". "V2.29" gives "229", "V3.0" gives "30",
// "2.30" stays "2.30".
std::string NormaliseInstalledVersion(const std::string& recorded);

// True when a normalised version is a whole decimal number (digits only)
// greater than kVersionLimit, of any length. Anything else, the empty text
// included, passes the gate.
bool ExceedsVersionLimit(const std::string& normalised);

// The gate's message: the fixed text around the download page address.
std::string OutdatedInstallerMessage(const std::string& download_page);

struct TargetFolder {
  std::string drive;                // the first element ("D:"), used unchanged, never created
  std::vector<std::string> levels;  // each folder to make, outermost first; back() is the target
  const std::string& target() const { return levels.back(); }
};

// The folder the client goes into, from the edit's text: blanks and control
// characters around it dropped, "\vevovidi" appended (only "vevovidi" after
// a final backslash), backslash runs collapsed, then one level per non-empty
// element after the drive part. Blanks inside stay part of their folder's
// name: "D:\My Files\vexa" gives D:\My Files, D:\My Files\vexa and
// D:\My Files\vexa\vevovidi. Nothing when the text is empty or its first ":"
// is not its second byte (the installer refuses such a location).
std::optional<TargetFolder> PlanTargetFolder(const std::string& typed);

// The record's "path" for the edit's text: blanks and control characters
// around it dropped, a final "\" added when missing, then every "\\"
// replaced by "\" in one pass, so a run of three keeps a doubled one.
// "D:\vexa" gives "D:\vexa\", "D:\" stays "D:\".
std::string RecordPathFromLocation(const std::string& typed);

// The previous location as read back from the record's "path": every "\\"
// replaced by "\" in one pass ("D:\\vexa\\" gives "D:\vexa\").
std::string OldInstallDirFromRecord(const std::string& recorded_path);

// The record's "lasttime": the date in the user's short date format, a
// blank and the time in the user's long time format, or the date alone when
// the time is exactly midnight (00:00:00.000).
std::string LastTimeText(const std::string& short_date, const std::string& long_time,
                         bool exact_midnight);

}  // namespace vexa::rules
