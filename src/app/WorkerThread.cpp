#include "app/WorkerThread.h"

CWorkerThread::~CWorkerThread() {
    Wait();
}

void CWorkerThread::Wait() {
    if (m_thread.joinable())
        m_thread.join();
}

void CWorkerThread::Start(std::function<void()> fnWork) {
    Q_ASSERT(!m_thread.joinable());
    m_thread = std::thread([this, fnWork = std::move(fnWork)] {
        fnWork();
        // Queued after any progress call the work posted, so it comes last.
        QMetaObject::invokeMethod(this, "Join", Qt::QueuedConnection);
    });
}

void CWorkerThread::PostProgress(const std::vector<CellState>& cells) {
    bool bFirst = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        bFirst = !m_bPosted;
        m_posted = cells;
        m_bPosted = true;
    }
    if (bFirst) // a delivery is already on its way otherwise, and will take these cells
        QMetaObject::invokeMethod(this, "DeliverProgress", Qt::QueuedConnection);
}

void CWorkerThread::DeliverProgress() {
    std::vector<CellState> cells;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_bPosted)
            return;
        cells.swap(m_posted);
        m_bPosted = false;
    }
    emit progress(cells);
}

void CWorkerThread::Post(std::function<void()> fnCall) {
    bool bFirst = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        bFirst = m_calls.empty();
        m_calls.push_back(std::move(fnCall));
    }
    if (bFirst)
        QMetaObject::invokeMethod(this, "DeliverCalls", Qt::QueuedConnection);
}

void CWorkerThread::DeliverCalls() {
    std::vector<std::function<void()>> calls;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        calls.swap(m_calls);
    }
    for (const auto& fnCall : calls)
        fnCall();
}

// The end of the work, on the owner's thread: after the join, everything the
// work wrote is safe to read here.
void CWorkerThread::Join() {
    if (!m_thread.joinable())
        return;
    m_thread.join();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_posted.clear();
        m_bPosted = false;
        m_calls.clear();
    }
    emit finished();
}
