#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A file being solved and the seconds it has taken so far.
struct RunningFile {
    std::string strName;
    double dSeconds = 0;
};

// "solving faase.tb 12 s, knotty.tb 3 s (4 of 10 done)", cut to nWidth
// characters so that it never wraps (a wrapped line cannot be rewritten).
std::string FormatProgress(const std::vector<RunningFile>& running, size_t nDone, size_t nTotal, size_t nWidth);

// On a terminal, a line on stderr that says, once a second, which files are
// being solved and for how long, from the first second on; what the program
// writes goes out with the line cleared first. Inactive, it only runs the
// writes.
class CProgressLine {
  public:
    CProgressLine(bool bActive, size_t nTotal);
    ~CProgressLine(); // clears the line
    CProgressLine(const CProgressLine&) = delete;
    CProgressLine& operator=(const CProgressLine&) = delete;

    void Begin(size_t nFile, const std::string& strPath);
    void End(size_t nFile);
    // Runs write (which writes to stdout or stderr) with the line cleared.
    void Write(const std::function<void()>& write);

  private:
    void Tick(std::stop_token stop);
    void Clear(); // with m_mutex held

    using Clock = std::chrono::steady_clock;
    const size_t m_nTotal;
    std::mutex m_mutex;
    std::condition_variable_any m_wake; // never notified: the ticker sleeps on it until the stop
    std::map<size_t, std::pair<std::string, Clock::time_point>> m_running; // by file index
    size_t m_nDone = 0;
    bool m_bShown = false;
    std::jthread m_ticker; // last: stopped and joined before the members it uses go
};
