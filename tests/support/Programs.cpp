#include "support/Programs.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

pid_t StartProgram(const std::string& strProgram, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(strProgram.c_str()));
    for (const std::string& strArgument : arguments)
        argv.push_back(const_cast<char*>(strArgument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, strProgram.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

std::optional<int> ExitStatusOf(pid_t pid) {
    int nStatus = 0;
    if (pid <= 0)
        return -1;
    const pid_t ended = waitpid(pid, &nStatus, WNOHANG);
    if (ended == 0)
        return std::nullopt;
    if (ended < 0 || !WIFEXITED(nStatus))
        return -1;
    return WEXITSTATUS(nStatus);
}

int RunProgram(const std::string& strProgram, const std::vector<std::string>& arguments) {
    const pid_t pid = StartProgram(strProgram, arguments);
    int nStatus = 0;
    if (pid <= 0 || waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus))
        return -1;
    return WEXITSTATUS(nStatus);
}
