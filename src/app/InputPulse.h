#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CTabulonDoc;

// While it lives, asks the document every interval for an input pass: Solve
// runs on the window's thread, and between two of its lines it then lets
// the window handle what is waiting (Esc, closing, scrolling), however
// long the progress throttle makes the wait for a repaint. A thread of its
// own, because nothing on the window's thread runs during a solve; it only
// sets a flag, so a line costs one load of it.
class CInputPulse {
  public:
    CInputPulse(CTabulonDoc& doc, std::chrono::milliseconds interval);
    ~CInputPulse();
    CInputPulse(const CInputPulse&) = delete;
    CInputPulse& operator=(const CInputPulse&) = delete;

  private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bEnd = false; // guarded by m_mutex
    std::thread m_thread;
};
