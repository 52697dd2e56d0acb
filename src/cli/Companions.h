#pragma once

#include <filesystem>
#include <vector>

// Where the command line looks for a file that ships with it (the drawing
// module, the drawing twin): its own folder in the build tree, then
// ../lib/tabulon when installed.
std::vector<std::filesystem::path> CompanionPaths(const char* pszName);
