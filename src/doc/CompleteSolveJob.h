#pragma once

#include "doc/DocPorts.h"
#include "solver/CompleteSolver.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

// A complete solve (Solve Completely, Check Uniqueness) packed to run on any
// thread: it searches its own copy of the puzzle, so the document and its
// views go on reading theirs meanwhile. It shares only the stop flag (an
// atomic) and the clock (which must be readable from the running thread).
class CCompleteSolveJob {
  public:
    // Called on the running thread with the cells known when a progress
    // update is due: at most once per interval, timed from dwStart.
    using ProgressFn = std::function<void(const std::vector<CellState>& cells)>;

    CCompleteSolveJob(const CPuzzle& puzzle, const CCompleteSolver::Options& options, ITickSource* pClock,
                      uint32_t dwStart, uint32_t dwInterval);

    void Run(const ProgressFn& fnProgress);
    const CCompleteSolver::Result& GetResult() const { return m_result; }
    CCompleteSolver::Result& GetResult() { return m_result; }

  private:
    static void OnSearchProgress(const std::vector<CellState>& cells, void* pContext);

    CPuzzle m_puzzle;
    CCompleteSolver::Options m_options;
    ITickSource* m_pClock;
    uint32_t m_dwLastUpdate;
    uint32_t m_dwInterval;
    const ProgressFn* m_pfnProgress = nullptr;
    CCompleteSolver::Result m_result;
};
