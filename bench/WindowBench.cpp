// Times what a person waits for in the window: opening a puzzle, Solve, the
// zoom steps and Fit to Window (each with the repaint it causes), and how
// soon Esc stops Check Uniqueness; and the process's peak resident size
// before that search and after it.
// The window is real, on the platform QT_QPA_PLATFORM names (offscreen
// unless set), at 600 x 510 like the first start.
//
//   tabulon_window_bench FILE

#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "doc/TabulonDoc.h"
#include "render/TabulonView2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

template <class Step> void Time(const char* pszWhat, Step step) {
    QElapsedTimer timer;
    timer.start();
    step();
    std::printf("%-34s %9.1f ms\n", pszWhat, timer.nsecsElapsed() / 1e6);
}

long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string strLine; std::getline(status, strLine);)
        if (strLine.rfind("VmHWM:", 0) == 0)
            return std::stol(strLine.substr(6));
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tabulon_window_bench FILE\n");
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    QSettings settings(home.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    CRecentFileList recent(settings);
    CTabulonDoc doc;
    CMainFrame frame(doc, recent, settings);
    frame.NewFile();
    frame.show();
    QElapsedTimer exposing; // the platform shows the window in its own time
    exposing.start();
    while (exposing.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    CTabulonView2* pView = frame.GridView();
    const auto repaint = [&] { pView->viewport()->repaint(); };

    Time("open and show", [&] {
        frame.OpenFile(QString::fromLocal8Bit(argv[1]));
        repaint();
    });
    if (!doc.GetPuzzle())
        return 1;
    doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    Time("Solve", [&] { frame.OnSolve(); });
    Time("page down at 100 %", [&] {
        pView->verticalScrollBar()->triggerAction(QScrollBar::SliderPageStepAdd);
        repaint();
    });
    Time("zoom in to 150 %", [&] {
        pView->ZoomIn();
        repaint();
    });
    Time("zoom in to 200 %", [&] {
        pView->ZoomIn();
        repaint();
    });
    Time("actual size", [&] {
        pView->ActualSize();
        repaint();
    });
    Time("zoom out to 67 %", [&] {
        pView->ZoomOut();
        repaint();
    });
    Time("fit to window (first)", [&] {
        pView->FitToWindow();
        repaint();
    });
    Time("fit to window (again)", [&] { repaint(); });
    std::printf("%-34s %9.1f %%\n", "fitted zoom", pView->GetZoom() * 100);
    std::printf("%-34s %9ld KiB\n", "peak resident size, shown", PeakResidentKiB());

    // Esc while Check Uniqueness runs on its worker: how long until the
    // window is done with it (when it has not ended by itself by then).
    frame.OnCheckUniqueness();
    QElapsedTimer running;
    running.start();
    while (frame.IsSolving() && running.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (frame.IsSolving()) {
        Time("Esc to stopped (Check Uniqueness)", [&] {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(pView, &escape);
            while (frame.IsSolving())
                QApplication::processEvents(QEventLoop::AllEvents, 1);
        });
    }
    std::printf("%-34s %9ld KiB\n", "peak resident size, searched", PeakResidentKiB());
    return 0;
}
