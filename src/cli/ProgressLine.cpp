#include "cli/ProgressLine.h"

#include <cstdio>
#include <filesystem>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr auto kTick = std::chrono::seconds(1);
constexpr size_t kDefaultWidth = 80;

size_t TerminalWidth() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        return size.ws_col;
    return kDefaultWidth;
}

} // namespace

std::string FormatProgress(const std::vector<RunningFile>& running, size_t nDone, size_t nTotal, size_t nWidth) {
    std::string strLine = "solving";
    for (size_t i = 0; i < running.size(); ++i)
        strLine += (i ? ", " : " ") + running[i].strName + " " +
                   std::to_string(static_cast<long long>(running[i].dSeconds)) + " s";
    if (nTotal > 1)
        strLine += " (" + std::to_string(nDone) + " of " + std::to_string(nTotal) + " done)";
    // The last column stays free: a line that fills it wraps on some terminals.
    if (nWidth > 0 && strLine.size() > nWidth - 1)
        strLine.resize(nWidth - 1);
    return strLine;
}

CProgressLine::CProgressLine(bool bActive, size_t nTotal) : m_nTotal(nTotal) {
    if (bActive)
        m_ticker = std::jthread([this](std::stop_token stop) { Tick(stop); });
}

CProgressLine::~CProgressLine() {
    if (m_ticker.joinable()) {
        m_ticker.request_stop();
        m_ticker.join();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    Clear();
}

void CProgressLine::Begin(size_t nFile, const std::string& strPath) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running[nFile] = {std::filesystem::path(strPath).filename().string(), Clock::now()};
}

void CProgressLine::End(size_t nFile) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running.erase(nFile);
    ++m_nDone;
}

void CProgressLine::Write(const std::function<void()>& write) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Clear();
    write();
}

void CProgressLine::Clear() {
    if (!m_bShown)
        return;
    std::fputs("\r\033[K", stderr); // back to the line's start, erase to its end
    std::fflush(stderr);
    m_bShown = false;
}

void CProgressLine::Tick(std::stop_token stop) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait_for(lock, stop, kTick, [] { return false; }); // a tick, or the stop
        if (stop.stop_requested())
            return;
        const Clock::time_point now = Clock::now();
        std::vector<RunningFile> running;
        for (const auto& [nFile, file] : m_running)
            if (now - file.second >= kTick)
                running.push_back({file.first, std::chrono::duration<double>(now - file.second).count()});
        Clear();
        if (running.empty())
            continue;
        std::fputs(FormatProgress(running, m_nDone, m_nTotal, TerminalWidth()).c_str(), stderr);
        std::fflush(stderr);
        m_bShown = true;
    }
}
