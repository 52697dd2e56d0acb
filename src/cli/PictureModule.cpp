// The drawing module itself: built as a shared module with Qt.

#include "cli/PictureModule.h"

#include "render/PictureExport.h"
#include "render/PictureImport.h"
#include "render/PictureView.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt needs an application object for fonts. It is never destroyed: it lives
// until the process ends, after the module's other statics are gone.
QGuiApplication* s_pApplication = nullptr;

// Qt's notice that it picked its own runtime folder means nothing to a
// command-line user; every other message passes.
QtMessageHandler s_pfnPreviousHandler = nullptr;

void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (s_pfnPreviousHandler)
        s_pfnPreviousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

extern "C" {

void TabulonStartPictures() {
    if (s_pApplication)
        return;
    // Offscreen: no display needed, and the same pixels on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    s_pfnPreviousHandler = qInstallMessageHandler(FilterQtMessages);
    static int s_argc = 1;
    static char s_name[] = "tabulon-cli";
    static char* s_argv[] = {s_name, nullptr};
    s_pApplication = new QGuiApplication(s_argc, s_argv);
}

IDocView* TabulonCreatePictureView(CTabulonDoc* pDoc, long long nMaxBytes) {
    auto* pView = new CPictureView(*pDoc);
    pView->SetMaxPictureBytes(nMaxBytes);
    return pView;
}

void TabulonDestroyPictureView(IDocView* pView) {
    delete pView;
}

bool TabulonImportPicture(const char* pszPath, int nRows, int nCols, int nThreshold, bool bInvert,
                          unsigned char* pCells, char* pszError, size_t nErrorSize) {
    CDesign design;
    std::string strError;
    if (!ImportPicture(QString::fromLocal8Bit(pszPath), {nRows, nCols, nThreshold, bInvert}, design, strError)) {
        if (nErrorSize > 0)
            std::snprintf(pszError, nErrorSize, "%s", strError.c_str());
        return false;
    }
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nCols; ++c)
            pCells[static_cast<size_t>(r) * static_cast<size_t>(nCols) + static_cast<size_t>(c)] =
                design.IsFilled(r, c);
    return true;
}

bool TabulonExportPicture(IDocView* pView, const char* pszPath, char* pszError, size_t nErrorSize) {
    const CGridRenderer* pRenderer = static_cast<CPictureView*>(pView)->GetRenderer();
    const std::optional<PictureFormat> format = PictureFormatOf(pszPath);
    SaveResult result{false, std::string("cannot write ") + pszPath + ": no picture"};
    if (pRenderer && format)
        result = ExportPicture(*pRenderer, pszPath, *format);
    if (!result.bOk && nErrorSize > 0)
        std::snprintf(pszError, nErrorSize, "%s", result.strError.c_str());
    return result.bOk;
}
}
