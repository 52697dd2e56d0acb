#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class CTabulonDoc;

// Asks the document to stop its solve (or rating) once dSeconds have
// passed, unless it is destroyed first (the solve ended). No thread without
// a time limit.
class CStopAfter {
  public:
    CStopAfter(CTabulonDoc& doc, double dSeconds);
    ~CStopAfter();
    CStopAfter(const CStopAfter&) = delete;
    CStopAfter& operator=(const CStopAfter&) = delete;

  private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_bEnded = false;
    std::jthread m_thread; // last: joined before the members it uses go
};
