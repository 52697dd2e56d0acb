// The drawing module itself: built as a shared module with Qt.

#include "cli/PictureModule.h"

#include "render/PictureView.h"

#include <QGuiApplication>

namespace {

// Qt needs an application object for fonts. It is never destroyed: it lives
// until the process ends, after the module's other statics are gone.
QGuiApplication* s_pApplication = nullptr;

} // namespace

extern "C" {

void TabulonStartPictures() {
    if (s_pApplication)
        return;
    // Offscreen: no display needed, and the same pixels on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int s_argc = 1;
    static char s_name[] = "tabulon-cli";
    static char* s_argv[] = {s_name, nullptr};
    s_pApplication = new QGuiApplication(s_argc, s_argv);
}

IDocView* TabulonCreatePictureView(CTabulonDoc* pDoc) {
    return new CPictureView(*pDoc);
}

void TabulonDestroyPictureView(IDocView* pView) {
    delete pView;
}
}
