#include "doc/CompleteSolveJob.h"

#include "doc/Throttle.h"
#include "solver/Portfolio.h"

CCompleteSolveJob::CCompleteSolveJob(const CPuzzle& puzzle, const CCompleteSolver::Options& options,
                                     ITickSource* pClock, uint32_t dwStart, uint32_t dwInterval)
    : m_puzzle(puzzle), m_options(options), m_pClock(pClock), m_dwLastUpdate(dwStart), m_dwInterval(dwInterval) {
    m_options.pfnProgress = OnSearchProgress;
    m_options.pProgressContext = this;
}

void CCompleteSolveJob::Run(const ProgressFn& fnProgress) {
    m_pfnProgress = &fnProgress;
    m_result = CPortfolioSolver(m_puzzle).Solve(m_options);
    m_pfnProgress = nullptr;
}

void CCompleteSolveJob::OnSearchProgress(const std::vector<CellState>& cells, void* pContext) {
    auto* pJob = static_cast<CCompleteSolveJob*>(pContext);
    if (*pJob->m_pfnProgress && IsUpdateDue(pJob->m_pClock, pJob->m_dwLastUpdate, pJob->m_dwInterval))
        (*pJob->m_pfnProgress)(cells);
}
