#include "locationcheck.h"

#include <cmath>

#include "codepage.h"
#include "messages.h"
#include "pathtext.h"

namespace vexa::rules {

std::vector<std::string> DriveRoots(const std::string& drive_strings) {
  std::vector<std::string> roots;
  std::size_t i = 0;
  while (i < drive_strings.size()) {
    std::size_t end = drive_strings.find('\0', i);
    if (end == std::string::npos) end = drive_strings.size();
    if (end == i) break;  // the empty entry that ends the list
    roots.push_back(drive_strings.substr(i, end - i));
    i = end + 1;
  }
  return roots;
}

std::uint64_t WholeMebibytes(std::uint64_t bytes) {
  // Done by hand rather than through the floating-point rounding mode, which
  // other code in the process could have changed.
  const double mib = static_cast<double>(bytes) / 1024.0 / 1024.0;
  const double whole = std::floor(mib);
  const double rest = mib - whole;
  auto result = static_cast<std::uint64_t>(whole);
  if (rest > 0.5 || (rest == 0.5 && result % 2 == 1)) ++result;
  return result;
}

namespace {

// Past the quoted text that starts at s[p] (a double quote): after its
// closing quote, where a doubled quote stands for one inside; at the end
// when it is not closed.
std::size_t SkipQuoted(const std::string& s, std::size_t p) {
  std::size_t q = s.find('"', p + 1);  // a quote byte is never a trail byte
  while (q != std::string::npos) {
    if (q + 1 >= s.size() || s[q + 1] != '"') return q + 1;
    q = s.find('"', q + 2);
  }
  return s.size();
}

}  // namespace

std::size_t CountPathItems(const std::string& s) {
  const std::size_t n = s.size();
  std::size_t p = 0, items = 0;
  while (p < n && IsBlank(s[p])) ++p;
  while (p < n) {
    if (s[p] == '"') {
      p = SkipQuoted(s, p);
    } else {
      while (p < n && !IsBlank(s[p]) && !(s[p] == '\\' && CharLength(s, p) == 1)) p += CharLength(s, p);
    }
    ++items;
    while (p < n && IsBlank(s[p])) ++p;
    if (p < n && s[p] == '\\') {
      if (p + 1 == n) ++items;  // a final backslash ends an empty last item
      do ++p;
      while (p < n && IsBlank(s[p]));
    }
  }
  return items;
}

namespace {

LocationVerdict Refuse(const char* message) { return {message, false}; }

// The illegal characters in the order they are looked for. The colon is
// allowed as the drive designator, the second byte, and only there.
constexpr char kIllegalChars[] = {':', '/', '*', '?', '"', '<', '>', '|'};

bool HasIllegalChar(const std::string& w) {
  for (char c : kIllegalChars)
    if (FindChar(w, c, c == ':' ? 2 : 0) != std::string::npos) return true;
  return false;
}

}  // namespace

LocationVerdict CheckInstallLocation(const std::string& typed, bool unrepresentable,
                                     const std::string& drive_strings,
                                     const FreeSpaceQuery& free_bytes) {
  const std::string w = CollapseBackslashRuns(LowerAscii936(typed));
  if (CountPathItems(w) > kMaxPathItems && w.size() > kMaxPathBytes) return Refuse(kMsgPathTooLong);

  std::string drives;
  for (const std::string& root : DriveRoots(drive_strings)) drives += root;
  drives = LowerAscii936(drives);

  const std::string drive_part = w.substr(0, 2);
  if (drive_part == ":\\") return Refuse(kMsgDriveMissing);
  // A plain byte search of the concatenated roots, as the list reads: "d"
  // alone is found, and then refused for its missing colon just below.
  if (drive_part.empty() || drives.find(drive_part) == std::string::npos) return Refuse(kMsgNoSuchDrive);
  if (w.size() < 2 || w[1] != ':') return Refuse(kMsgBadDrivePath);
  if (unrepresentable || HasIllegalChar(w)) return Refuse(kMsgIllegalChar);

  std::optional<std::uint64_t> available;
  if (free_bytes) available = free_bytes(drive_part);
  const std::uint64_t mib = available ? WholeMebibytes(*available) : 1;
  if (mib < kMinFreeMiB) return Refuse(kMsgLowDiskSpace);
  return {std::string(), true};
}

std::optional<std::string> ChooseDefaultLocation(const std::string& drive_strings,
                                                 const FreeSpaceQuery& free_bytes) {
  if (!free_bytes) return std::nullopt;
  for (const std::string& root : DriveRoots(drive_strings)) {
    const std::optional<std::uint64_t> available = free_bytes(root);
    if (!available) continue;
    if (WholeMebibytes(*available) > kMinFreeMiB) return root + "vexa\\";
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace vexa::rules
