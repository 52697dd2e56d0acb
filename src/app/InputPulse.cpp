#include "app/InputPulse.h"

#include "doc/TabulonDoc.h"

CInputPulse::CInputPulse(CTabulonDoc& doc, std::chrono::milliseconds interval)
    : m_thread([this, &doc, interval] {
          std::unique_lock<std::mutex> lock(m_mutex);
          while (!m_wake.wait_for(lock, interval, [this] { return m_bEnd; }))
              doc.RequestInputPass();
      }) {
}

CInputPulse::~CInputPulse() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnd = true;
    }
    m_wake.notify_one();
    m_thread.join();
}
