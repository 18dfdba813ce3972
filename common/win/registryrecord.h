#pragma once
// The installation record under HKEY_LOCAL_MACHINE that one run leaves for
// the next: written on completion, read at start-up. Texts are code page 936.
#include <windows.h>

#include <optional>
#include <string>

namespace vexa::win {

// The record's key below HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kInstallRecordKey[] = L"SOFTWARE\\zrvexabrower";

// What start-up reads back. Reading stops at the first error (a value that
// is not REG_SZ, or a failed read): what was read before it is kept, what
// comes after is left unread.
struct InstallRecord {
  bool opened = false;                 // the key exists and opened read-only
  std::optional<std::string> version;  // "version"; "" when the value is absent
  std::optional<std::string> path;     // "path" as stored; "" when absent;
                                       // unread when "version" failed
};

// Opens the record read-only and reads "version", then "path". Never raises.
InstallRecord ReadInstallRecord() noexcept;

// Writes "version", "path" and "lasttime", in this order, as REG_SZ with
// their terminating zero, creating the key when missing; other values are
// left alone. Stops at the first failure, keeping what was written. Never
// raises; true when all three were written.
bool WriteInstallRecord(const std::string& version, const std::string& path,
                        const std::string& lasttime) noexcept;

// The date of time in the short date format of locale (code page 936).
// With user_overrides the formats the user chose for the locale stand in
// for the locale's own, as the user expects; without, the locale's own.
std::string ShortDateText(const SYSTEMTIME& time, LCID locale = LOCALE_USER_DEFAULT, bool user_overrides = true);
// The time of day of time in the long time format of locale, likewise.
std::string LongTimeText(const SYSTEMTIME& time, LCID locale = LOCALE_USER_DEFAULT, bool user_overrides = true);
// True at 00:00:00.000, when the record's time text has no time part.
bool IsExactMidnight(const SYSTEMTIME& time);

}  // namespace vexa::win
