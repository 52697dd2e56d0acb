#include "cli/Interrupt.h"

#include "doc/TabulonDoc.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> g_bInterrupted{false};

struct Registry {
    std::mutex mutex;
    std::vector<CTabulonDoc*> docs; // guarded by mutex
};

// Never destroyed: the watcher may still use it while the program exits.
Registry& TheRegistry() {
    static Registry* pRegistry = new Registry;
    return *pRegistry;
}

// A solve resets its stop flag as it starts, so one request could be lost
// on a document that was about to solve: the watcher repeats it this often.
constexpr auto kRepeatStop = std::chrono::milliseconds(20);

void StopRegisteredSolves() {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (CTabulonDoc* pDoc : registry.docs)
        pDoc->RequestStop();
}

} // namespace

void WatchForInterrupt() {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);
    std::thread([interrupt] {
        int nSignal = 0;
        // An ignored SIGINT (a background job of a shell) never arrives here.
        if (sigwait(&interrupt, &nSignal) != 0)
            return;
        g_bInterrupted.store(true);
        // The next one ends the program (SIGINT's default action, which an
        // ignored SIGINT would not have let come this far): this thread
        // alone accepts it.
        pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
        for (;;) {
            StopRegisteredSolves();
            std::this_thread::sleep_for(kRepeatStop);
        }
    }).detach();
}

bool Interrupted() {
    return g_bInterrupted.load();
}

CInterruptScope::CInterruptScope(CTabulonDoc& doc) : m_doc(doc) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.docs.push_back(&m_doc);
}

CInterruptScope::~CInterruptScope() {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.docs.erase(std::find(registry.docs.begin(), registry.docs.end(), &m_doc));
}
