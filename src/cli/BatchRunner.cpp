#include "cli/BatchRunner.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

void RunInOrder(size_t nCount, unsigned nWorkers, const std::function<void(size_t)>& job,
                const std::function<void(size_t)>& emit) {
    nWorkers = static_cast<unsigned>(std::min<size_t>(std::max(nWorkers, 1u), nCount));
    if (nWorkers <= 1) {
        for (size_t i = 0; i < nCount; ++i) {
            job(i);
            emit(i);
        }
        return;
    }

    std::atomic<size_t> nNext{0};
    std::mutex mutex;
    std::condition_variable doneChanged;
    std::vector<char> done(nCount, 0);
    auto work = [&] {
        for (size_t i; (i = nNext.fetch_add(1)) < nCount;) {
            job(i);
            std::lock_guard<std::mutex> lock(mutex);
            done[i] = 1;
            doneChanged.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    for (unsigned w = 0; w < nWorkers; ++w)
        workers.emplace_back(work);
    for (size_t i = 0; i < nCount; ++i) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            doneChanged.wait(lock, [&] { return done[i] != 0; });
        }
        emit(i);
    }
}
