#pragma once

#include "model/Puzzle.h"
#include "solver/LineAgreement.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Solves a puzzle completely, beyond line logic: exact line solving of the
// lines whose cells changed (a queue, not sweeps), probing of undecided
// cells (assume each colour, propagate; a contradiction decides the cell,
// and what both assumptions force is decided), and depth-first search with
// backtracking through a trail when probing stalls. Deterministic: the same
// clues give the same answers.
class CCompleteSolver {
  public:
    enum class Outcome {
        Solved,     // a solution was found (not checked for others)
        Unique,     // exactly one solution
        Multiple,   // more than one solution: the first two are kept
        NoSolution, // the clues cannot all hold
        Stopped,    // the stop flag or the node limit ended the search
    };

    struct Options {
        // Solutions to look for: 1 finds one, 2 proves uniqueness, N counts up to N.
        uint64_t nMaxSolutions = 1;
        // Search nodes before giving up (0: no limit).
        uint64_t nMaxNodes = 0;
        const std::atomic<bool>* pStop = nullptr;
        // Called now and then during a long search with the cells known at
        // that moment (all unknown cells 0).
        void (*pfnProgress)(const std::vector<CellState>& cells, void* pContext) = nullptr;
        void* pProgressContext = nullptr;
    };

    struct Result {
        Outcome outcome = Outcome::Stopped;
        uint64_t nSolutions = 0;
        uint64_t nNodes = 0;
        std::vector<CellState> first;  // rows x columns, row by row
        std::vector<CellState> second; // when more than one solution was found
        std::vector<CellState> known;  // the cells decided when the search stopped
    };

    // The puzzle must pass the checks Solve makes (equal totals, no empty
    // clue list, runs that fit their lines); it is only read.
    explicit CCompleteSolver(const CPuzzle& puzzle);
    Result Solve(const Options& options);

  private:
    enum class Probe { Contradiction, Progress, Nothing };

    int32_t LineLength(int nLine) const { return nLine < m_nRows ? m_nCols : m_nRows; }
    size_t CellOf(int nLine, int32_t i) const;
    bool Propagate();
    bool SettleLine(int nLine);
    void Assign(size_t nCell, CellState state);
    void UndoTo(size_t nMark);
    void ClearQueue();
    Probe ProbeAll();
    size_t ChooseBranchCell() const;
    bool Search(int nDepth);
    bool ShouldStop() const;

    bool StartFromLineLogic();

    CPuzzle m_puzzle; // a copy the line-logic start solves
    int m_nRows;
    int m_nCols;
    std::vector<ClueList> m_lines; // rows first, then columns
    std::vector<CellState> m_cells;
    std::vector<size_t> m_trail; // cells assigned, in order
    std::vector<int> m_queue;
    std::vector<uint8_t> m_queued;
    std::vector<uint32_t> m_score; // probing: cells each assumption forced
    CLineAgreement m_agreement;
    std::vector<CellState> m_line;
    std::vector<CellState> m_agreed;
    std::vector<int32_t> m_left;
    std::vector<int32_t> m_right;
    std::vector<uint32_t> m_stamp; // probing: which probe last forced a cell
    std::vector<CellState> m_forced;
    uint32_t m_nProbe = 0;
    // Line results by line and cells: probing and search meet the same lines
    // again and again. Bounded; emptied when full.
    std::unordered_map<std::string, std::string> m_cache;
    std::string m_key;
    Options m_options;
    Result m_result;
};
