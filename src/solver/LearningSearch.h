#pragma once

#include "model/CellState.h"
#include "model/Clue.h"
#include "solver/ActivityHeap.h"
#include "solver/OneWordLine.h"
#include "solver/WordLineMemo.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Search that learns from its dead ends, for puzzles where probing and
// backtracking stall: each cell is a yes/no variable, the lines propagate
// by exact line solving, and every contradiction is traced back through
// the reasons of the cells involved to a clause (a set of cell values that
// cannot all hold), which then prunes the rest of the search and tells how
// far to jump back. A line's reason for a cell is found when needed: the
// line's cells known before it, thinned to those without which the line no
// longer forces the cell. Branching tries both values of the cells most
// often involved in recent contradictions: a value that contradicts is
// learnt from at once, otherwise the cell whose values each decide most
// is the branch, taking the value it had in the longest stretch of cells
// known without a contradiction; the search restarts on Luby's schedule,
// keeping what it learned.
//
// Every line must take the word form (see CLineAgreement::FitsInWords).
class CLearningSearch {
  public:
    enum class Outcome { Solution, NoSolution, Stopped };

    struct Tuning {
        // Conflicts in a restart's run, times Luby's sequence: of 100, 200,
        // 300, 600 and 1000, 300 needed the fewest conflicts in all on eight
        // hard benchmark puzzles (single puzzles swing widely either way).
        uint64_t nRestartConflicts = 300;
        // Learnt clauses kept before the first clean-up.
        size_t nFirstMaxLearnts = 4000;
        // A branch takes the value its cell had in the longest trail that
        // ended in no contradiction (the target), when the cell was on it;
        // otherwise the value it last had. The target leads back towards
        // the largest consistent part of a picture found so far, where the
        // value last had follows wherever the latest contradiction left it:
        // on 27 hard random pictures of 30 to 60 a side, 12 to 14 found in
        // 10 s (four runs) against 8 (two runs).
        bool bTargetPhases = true;
        // A learnt clause loses the cells whose reasons lie within the rest
        // of it: on the 1,000 tournament-style 25 x 25 pictures, learning
        // from the root, 21 % fewer conflicts and 12 % less time in all.
        bool bMinimize = true;
        // A branch is chosen by trying both values of the most active cells
        // (nLookaheadCells of them) rather than by activity alone. A value
        // that contradicts is a conflict learnt from there and then, which
        // the depth-first search's probing finds too and plain activity
        // branching only meets much later. On the 28 random pictures of 30
        // to 60 a side that learning alone found hardest, 21 found in 10 s
        // against 16; 4 and 16 cells found 19 and 20 (single samples: any
        // change to the order of propagation moves them by a few). The
        // complete solver on two threads answered 53 of the 60 random
        // pictures in 10 s against 45 to 47.
        bool bLookahead = true;
        size_t nLookaheadCells = 8;
    };

    // lines: rows first, then columns, ranges prepared, no clue 0.
    CLearningSearch(const std::vector<ClueList>& lines, int nRows, int nCols);
    CLearningSearch(const std::vector<ClueList>& lines, int nRows, int nCols, const Tuning& tuning);

    // Makes two cells take the same value in every solution searched for
    // from now on. Call before Fix.
    void Equate(size_t nCellA, size_t nCellB);

    // Fixes the cells known for certain (the same in every solution).
    // False when they contradict the clues.
    bool Fix(const std::vector<CellState>& cells);

    struct Limits {
        const std::atomic<bool>* pStop = nullptr;
        uint64_t nMaxConflicts = 0; // in all, since construction (0: no limit)
        // Called now and then with the cells known at that moment.
        void (*pfnProgress)(const std::vector<CellState>& cells, void* pContext) = nullptr;
        void* pProgressContext = nullptr;
    };
    // Searches for a solution not blocked so far; `cells` gets it.
    Outcome Next(std::vector<CellState>& cells, const Limits& limits);
    // Where branching starts, before contradictions take over: larger
    // first, each below 1 (a contradiction's bump).
    void SetPriorities(const std::vector<double>& priorities) { m_order.Reset(priorities); }
    // Rules a solution out of later searches.
    void Block(const std::vector<CellState>& cells);
    // Rules out the solution Next just gave, by the branching choices that
    // led to it (the rest of it follows from them): a clause that stays
    // short however large the grid, as counting needs one per solution.
    void BlockFound();

    // Contradictions met, a lookahead's included.
    uint64_t Conflicts() const { return m_nConflicts; }

  private:
    using Lit = uint32_t; // 2 x cell + 1 for filled, + 0 for empty
    static Lit LitOf(size_t nCell, CellState state) {
        return static_cast<Lit>(2 * nCell + (state == CELL_FILLED ? 1 : 0));
    }
    static size_t CellOfLit(Lit lit) { return lit >> 1; }
    static CellState StateOfLit(Lit lit) { return lit & 1 ? CELL_FILLED : CELL_EMPTY; }
    bool IsTrue(Lit lit) const { return m_cells[CellOfLit(lit)] == StateOfLit(lit); }
    bool IsFalse(Lit lit) const {
        const CellState state = m_cells[CellOfLit(lit)];
        return state != CELL_UNKNOWN && state != StateOfLit(lit);
    }

    // What set a cell: a decision (or a fixed cell), a clause, or a line.
    static constexpr int32_t kDecision = -1;
    static int32_t LineReason(int nLine) { return -2 - nLine; }
    static bool IsLineReason(int32_t nReason) { return nReason <= -2; }
    static int LineOfReason(int32_t nReason) { return -2 - nReason; }

    int32_t LineLength(int nLine) const { return nLine < m_nRows ? m_nCols : m_nRows; }
    size_t WordsOf(int nLine) const { return (static_cast<size_t>(LineLength(nLine)) + 63) / 64; }
    size_t CellOf(int nLine, int32_t i) const;
    int32_t IndexInLine(int nLine, size_t nCell) const;
    std::array<int, 2> LinesThrough(size_t nCell) const; // its row and its column
    void MarkKnown(size_t nCell, CellState state, bool bKnown);
    void Assign(Lit lit, int32_t nReason);
    void Unassign(size_t nCell);
    void BacktrackTo(size_t nLevel);
    size_t Level() const { return m_levelStarts.size(); }

    // Propagation to a fixed point: clauses on each new cell, then lines.
    // Returns the conflict (a clause index, or a line reason) or kNoConflict.
    static constexpr int32_t kNoConflict = -1;
    int32_t Propagate();
    int32_t PropagateClauses(Lit lit);
    bool SettleLine(int nLine);

    // The true cell values that together force `lit` (or, for lit == kNoLit,
    // make the reason's line or clause impossible).
    static constexpr Lit kNoLit = UINT32_MAX;
    void Explain(int32_t nReason, Lit lit, std::vector<Lit>& because);
    void ExplainLine(int nLine, Lit lit, std::vector<Lit>& because);
    bool LineFits(int nLine);
    const std::vector<Lit>& ReasonOf(size_t nCell);
    void Analyze(int32_t nConflict, std::vector<Lit>& learnt, size_t& nBackLevel);
    void Minimize(std::vector<Lit>& learnt);
    bool Redundant(Lit lit, uint32_t nLevelMask);
    void AddClause(const std::vector<Lit>& lits, bool bLearnt, uint32_t nLevels);
    void WatchClause(int32_t nClause);
    void AddBlockingClause(const std::vector<Lit>& lits);
    uint32_t LevelsOf(const std::vector<Lit>& lits);
    void ReduceClauses();
    void Learn(int32_t nConflict, std::vector<Lit>& learnt);
    static constexpr size_t kLearned = SIZE_MAX;
    static constexpr size_t kInterrupted = SIZE_MAX - 1;
    size_t PickByLookahead(std::vector<Lit>& learnt, const std::atomic<bool>* pStop);
    void ReturnProbes(size_t nFrom);
    void Bump(size_t nCell);
    void UpdateTarget();
    size_t PickBranchCell();
    CellState BranchValue(size_t nCell) const;

    std::vector<ClueList> m_lines;
    int m_nRows;
    int m_nCols;
    Tuning m_tuning;
    std::vector<size_t> m_wordOffset; // line n: filled words, then empty words
    std::vector<uint64_t> m_known;

    std::vector<CellState> m_cells;
    // Each cell's row and column, and the words of m_known that hold it in
    // its row's and its column's filled sets (the empty sets' words follow
    // by m_nRowWords and m_nColumnWords), looked up: assigning and
    // explaining ask them all the time, and a division costs dozens of
    // cycles.
    struct CellPlace {
        uint32_t nRow;
        uint32_t nColumn;
        uint32_t nRowWord;
        uint32_t nColumnWord;
    };
    std::vector<CellPlace> m_places;
    size_t m_nRowWords = 0;    // the words of a row's filled set
    size_t m_nColumnWords = 0; // and of a column's
    std::vector<uint32_t> m_level;
    std::vector<uint32_t> m_trailPos;
    std::vector<int32_t> m_reason;
    std::vector<CellState> m_phase;  // the value a cell last had
    std::vector<CellState> m_target; // its value on the longest trail without a contradiction
    size_t m_nTarget = 0;            // the length of that trail
    std::vector<Lit> m_trail;
    std::vector<size_t> m_levelStarts; // trail size at each decision
    size_t m_nHead = 0;                // trail cells whose clauses are done
    std::vector<int> m_lineQueue;
    std::vector<uint8_t> m_lineQueued;

    // A clause's cells lie in m_clauseLits, the clauses one after another:
    // propagation reads a clause without a pointer of its own to follow.
    struct Clause {
        uint32_t nStart = 0;  // its first cell in m_clauseLits; the first two are watched
        uint32_t nSize = 0;
        uint32_t nLevels = 0; // learnt: the decision levels it spanned when learnt
        bool bLearnt = false; // learnt clauses may be forgotten; blocked solutions may not
    };
    std::span<Lit> LitsOf(int32_t nClause) {
        const Clause& clause = m_clauses[static_cast<size_t>(nClause)];
        return {m_clauseLits.data() + clause.nStart, clause.nSize};
    }
    std::vector<Clause> m_clauses;
    std::vector<Lit> m_clauseLits;
    size_t m_nLearnts = 0;
    size_t m_nMaxLearnts;
    // A clause watching a literal become false, with another of its cells
    // (the blocker): while that one is true the clause is not read.
    struct Watch {
        int32_t nClause;
        Lit nBlocker;
    };
    std::vector<std::vector<Watch>> m_watches; // by literal

    CActivityHeap m_order; // cells by activity
    double m_dBump = 1.0;
    std::vector<uint8_t> m_seen;
    // The reasons of assigned cells found so far: a cell's reason stays as
    // long as the cell does (it depends only on the cells before it).
    std::vector<std::vector<Lit>> m_reasons;
    std::vector<uint8_t> m_hasReason;
    std::vector<Lit> m_stack;
    std::vector<size_t> m_cleared;
    std::vector<uint8_t> m_levelSeen; // by level
    uint64_t m_nConflicts = 0;
    std::vector<size_t> m_probes; // the cells a lookahead tries
    // A lookahead's tries leave the values cells last had alone, except a
    // try that contradicts: its jump back is a conflict's like any other.
    bool m_bProbing = false;
    bool m_bContradicted = false; // no (further) solution at all

    CWordLineMemo m_memo;     // one-word lines' results by their known cells
    CWordLineMemo m_fitsMemo; // and whether a placement fits them, for reasons
    COneWordLines m_wordLines; // the lines of up to 62 cells, prepared
    std::vector<uint64_t> m_agreed; // longer lines' agreed cells: filled words, then empty words
    std::vector<uint64_t> m_words; // scratch: a line's filled and empty words
    // Scratch: the cells a line's reason may need, each as its place on
    // the trail (the high 32 bits, so the latest sort first), then its word
    // in m_words (filled words, then empty words) and its bit there (the
    // low 6 bits).
    using Candidate = uint64_t;
    static size_t WordOf(Candidate candidate) { return static_cast<size_t>(candidate >> 6) & 0x3ffffff; }
    static uint64_t BitOf(Candidate candidate) { return uint64_t{1} << (candidate & 63); }
    std::vector<Candidate> m_candidates;
};
