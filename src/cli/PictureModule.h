#pragma once

#include <string>

// The command line draws the whole picture ("Save ALL as BMP") through a
// module it loads only when asked to: solving and the other outputs then
// never load the Qt libraries.

class CTabulonDoc;
class IDocView;

extern "C" {
// Starts Qt on the offscreen platform. Call once, on the main thread, before
// any view is created.
void TabulonStartPictures();
// A view that keeps `pDoc`'s picture, drawing pictures of up to nMaxBytes;
// destroy it with TabulonDestroyPictureView.
IDocView* TabulonCreatePictureView(CTabulonDoc* pDoc, long long nMaxBytes);
void TabulonDestroyPictureView(IDocView* pView);
}

// What the executable looks up in the module.
struct PictureModule {
    void (*pfnStart)() = nullptr;
    IDocView* (*pfnCreate)(CTabulonDoc*, long long) = nullptr;
    void (*pfnDestroy)(IDocView*) = nullptr;
};

// Loads the module from the executable's folder (or ../lib/tabulon when
// installed). The statically linked command line instead runs its twin
// that loads it, with the same arguments `argv`, and returns only when that
// fails. False with a message when the module cannot be had.
bool LoadPictureModule(PictureModule& module, char** argv, std::string& strError);
