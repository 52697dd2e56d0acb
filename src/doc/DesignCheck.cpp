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

    RatingOptions options;
    options.pStop = &stop;
    verdict.rating = RatePuzzle(m_clues, options);
    const PuzzleRating& rating = verdict.rating;
    switch (rating.ratingClass) {
    case RatingClass::Line:
        verdict.kind = DesignVerdict::Kind::LineLogic;
        break;
    case RatingClass::Probing:
    case RatingClass::Search:
        verdict.kind = DesignVerdict::Kind::Unique;
        break;
    case RatingClass::Multiple:
        verdict.kind = DesignVerdict::Kind::NotUnique;
        for (size_t i = 0; i < std::min(rating.first.size(), rating.second.size()); ++i)
            if (rating.first[i] != rating.second[i])
                verdict.differ.push_back(static_cast<int>(i));
        break;
    default: // a design always has its own picture as a solution: only a stop ends here
        verdict.kind = DesignVerdict::Kind::Stopped;
        break;
    }
    return verdict;
}
