#include "win/registryrecord.h"

#include <vector>

#include "codepage.h"
#include "win/registry.h"
#include "win/winraii.h"

namespace vexa::win {

InstallRecord ReadInstallRecord() noexcept {
  InstallRecord record;
  try {
    UniqueKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kInstallRecordKey, KEY_READ);
    if (!key) return record;
    record.opened = true;
    record.version = WideToCp936(ReadRegString(key.get(), L"version", RegString::PlainOnly).value_or(L""));
    record.path = WideToCp936(ReadRegString(key.get(), L"path", RegString::PlainOnly).value_or(L""));
  } catch (...) {
    // What was read stays; the rest is left unread.
  }
  return record;
}

bool WriteInstallRecord(const std::string& version, const std::string& path,
                        const std::string& lasttime) noexcept {
  try {
    UniqueKey key = CreateRegKey(HKEY_LOCAL_MACHINE, kInstallRecordKey, KEY_ALL_ACCESS);
    return key && WriteRegString(key.get(), L"version", Cp936ToWide(version)) &&
           WriteRegString(key.get(), L"path", Cp936ToWide(path)) &&
           WriteRegString(key.get(), L"lasttime", Cp936ToWide(lasttime));
  } catch (...) {
    return false;
  }
}

namespace {

// Runs one of the Get*FormatW calls twice: for the size, then for the text.
template <typename Call>
std::string Formatted(Call call) {
  const int n = call(nullptr, 0);
  if (n <= 0) return std::string();
  std::vector<wchar_t> buf(static_cast<std::size_t>(n), L'\0');
  const int got = call(buf.data(), n);
  if (got <= 0) return std::string();
  return WideToCp936(std::wstring(buf.data(), static_cast<std::size_t>(got - 1)));
}

}  // namespace

std::string ShortDateText(const SYSTEMTIME& time, LCID locale, bool user_overrides) {
  const DWORD flags = DATE_SHORTDATE | (user_overrides ? 0 : LOCALE_NOUSEROVERRIDE);
  return Formatted([&](wchar_t* out, int size) { return GetDateFormatW(locale, flags, &time, nullptr, out, size); });
}

std::string LongTimeText(const SYSTEMTIME& time, LCID locale, bool user_overrides) {
  const DWORD flags = user_overrides ? 0 : LOCALE_NOUSEROVERRIDE;
  return Formatted([&](wchar_t* out, int size) { return GetTimeFormatW(locale, flags, &time, nullptr, out, size); });
}

bool IsExactMidnight(const SYSTEMTIME& time) {
  return time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0 && time.wMilliseconds == 0;
}

}  // namespace vexa::win
