#pragma once
// What every vexapack sub-command shares: argument parsing, the mapping of
// failures to exit status and message, and whole-file output.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vexapack {

using Args = std::vector<std::string>;

// Exit status 1 with this one-line text (it names the file concerned).
struct Failure {
  std::string text;
};
// Exit status 2 with the command's usage text.
struct UsageError {};

struct Parsed {
  Args words;                                  // positional arguments
  std::map<std::string, std::string> values;   // "--root ROOT" gives values["root"]
  std::set<std::string> flags;                 // "--raw" gives "raw"
  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
};

// Parses args from index first. Options are "--name"; those in
// value_options take the next argument, those in flag_options none. Any
// other option, a repeated one or a missing value raises UsageError.
Parsed Parse(const Args& args, std::size_t first, const std::vector<std::string>& value_options,
             const std::vector<std::string>& flag_options = {});

// Runs body; 0 when it returns, 2 (usage on standard error) for
// UsageError, 1 (one line on standard error) for any other failure.
int Guarded(const char* usage, const std::function<void()>& body);

// Writes bytes to path whole; when writing fails no partial file is left.
void SaveWhole(const std::string& path, const std::string& bytes);

}  // namespace vexapack
