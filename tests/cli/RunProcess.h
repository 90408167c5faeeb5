#pragma once
// Runs a command line through the shell and collects its exit status, stdout and stderr, for
// tests that drive quaverly-cli and the midicsv tool as a user would.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"

namespace quaverly::testing {

struct ProcessResult {
  int status = -1;  // exit status; -1 when the process did not exit normally
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// program and args are quoted; the output goes through files in a fresh folder.
inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args) {
  TempDir dir;
  std::string command = ShellQuote(program);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  command += " >" + ShellQuote((dir / "out").string()) + " 2>" + ShellQuote((dir / "err").string());
  const int raw = std::system(command.c_str());
  ProcessResult result;
  result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadAll(dir / "out");
  result.err = ReadAll(dir / "err");
  return result;
}

inline ProcessResult RunCli(const std::vector<std::string>& args) {
  return RunProcess(QUAVERLY_CLI, args);
}

inline bool HaveMidicsv() { return std::system("command -v midicsv >/dev/null 2>&1") == 0; }

}  // namespace quaverly::testing
