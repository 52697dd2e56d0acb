#pragma once

#include "model/CellState.h"

#include <QObject>

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Runs one piece of long work (a search) on a thread of its own while the
// window stays live. The work reports cells with PostProgress; the window
// hears of them, and of the end, through queued calls on its own thread.
// Only the newest cells are kept: a window that falls behind skips the
// older ones instead of queueing them. Data crosses threads only under
// this object's mutex and through the thread's join, never inside Qt's
// events: the queued calls go by name and carry nothing, so the calls are
// made, and freed, inside Qt alone.
class CWorkerThread : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    // Waits for the work to end: whoever owns it must have asked it to stop.
    ~CWorkerThread() override;

    // Starts fnWork on a new thread; nothing may be running.
    void Start(std::function<void()> fnWork);
    bool IsRunning() const { return m_thread.joinable(); }
    // Waits for the work to end, without the finished signal: for a window
    // that is going away (the work must have been asked to stop).
    void Wait();
    // From the work's thread: the cells known now.
    void PostProgress(const std::vector<CellState>& cells);
    // From the work's thread: fnCall runs on the owner's thread, in the
    // order posted, before finished. What it captures crosses under the
    // mutex.
    void Post(std::function<void()> fnCall);

  signals:
    // On the owner's thread, with the newest cells posted.
    void progress(const std::vector<CellState>& cells);
    // On the owner's thread, once the work's thread has ended and joined.
    void finished();

  private:
    Q_INVOKABLE void DeliverProgress();
    Q_INVOKABLE void DeliverCalls();
    Q_INVOKABLE void Join();

    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<CellState> m_posted;            // guarded by m_mutex
    bool m_bPosted = false;                     // guarded by m_mutex
    std::vector<std::function<void()>> m_calls; // guarded by m_mutex
};
