#pragma once

#include "doc/DocPorts.h"

#include <QElapsedTimer>

// Milliseconds since the program started, from a monotonic clock.
class CQtTickSource : public ITickSource {
  public:
    CQtTickSource() { m_timer.start(); }
    uint32_t GetTickCount() override { return static_cast<uint32_t>(m_timer.elapsed()); }

  private:
    QElapsedTimer m_timer;
};

// After a progress update the window gets to repaint: pending events other
// than user input are handled, then the solve goes on at once. No command
// and no key or click is handled during a solve.
class CQtEventWait : public IEventWait {
  public:
    void AfterProgressUpdate() override;
};
