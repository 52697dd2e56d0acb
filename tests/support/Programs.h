#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Other programs run by the tests, started with posix_spawn: QProcess starts
// its children in a way ThreadSanitizer cannot follow, and the whole suite
// runs under it too. The program is looked up in PATH unless it names a path.
pid_t StartProgram(const std::string& strProgram, const std::vector<std::string>& arguments);
// The exit status once the program has ended; nothing while it runs.
std::optional<int> ExitStatusOf(pid_t pid);
// Runs the program to its end: its exit status, or -1 when it could not run.
int RunProgram(const std::string& strProgram, const std::vector<std::string>& arguments);
