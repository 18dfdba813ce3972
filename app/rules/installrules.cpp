#include "installrules.h"

#include "codepage.h"
#include "pathtext.h"

namespace vexa::rules {

std::string NormaliseInstalledVersion(const std::string& recorded) {
  std::string v = LowerAscii936(recorded);
  if (FindChar(v, 'v') == std::string::npos) return v;
  v.erase(0, CharLength(v, 0));
  std::string out;
  for (std::size_t i = 0; i < v.size(); i += CharLength(v, i))
    if (v[i] != '.') out.append(v, i, CharLength(v, i));
  return out;
}

bool ExceedsVersionLimit(const std::string& normalised) {
  if (normalised.empty()) return false;
  for (char c : normalised)
    if (c < '0' || c > '9') return false;
  // Compared as text so that no number is too long to read.
  const std::size_t first = normalised.find_first_not_of('0');
  if (first == std::string::npos) return false;
  const std::string digits = normalised.substr(first);
  const std::string limit = std::to_string(kVersionLimit);
  return digits.size() != limit.size() ? digits.size() > limit.size() : digits > limit;
}

std::string OutdatedInstallerMessage(const std::string& download_page) {
  return kMsgOutdatedHead + download_page + kMsgOutdatedTail;
}

std::optional<TargetFolder> PlanTargetFolder(const std::string& typed) {
  std::string s = TrimBlanks(typed);
  if (s.empty() || FindChar(s, ':') != 1) return std::nullopt;
  s += EndsWithBackslash936(s) ? kClientFolder : std::string("\\") + kClientFolder;
  const std::vector<std::string> elements = SplitAtBackslashes(CollapseBackslashRuns(s));
  TargetFolder plan;
  plan.drive = elements.front();
  std::string path = plan.drive;
  for (std::size_t i = 1; i < elements.size(); ++i) {
    if (elements[i].empty()) continue;
    path += '\\';
    path += elements[i];
    plan.levels.push_back(path);
  }
  return plan;  // never without levels: the client folder is always last
}

std::string RecordPathFromLocation(const std::string& typed) {
  std::string s = TrimBlanks(typed);
  if (!EndsWithBackslash936(s)) s += '\\';
  return ReduceDoubledBackslashesOnce(s);
}

std::string OldInstallDirFromRecord(const std::string& recorded_path) {
  return ReduceDoubledBackslashesOnce(recorded_path);
}

std::string LastTimeText(const std::string& short_date, const std::string& long_time,
                         bool exact_midnight) {
  return exact_midnight ? short_date : short_date + " " + long_time;
}

}  // namespace vexa::rules
