#include "cli/StopAfter.h"

#include "doc/TabulonDoc.h"

#include <chrono>

CStopAfter::CStopAfter(CTabulonDoc& doc, double dSeconds) {
    if (dSeconds <= 0)
        return;
    m_thread = std::jthread([this, &doc, dSeconds] {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto ended = [this] { return m_bEnded; };
        if (m_ended.wait_for(lock, std::chrono::duration<double>(dSeconds), ended))
            return;
        // A solve forgets requests made before it starts (drawing the
        // picture may come first): ask until the solve has ended.
        do
            doc.RequestStop();
        while (!m_ended.wait_for(lock, std::chrono::milliseconds(20), ended));
    });
}

CStopAfter::~CStopAfter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnded = true;
    }
    m_ended.notify_one();
}
