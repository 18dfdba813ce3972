#include "cli.h"

#include <algorithm>
#include <exception>
#include <iostream>

#include "fshelpers.h"

namespace vexapack {

Parsed Parse(const Args& args, std::size_t first, const std::vector<std::string>& value_options,
             const std::vector<std::string>& flag_options) {
  auto listed = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  Parsed p;
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      const std::string name = a.substr(2);
      if (listed(flag_options, name) && !p.flags.count(name)) {
        p.flags.insert(name);
      } else if (listed(value_options, name) && !p.values.count(name) && i + 1 < args.size()) {
        p.values[name] = args[++i];
      } else {
        throw UsageError{};
      }
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError{};
    } else {
      p.words.push_back(a);
    }
  }
  return p;
}

int Guarded(const char* usage, const std::function<void()>& body) {
  try {
    body();
    return 0;
  } catch (const UsageError&) {
    std::cerr << usage;
    return 2;
  } catch (const Failure& f) {
    std::cerr << "vexapack: " << f.text << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "vexapack: " << e.what() << "\n";
    return 1;
  }
}

void SaveWhole(const std::string& path, const std::string& bytes) {
  try {
    vexa::SaveWholeFile(bytes, path);
  } catch (const std::exception& e) {
    throw Failure{e.what()};
  }
}

}  // namespace vexapack
