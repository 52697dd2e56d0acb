#include "io/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A name in the target's folder that no other writer in this or another
// process picks at the same time; short, so that a target whose name is near
// the length limit can still be written.
std::string TemporaryNameFor(const std::string& strTarget) {
    static std::atomic<unsigned> s_nCounter{0};
    const std::string strName = ".tabulon-" + std::to_string(getpid()) + "-" + std::to_string(s_nCounter++) + ".tmp";
    return (std::filesystem::path(strTarget).parent_path() / strName).string();
}

// The rename is only lasting once the folder that holds it is on disk too;
// a folder that cannot be synced (some file systems) is no failure.
void SyncFolderOf(const std::string& strTarget) {
    const std::filesystem::path folder = std::filesystem::path(strTarget).parent_path();
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

SaveResult Failure(const std::string& strPath, int nError) {
    return SaveResult{false, "cannot write " + strPath + ": " + std::strerror(nError)};
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t nWritten = write(fd, data.data(), data.size());
        if (nWritten < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(nWritten));
    }
    return true;
}

// A link is written through: the file it names is replaced and the link
// stays. A path that names no file yet (or a dangling link) is used as it is.
std::string FileBehind(const std::string& strPath) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(strPath, error);
    return error ? strPath : target.string();
}

// The new file takes the permissions of the one it replaces, so that saving
// does not open up a private file or drop its execute bits.
bool KeepPermissions(int fd, const std::string& strTarget) {
    struct stat existing {};
    if (stat(strTarget.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode))
        return true;
    return fchmod(fd, existing.st_mode & 0777) == 0; // never set-user-ID and the like
}

} // namespace

SaveResult WriteFileAtomically(const std::string& strPath, std::string_view data) {
    const std::string strTarget = FileBehind(strPath);
    const std::string strTemp = TemporaryNameFor(strTarget);
    int fd = open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return Failure(strPath, errno);
    int nError = 0;
    if (!KeepPermissions(fd, strTarget) || !WriteAll(fd, data) || fsync(fd) != 0)
        nError = errno;
    if (close(fd) != 0 && nError == 0)
        nError = errno;
    if (nError == 0 && std::rename(strTemp.c_str(), strTarget.c_str()) != 0)
        nError = errno;
    if (nError != 0) {
        unlink(strTemp.c_str());
        return Failure(strPath, nError);
    }
    SyncFolderOf(strTarget);
    return SaveResult{true, std::string()};
}
