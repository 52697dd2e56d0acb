#include "cli/PictureModule.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kModuleName = "libtabulon-cli-picture.so";

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

} // namespace

bool LoadPictureModule(PictureModule& module, std::string& strError) {
    const std::filesystem::path folder = ExecutableFolder();
    void* pHandle = nullptr;
    std::string strTried;
    for (const std::filesystem::path& path : {folder / kModuleName, folder / ".." / "lib" / "tabulon" / kModuleName}) {
        pHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (pHandle)
            break;
        strTried += std::string(strTried.empty() ? "" : "; ") + dlerror();
    }
    if (!pHandle) {
        strError = "cannot load the drawing module: " + strTried;
        return false;
    }
    module.pfnStart = reinterpret_cast<void (*)()>(dlsym(pHandle, "TabulonStartPictures"));
    module.pfnCreate =
        reinterpret_cast<IDocView* (*)(CTabulonDoc*, long long)>(dlsym(pHandle, "TabulonCreatePictureView"));
    module.pfnDestroy = reinterpret_cast<void (*)(IDocView*)>(dlsym(pHandle, "TabulonDestroyPictureView"));
    if (!module.pfnStart || !module.pfnCreate || !module.pfnDestroy) {
        strError = "the drawing module lacks its functions";
        return false;
    }
    return true;
}
