#pragma once
// Runs a program as a user would, through the shell, and collects its status, stdout and stderr.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TempDir.h"

namespace quaverly::testing {

struct ProcessResult {
  int status = -1;  // exit status; -1 when the process did not exit normally
  std::string out, err;
};

inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args) {
  const auto quote = [](const std::string& s) {
    std::string q = "'";
    for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  TempDir dir;
  std::string command = quote(program);
  for (const std::string& a : args) command += " " + quote(a);
  command += " >" + quote((dir / "out").string()) + " 2>" + quote((dir / "err").string());
  const int raw = std::system(command.c_str());
  return {raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(dir / "out"),
          ReadAll(dir / "err")};
}

inline ProcessResult RunCli(const std::vector<std::string>& args) {
  return RunProcess(QUAVERLY_CLI, args);
}

inline bool HaveMidicsv() { return std::system("command -v midicsv >/dev/null 2>&1") == 0; }

}  // namespace quaverly::testing
