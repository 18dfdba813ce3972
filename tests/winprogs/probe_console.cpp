// A console probe for the launch and process tests. By default it pauses
// briefly, writes what it saw beside itself and ends, so a caller that
// waited for its end finds the report. With "--stay" as its first argument
// it writes the report at once and then stays until it is ended from
// outside.
#include <windows.h>

#include "probe_report.h"

int main() {
  const auto args = vexa::probe::Arguments();
  if (!args.empty() && args[0] == L"--stay") {
    vexa::probe::WriteReport();
    for (;;) Sleep(INFINITE);
  }
  Sleep(300);
  vexa::probe::WriteReport();
  return 0;
}
