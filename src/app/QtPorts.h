#pragma once

#include "doc/DocPorts.h"

#include <QElapsedTimer>
#include <QObject>

// Milliseconds since the program started, from a monotonic clock.
class CQtTickSource : public ITickSource {
  public:
    CQtTickSource() { m_timer.start(); }
    uint32_t GetTickCount() override { return static_cast<uint32_t>(m_timer.elapsed()); }

  private:
    QElapsedTimer m_timer;
};

// After a progress update the window gets to repaint: pending events are
// handled, then the solve goes on at once. The main window keeps user input
// from reaching any command during a solve (CSolveInputGuard).
class CQtEventWait : public IEventWait {
  public:
    void AfterProgressUpdate() override;
};

class CTabulonDoc;

// Installed on the application while a solve runs: Esc stops the solve, and
// every other key, click, wheel turn or touch is dropped, so no command runs
// in the middle of a solve.
class CSolveInputGuard : public QObject {
  public:
    explicit CSolveInputGuard(CTabulonDoc& doc);
    ~CSolveInputGuard() override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  private:
    CTabulonDoc& m_doc;
};
