#include "doc/DesignCheck.h"

#include <algorithm>

const char* VerdictText(DesignVerdict::Kind kind) {
    switch (kind) {
    case DesignVerdict::Kind::NotChecked:
        return "Not checked yet";
    case DesignVerdict::Kind::LineLogic:
        return "Solvable by line logic";
    case DesignVerdict::Kind::Unique:
        return "Unique, needs more than line logic";
    case DesignVerdict::Kind::NotUnique:
        return "Not unique";
    case DesignVerdict::Kind::Stopped:
        break;
    }
    return "Check stopped";
}

CDesignCheck::CDesignCheck(const CPuzzle& clues) : m_clues(clues) {
}

DesignVerdict CDesignCheck::Run(const std::atomic<bool>& stop,
                                const std::function<void(const DesignVerdict&)>& fnLineLogic) {
    DesignVerdict verdict;
    CPuzzle lines = m_clues;
    lines.SetTrace(nullptr, nullptr);
    lines.SetStopFlag(&stop);
    const int nResult = lines.Solve(nullptr, nullptr);
    if (nResult == SOLVE_STOPPED) {
        verdict.kind = DesignVerdict::Kind::Stopped;
        return verdict;
    }
    verdict.lineCells = lines.GetCells();
    if (nResult == SOLVE_SOLVED)
        verdict.kind = DesignVerdict::Kind::LineLogic;
    if (fnLineLogic)
        fnLineLogic(verdict);
    if (nResult == SOLVE_SOLVED)
        return verdict;

    CCompleteSolver::Options options;
    options.nMaxSolutions = 2;
    options.pStop = &stop;
    const CCompleteSolver::Result result = CCompleteSolver(m_clues).Solve(options);
    verdict.nNodes = result.nNodes;
    switch (result.outcome) {
    case CCompleteSolver::Outcome::Multiple:
        verdict.kind = DesignVerdict::Kind::NotUnique;
        for (size_t i = 0; i < std::min(result.first.size(), result.second.size()); ++i)
            if (result.first[i] != result.second[i])
                verdict.differ.push_back(static_cast<int>(i));
        break;
    case CCompleteSolver::Outcome::Unique:
    case CCompleteSolver::Outcome::Solved:
        verdict.kind = DesignVerdict::Kind::Unique;
        break;
    default: // a design always has its own picture as a solution: only a stop ends here
        verdict.kind = DesignVerdict::Kind::Stopped;
        break;
    }
    return verdict;
}
