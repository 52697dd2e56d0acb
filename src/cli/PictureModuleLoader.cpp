#include "cli/Companions.h"
#include "cli/PictureModule.h"

#include <dlfcn.h>

bool LoadPictureModule(PictureModule& module, char** /*argv*/, std::string& strError) {
    void* pHandle = nullptr;
    std::string strTried;
    for (const std::filesystem::path& path : CompanionPaths("libtabulon-cli-picture.so")) {
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
    module.pfnExport =
        reinterpret_cast<bool (*)(IDocView*, const char*, char*, size_t)>(dlsym(pHandle, "TabulonExportPicture"));
    module.pfnImport = reinterpret_cast<bool (*)(const char*, int, int, int, bool, unsigned char*, char*, size_t)>(
        dlsym(pHandle, "TabulonImportPicture"));
    if (!module.pfnStart || !module.pfnCreate || !module.pfnDestroy || !module.pfnExport || !module.pfnImport) {
        strError = "the drawing module lacks its functions";
        return false;
    }
    return true;
}
