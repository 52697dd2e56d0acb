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

// After a progress update the window gets to repaint, and between two lines
// of Solve it gets to handle its input: pending events are handled, then
// the solve goes on at once. The main window disables the commands that
// would change the puzzle while a solve runs.
class CQtEventWait : public IEventWait {
  public:
    void AfterProgressUpdate() override;
    void LetInputThrough() override;
};

class CTabulonDoc;

// Installed on the application while a solve runs: Esc stops the solve
// wherever the keyboard focus is (a menu that is open takes its Esc
// itself). Every other key and click goes where it always goes.
class CEscapeStopsSolve : public QObject {
  public:
    explicit CEscapeStopsSolve(CTabulonDoc& doc);
    ~CEscapeStopsSolve() override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  private:
    CTabulonDoc& m_doc;
};
