#pragma once
// vexapack's sub-commands for the developer packaging formats: material
// files, memo texts and update files. Each takes the words after its own
// sub-command word, reports on standard error and returns the exit status:
// 0 success, 1 with one line naming the file and what was wrong, 2 usage.
#include <string>
#include <vector>

// material encode FOLDER OUT [--root ROOT] | material decode IN TARGET
int RunMaterialCommand(const std::vector<std::string>& args);
// text encode | text decode (standard input to standard output)
int RunTextCommand(const std::vector<std::string>& args);
// update encode IN... --out FOLDER | update decode IN... --out FOLDER
int RunUpdateCommand(const std::vector<std::string>& args);
