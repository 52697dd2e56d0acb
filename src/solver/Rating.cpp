#include "solver/Rating.h"

#include "model/Puzzle.h"
#include "solver/CompleteSolver.h"
#include "solver/LineAgreement.h"

#include <algorithm>

namespace {

// Exact line logic in half-sweeps: every row settled from the cells known
// so far (what all placements of its runs that fit them agree on), then
// every column, then the rows again, and so on, until no line is left to
// settle. Rows share no cell, so a half-sweep's result does not depend on
// the order of its lines: the number of half-sweeps that decided a cell is
// a property of the clues, how often reasoning must turn from the rows to
// the columns or back.
class CLineRounds {
  public:
    enum class End { Fixpoint, Contradiction, Stopped };

    explicit CLineRounds(const CPuzzle& puzzle)
        : m_nRows(static_cast<size_t>(puzzle.GetHeight())), m_nCols(static_cast<size_t>(puzzle.GetWidth())),
          m_lines(CCompleteSolver::LinesOf(puzzle)), m_cells(m_nRows * m_nCols, CELL_UNKNOWN),
          m_dirty(m_lines.size(), 1), m_nDirty(m_lines.size()) {}

    End Run(const std::atomic<bool>* pStop) {
        for (bool bRows = true; m_nDirty > 0; bRows = !bRows) {
            const uint64_t nDecidedBefore = m_nDecided;
            for (size_t nLine = bRows ? 0 : m_nRows; nLine < (bRows ? m_nRows : m_lines.size()); ++nLine) {
                if (!m_dirty[nLine])
                    continue;
                if (pStop && pStop->load(std::memory_order_relaxed))
                    return End::Stopped;
                m_dirty[nLine] = 0;
                --m_nDirty;
                if (!SettleLine(nLine)) {
                    m_nBrokenLine = nLine;
                    return End::Contradiction;
                }
            }
            m_nHalfSweeps += m_nDecided > nDecidedBefore;
        }
        return End::Fixpoint;
    }

    uint64_t HalfSweeps() const { return m_nHalfSweeps; }
    // After a contradiction: "row 3", "column 1".
    std::string BrokenLine() const {
        return m_nBrokenLine < m_nRows ? "row " + std::to_string(m_nBrokenLine + 1)
                                       : "column " + std::to_string(m_nBrokenLine - m_nRows + 1);
    }
    bool Complete() const { return m_nDecided == m_cells.size(); }
    const std::vector<CellState>& Cells() const { return m_cells; }

  private:
    size_t CellOf(size_t nLine, size_t i) const {
        return nLine < m_nRows ? nLine * m_nCols + i : i * m_nCols + (nLine - m_nRows);
    }

    // False when no placement of the line's runs fits its known cells.
    bool SettleLine(size_t nLine) {
        const bool bRow = nLine < m_nRows;
        const size_t nLength = bRow ? m_nCols : m_nRows;
        m_line.resize(nLength);
        m_agreed.resize(nLength);
        for (size_t i = 0; i < nLength; ++i)
            m_line[i] = m_cells[CellOf(nLine, i)];
        if (!m_agreement.Settle(m_lines[nLine], m_line.data(), static_cast<int32_t>(nLength), m_agreed.data(), m_left,
                                m_right))
            return false;
        for (size_t i = 0; i < nLength; ++i) {
            if (m_line[i] != CELL_UNKNOWN || m_agreed[i] == CELL_UNKNOWN)
                continue;
            m_cells[CellOf(nLine, i)] = m_agreed[i];
            ++m_nDecided;
            const size_t nCrossing = bRow ? m_nRows + i : i;
            m_nDirty += !m_dirty[nCrossing];
            m_dirty[nCrossing] = 1;
        }
        return true;
    }

    size_t m_nRows;
    size_t m_nCols;
    std::vector<ClueList> m_lines; // rows, then columns
    std::vector<CellState> m_cells;
    std::vector<uint8_t> m_dirty; // lines whose cells changed since they were last settled
    size_t m_nDirty;
    uint64_t m_nDecided = 0;
    uint64_t m_nHalfSweeps = 0;
    size_t m_nBrokenLine = 0;
    CLineAgreement m_agreement;
    std::vector<CellState> m_line;
    std::vector<CellState> m_agreed;
    std::vector<int32_t> m_left;
    std::vector<int32_t> m_right;
};

// Cells the runs of a line need: their lengths and one gap between each two.
int64_t CellsNeeded(const ClueList& clues) {
    int64_t nNeeded = 0;
    for (const Clue& clue : clues)
        nNeeded += clue.length + (nNeeded > 0 && clue.length > 0);
    return nNeeded;
}

// Whether every line has clues and room for its runs.
bool RunsFit(const CPuzzle& puzzle) {
    auto fits = [](const ClueList& line, int32_t nLength) { return !line.empty() && CellsNeeded(line) <= nLength; };
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        if (!fits(puzzle.GetRowClues(r), puzzle.GetWidth()))
            return false;
    for (int c = 0; c < puzzle.GetWidth(); ++c)
        if (!fits(puzzle.GetColumnClues(c), puzzle.GetHeight()))
            return false;
    return true;
}

// The complete solver's options for rating, written out rather than taken
// from its defaults: tuning those for speed must not move the scale.
CCompleteSolver::Options RatingSolverOptions(const RatingOptions& options) {
    CCompleteSolver::Options solverOptions;
    solverOptions.nMaxSolutions = 2; // proves the solution unique, or finds a second
    solverOptions.nMaxNodes = options.nMaxNodes;
    solverOptions.nRestartNodes = 0; // one search, as uniqueness needs anyway
    solverOptions.nLineLogicAboveCells = 128 * 128;
    solverOptions.nLearnAfterLines = 10'000'000;
    solverOptions.nSymmetricConflicts = 20'000;
    solverOptions.learning.nRestartConflicts = 300;
    solverOptions.learning.nFirstMaxLearnts = 4000;
    solverOptions.learning.bTargetPhases = false;
    solverOptions.learning.bMinimize = false;
    solverOptions.learning.bLookahead = false;
    solverOptions.pStop = options.pStop;
    return solverOptions;
}

// Beyond line logic: probing alone, a search, several solutions or none.
void RateBeyondLineLogic(const CPuzzle& puzzle, const RatingOptions& options, PuzzleRating& rating) {
    using Outcome = CCompleteSolver::Outcome;
    CCompleteSolver solver(puzzle);
    const CCompleteSolver::Result result = solver.Solve(RatingSolverOptions(options));
    switch (result.outcome) {
    case Outcome::Solved: // only when one solution is asked for
    case Outcome::Unique:
        // The first node is the root: its probing finished the grid.
        rating.ratingClass = result.nNodes <= 1 ? RatingClass::Probing : RatingClass::Search;
        rating.nScore = result.nNodes <= 1 ? result.nProbes : result.nNodes;
        rating.first = result.first;
        break;
    case Outcome::Multiple:
        rating.ratingClass = RatingClass::Multiple;
        rating.nScore = result.nNodes;
        rating.first = result.first;
        rating.second = result.second;
        break;
    case Outcome::NoSolution:
        rating.ratingClass = RatingClass::None;
        rating.nScore = result.nNodes;
        rating.strNote = "the clues contradict each other: no picture fits them all";
        break;
    case Outcome::Stopped:
        break; // Unknown
    }
}

} // namespace

PuzzleRating RatePuzzle(const CPuzzle& puzzle, const RatingOptions& options) {
    PuzzleRating rating;
    CPuzzle checked = puzzle;
    checked.SetFaithfulSearch(false); // the line tables' memory limit, which the rounds below need too
    if (checked.RefuseUnsolvable()) {
        // Unequal totals or runs longer than their line: no picture fits.
        // A line too large for the working memory has one, but no rating.
        rating.ratingClass = checked.CheckClueTotals() || !RunsFit(checked) ? RatingClass::None : RatingClass::Unknown;
        rating.bRefused = true;
        rating.strNote = checked.GetSolveNote();
        return rating;
    }
    CLineRounds rounds(puzzle);
    const CLineRounds::End end = rounds.Run(options.pStop);
    rating.lineCells = rounds.Cells();
    if (end == CLineRounds::End::Stopped)
        return rating;
    if (end == CLineRounds::End::Contradiction) {
        rating.ratingClass = RatingClass::None;
        rating.strNote = "the clues contradict each other: the runs of " + rounds.BrokenLine() +
                         " cannot be placed against the cells decided so far";
    } else if (rounds.Complete()) {
        // Every line was settled after its last cell changed: each reads its clues.
        rating.ratingClass = RatingClass::Line;
        rating.nScore = rounds.HalfSweeps();
        rating.first = rounds.Cells();
    } else {
        RateBeyondLineLogic(puzzle, options, rating);
    }
    return rating;
}

const char* RatingClassWord(RatingClass ratingClass) {
    switch (ratingClass) {
    case RatingClass::Line:
        return "line";
    case RatingClass::Probing:
        return "probing";
    case RatingClass::Search:
        return "search";
    case RatingClass::Multiple:
        return "multiple";
    case RatingClass::None:
        return "none";
    case RatingClass::Unknown:
        break;
    }
    return "unknown";
}

std::string FormatRating(const PuzzleRating& rating) {
    if (rating.ratingClass == RatingClass::Unknown)
        return RatingClassWord(rating.ratingClass);
    return std::string(RatingClassWord(rating.ratingClass)) + " " + std::to_string(rating.nScore);
}
