#pragma once

#include <cstddef>
#include <string>

// The command line draws the whole picture ("Save ALL as BMP", --export)
// through a module it loads only when asked to: solving and the other
// outputs then never load the Qt libraries.

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
// Writes the picture the view keeps to pszPath, in the format its extension
// names, as the desktop's Export Picture does. False, with the reason in
// pszError (nErrorSize bytes, terminated), when nothing was written.
bool TabulonExportPicture(IDocView* pView, const char* pszPath, char* pszError, size_t nErrorSize);
// Reads an image and makes it a picture of nRows x nCols cells, as the
// desktop's Import Picture does (nThreshold -1: Otsu's): pCells gets 1 for
// a filled cell and 0 for an empty one, row by row. False, with the reason
// in pszError, when the image cannot be read.
bool TabulonImportPicture(const char* pszPath, int nRows, int nCols, int nThreshold, bool bInvert,
                          unsigned char* pCells, char* pszError, size_t nErrorSize);
}

// What the executable looks up in the module.
struct PictureModule {
    void (*pfnStart)() = nullptr;
    IDocView* (*pfnCreate)(CTabulonDoc*, long long) = nullptr;
    void (*pfnDestroy)(IDocView*) = nullptr;
    bool (*pfnExport)(IDocView*, const char*, char*, size_t) = nullptr;
    bool (*pfnImport)(const char*, int, int, int, bool, unsigned char*, char*, size_t) = nullptr;
};

// Loads the module from the executable's folder (or ../lib/tabulon when
// installed). The statically linked command line instead runs its twin
// that loads it, with the same arguments `argv`, and returns only when that
// fails. False with a message when the module cannot be had.
bool LoadPictureModule(PictureModule& module, char** argv, std::string& strError);
