#pragma once

class CTabulonDoc;

// Ctrl+C (SIGINT) stops the solves under way as a time limit would: each
// ends "stopped" with the cells decided so far. Files not yet begun are left
// alone, and a second Ctrl+C ends the program at once.

// Blocks SIGINT and waits for it on a thread of its own. Call before any
// other thread starts, so that every thread inherits the blocked signal.
void WatchForInterrupt();

// True once an interrupt came.
bool Interrupted();

// Registers a document, for the scope's lifetime, whose solve an interrupt
// stops. An interrupt that comes before the solve starts still stops it:
// the stop is requested again until the scope ends.
class CInterruptScope {
  public:
    explicit CInterruptScope(CTabulonDoc& doc);
    ~CInterruptScope();
    CInterruptScope(const CInterruptScope&) = delete;
    CInterruptScope& operator=(const CInterruptScope&) = delete;

  private:
    CTabulonDoc& m_doc;
};
