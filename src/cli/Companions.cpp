#include "cli/Companions.h"

#include <system_error>

std::vector<std::filesystem::path> CompanionPaths(const char* pszName) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    return {folder / pszName, folder / ".." / "lib" / "tabulon" / pszName};
}
