// The statically linked command line has no dynamic loader to load the
// drawing module (and Qt behind it) with. Asked to draw, it becomes its
// dynamically linked twin, the same program built to load the module: the
// twin runs the whole command again, so nothing is done twice.

#include "cli/Companions.h"
#include "cli/PictureModule.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

bool LoadPictureModule(PictureModule& /*module*/, char** argv, std::string& strError) {
    std::string strTried;
    for (const std::filesystem::path& path : CompanionPaths("tabulon-cli-draw")) {
        argv[0] = const_cast<char*>(path.c_str());
        execv(path.c_str(), argv); // returns only when it failed
        strTried += std::string(strTried.empty() ? "" : "; ") + path.string() + ": " + std::strerror(errno);
    }
    strError = "cannot run the drawing command line: " + strTried;
    return false;
}
