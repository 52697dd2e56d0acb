// libFuzzer target for the puzzle readers (".tb", ".non", plain, XML). Bytes the
// ".tb" reader accepts are solved with a bounded effort; small puzzles are
// solved both by the fast path and by the step-by-step search, and the two
// must agree, and completely, where line logic and the complete solver
// check each other, and so must the rating. Every reader must leave a
// refused puzzle empty, and every puzzle read must come back the same
// from each format it is written in.

#include "model/ClueFile.h"
#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"
#include "solver/CompleteSolver.h"
#include "solver/Rating.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Small grids keep every input quick; the limit itself is what is fuzzed
// against, not the machine's memory.
constexpr int64_t kMaxCells = 1 << 16;
constexpr int kMaxNotifications = 200000;

struct Effort {
    std::atomic<bool> stop{false};
    int nNotifications = 0;
};

void CountNotification(CPuzzle*, int, int, void* pContext) {
    auto* pEffort = static_cast<Effort*>(pContext);
    if (++pEffort->nNotifications >= kMaxNotifications)
        pEffort->stop = true;
}

int SolveBounded(CPuzzle& puzzle, bool bFaithful) {
    Effort effort;
    puzzle.SetFaithfulSearch(bFaithful);
    puzzle.SetTrace(nullptr, nullptr);
    puzzle.SetStopFlag(&effort.stop);
    return puzzle.Solve(CountNotification, &effort);
}

bool SameGrid(const CPuzzle& a, const CPuzzle& b) {
    for (int r = 0; r < a.GetHeight(); ++r)
        for (int c = 0; c < a.GetWidth(); ++c)
            if (a.GetCell(r, c) != b.GetCell(r, c))
                return false;
    return true;
}

bool SatisfiesClues(const CPuzzle& clues, const std::vector<CellState>& cells) {
    CPuzzle solved = clues;
    solved.SetCells(cells);
    return solved.SatisfiesAllClues();
}

// Line logic only decides what holds in every solution, and a grid it
// finishes is the only solution; the complete solver's answers must agree,
// and every solution it reports must read the clues. The settings vary
// with the input so that the restarts and the search that learns are
// fuzzed as well.
void SolveCompletelyAndCompare(const CPuzzle& fresh, const CPuzzle& lineLogic, int nLineResult, uint8_t nVariant) {
    CCompleteSolver::Options options;
    options.nMaxSolutions = 2;
    options.nMaxNodes = 20000;
    if (nVariant % 3 == 1)
        options.nLearnAfterLines = 1;
    else if (nVariant % 3 == 2)
        options.nRestartNodes = 2;
    const CCompleteSolver::Result result = CCompleteSolver(fresh).Solve(options);
    using Outcome = CCompleteSolver::Outcome;
    if ((result.outcome == Outcome::Unique && result.nSolutions != 1) ||
        (result.outcome == Outcome::Multiple && result.nSolutions < 2) ||
        (result.outcome == Outcome::NoSolution && result.nSolutions != 0) || result.outcome == Outcome::Solved)
        std::abort(); // the outcome and the count disagree (two solutions were asked for)
    if (nLineResult == SOLVE_NO_SOLUTION && result.nSolutions > 0)
        std::abort(); // line logic proved there is none
    if (nLineResult == SOLVE_SOLVED && result.outcome != Outcome::Unique)
        std::abort(); // a grid line logic forces is the only solution (read below like any other)
    std::vector<const std::vector<CellState>*> solutions;
    if (result.nSolutions > 0)
        solutions.push_back(&result.first);
    if (result.nSolutions > 1)
        solutions.push_back(&result.second);
    for (const std::vector<CellState>* pCells : solutions) {
        if (!SatisfiesClues(fresh, *pCells))
            std::abort();
        for (int r = 0; r < lineLogic.GetHeight(); ++r)
            for (int c = 0; c < lineLogic.GetWidth(); ++c) {
                const CellState state = lineLogic.GetCell(r, c);
                if (state != 0 && state != (*pCells)[static_cast<size_t>(r * lineLogic.GetWidth() + c)])
                    std::abort(); // a cell line logic decided differs in a solution
            }
    }
    if (result.nSolutions > 1 && result.first == result.second)
        std::abort();
}

// Counting is where the two searches differ most (the one that learns blocks
// each solution it found with a clause, and those found before it took
// over): on small grids, the search that does not learn, the one that
// learns from the start, and a hand-over part way (where, the input says)
// count up to a limit, and those that finish must find as many.
void CountBothWays(const CPuzzle& fresh, uint8_t nHandOver) {
    CCompleteSolver::Options options;
    options.nMaxSolutions = 30;
    options.nMaxNodes = 20000;
    options.nLearnAfterLines = 0;
    const CCompleteSolver::Result plain = CCompleteSolver(fresh).Solve(options);
    using Outcome = CCompleteSolver::Outcome;
    if (plain.outcome == Outcome::Stopped)
        return;
    for (const uint64_t nLearnAfterLines : {uint64_t{1}, 2 + uint64_t{nHandOver} * 4}) {
        options.nLearnAfterLines = nLearnAfterLines;
        const CCompleteSolver::Result learning = CCompleteSolver(fresh).Solve(options);
        if (learning.outcome != Outcome::Stopped && plain.nSolutions != learning.nSolutions)
            std::abort();
    }
}

bool SameClues(const CPuzzle& a, const CPuzzle& b) {
    if (a.GetHeight() != b.GetHeight() || a.GetWidth() != b.GetWidth())
        return false;
    for (int r = 0; r < a.GetHeight(); ++r)
        if (a.GetRowClueCount(r) != b.GetRowClueCount(r))
            return false;
        else
            for (int k = 0; k < a.GetRowClueCount(r); ++k)
                if (a.GetRowClue(r, k) != b.GetRowClue(r, k))
                    return false;
    for (int c = 0; c < a.GetWidth(); ++c)
        if (a.GetColumnClueCount(c) != b.GetColumnClueCount(c))
            return false;
        else
            for (int k = 0; k < a.GetColumnClueCount(c); ++k)
                if (a.GetColumnClue(c, k) != b.GetColumnClue(c, k))
                    return false;
    return true;
}

// Every format written and read back: the same clues, and the goal where
// the format holds one (the first solution line logic found, or a grid of
// the input's bytes: any picture will do).
void WriteAndReadBack(const CPuzzle& fresh, const uint8_t* pData, size_t nSize) {
    if (fresh.GetHeight() == 0 || fresh.GetWidth() == 0)
        return; // loads as ".tb" only: the other formats want 1..32767
    PuzzleExtras extras;
    extras.strTitle = std::string(reinterpret_cast<const char*>(pData), std::min<size_t>(nSize, 8));
    for (size_t i = 0; i < static_cast<size_t>(fresh.GetHeight()) * static_cast<size_t>(fresh.GetWidth()); ++i)
        extras.strGoal += (pData[i % nSize] >> (i % 8)) & 1 ? '1' : '0';
    for (PuzzleFormat format : {PuzzleFormat::Tabulon, PuzzleFormat::Non, PuzzleFormat::Plain, PuzzleFormat::Xml}) {
        std::string text = FormatPuzzle(fresh, format, extras);
        CPuzzle again;
        PuzzleExtras read;
        std::string strFault;
        if (format == PuzzleFormat::Tabulon) {
            std::FILE* pText = fmemopen(text.data(), text.size(), "r");
            strFault = ReadClueFile(pText, again, kMaxCells);
            std::fclose(pText);
        } else if (format == PuzzleFormat::Non) {
            strFault = ReadNonText(text, again, read, kMaxCells);
        } else if (format == PuzzleFormat::Plain) {
            strFault = ReadPlainText(text, again, kMaxCells);
        } else {
            strFault = ReadXmlText(text, again, read, kMaxCells);
        }
        if (!strFault.empty() || !SameClues(fresh, again))
            std::abort();
        const bool bKeepsGoal = format == PuzzleFormat::Non || format == PuzzleFormat::Xml;
        if (bKeepsGoal && read.strGoal != extras.strGoal)
            std::abort();
    }
}

// The rating's line logic is Solve's: the same puzzles finish, the same
// ones are refused or found contradictory by line logic alone, and what it
// reports as solutions reads the clues.
void RateAndCompare(const CPuzzle& fresh, int nLineResult) {
    RatingOptions options;
    options.nMaxNodes = 20000;
    const PuzzleRating rating = RatePuzzle(fresh, options);
    if ((rating.ratingClass == RatingClass::Line) != (nLineResult == SOLVE_SOLVED) ||
        rating.bRefused != (nLineResult == SOLVE_REFUSED) ||
        (rating.ratingClass == RatingClass::None && rating.nScore == 0 && !rating.bRefused) !=
            (nLineResult == SOLVE_NO_SOLUTION))
        std::abort();
    for (const std::vector<CellState>* pCells : {&rating.first, &rating.second})
        if (!pCells->empty() && !SatisfiesClues(fresh, *pCells))
            std::abort();
}

// The readers of the other formats on the same bytes.
void ReadOtherFormats(const uint8_t* pData, size_t nSize) {
    const std::string_view text(reinterpret_cast<const char*>(pData), nSize);
    CPuzzle non, plain, xml;
    PuzzleExtras extras;
    if (!ReadNonText(text, non, extras, kMaxCells).empty() && (non.GetHeight() || non.GetWidth()))
        std::abort();
    if (!ReadPlainText(text, plain, kMaxCells).empty() && (plain.GetHeight() || plain.GetWidth()))
        std::abort();
    PuzzleExtras xmlExtras;
    if (ReadXmlText(text, xml, xmlExtras, kMaxCells).empty()) {
        // an accepted goal covers the grid exactly, and the count includes the puzzle opened
        if ((!xmlExtras.strGoal.empty() &&
             xmlExtras.strGoal.size() != static_cast<size_t>(xml.GetHeight()) * static_cast<size_t>(xml.GetWidth())) ||
            xmlExtras.nPuzzlesInFile < 1)
            std::abort();
    } else if (xml.GetHeight() || xml.GetWidth() || !xmlExtras.strTitle.empty()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    ReadOtherFormats(pData, nSize);
    if (nSize == 0)
        return 0; // fmemopen refuses an empty buffer; the empty file has its own test
    std::FILE* pFile = fmemopen(const_cast<uint8_t*>(pData), nSize, "r");
    if (!pFile)
        return 0;
    CPuzzle puzzle;
    const std::string strFault = ReadClueFile(pFile, puzzle, kMaxCells);
    std::fclose(pFile);
    if (!strFault.empty()) {
        if (puzzle.GetHeight() != 0 || puzzle.GetWidth() != 0)
            std::abort(); // a refused file must leave the puzzle empty
        return 0;
    }
    CPuzzle searched = puzzle;
    const CPuzzle fresh = puzzle;
    WriteAndReadBack(fresh, pData, nSize);
    const int nFast = SolveBounded(puzzle, false);
    if (nFast == SOLVE_SOLVED && !puzzle.SatisfiesAllClues())
        std::abort();
    // The step-by-step search can take combinatorially long: only on small grids.
    if (searched.GetHeight() <= 12 && searched.GetWidth() <= 12) {
        const int nSearched = SolveBounded(searched, true);
        if (nFast != SOLVE_STOPPED && nSearched != SOLVE_STOPPED && (nFast != nSearched || !SameGrid(puzzle, searched)))
            std::abort(); // the fast path must observe what the search observes
        if (nFast != SOLVE_REFUSED)
            SolveCompletelyAndCompare(fresh, puzzle, nFast, pData[0]);
        if (nFast != SOLVE_STOPPED)
            RateAndCompare(fresh, nFast);
        if (nFast != SOLVE_REFUSED && fresh.GetHeight() <= 6 && fresh.GetWidth() <= 6)
            CountBothWays(fresh, pData[nSize - 1]);
    }
    return 0;
}
