#pragma once

#include "model/CellState.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CPuzzle;

// How hard a puzzle is: the kind of reasoning that solves it, and how much
// of it. The same clues always get the same rating: it comes from exact
// line logic and the single-threaded complete solver with options fixed
// here, never from timing or threads.
enum class RatingClass {
    Line,     // Solve's line logic finishes it (so the solution is unique)
    Probing,  // unique; line logic and probing finish it, without a search branching
    Search,   // unique, but only a search that branches finds the solution and proves it the only one
    Multiple, // two solutions or more
    None,     // no solution: clues refused before solving (unequal totals, runs longer than their
              // line, a dimension 0) or proved contradictory
    Unknown,  // the rating was stopped (stop flag or node limit) before its class was known
};

struct RatingOptions {
    // The complete solver's node limit (0: none): a rating whose search
    // reaches this many nodes before it ends is Unknown. The root is the
    // first node, so a puzzle scored "search N" needs a limit above N. A
    // limit in nodes, unlike one in time, gives the same answer on every
    // machine.
    uint64_t nMaxNodes = 0;
    // Set from any thread to stop the rating: it ends as Unknown at once.
    const std::atomic<bool>* pStop = nullptr;
};

struct PuzzleRating {
    RatingClass ratingClass = RatingClass::Unknown;
    // The work the class needed, comparable within a class only:
    //   Line      half-sweeps of exact line logic that decided a cell: all
    //             rows settled from what is known, then all columns, and so
    //             on; how often the reasoning must turn from rows to columns
    //             or back (a picture the rows alone settle: 1);
    //   Probing   probes made: a cell assumed filled and then empty, each
    //             assumption followed by line logic;
    //   Search    search nodes the complete solver needed to find the
    //             solution and prove there is no other;
    //   Multiple  search nodes until the second solution was found;
    //   None      search nodes to prove it (0: refused, or line logic finds
    //             the contradiction; 1: probing at the root does);
    //   Unknown   0: not known.
    uint64_t nScore = 0;
    // The clues were refused before any solving (None: unequal totals,
    // runs longer than their line, a dimension 0; Unknown: a line too large
    // for the line solver's working memory).
    bool bRefused = false;
    // Why, for None (the clues' fault) and for an Unknown the solver
    // refused (a line too large for its working memory); else empty.
    std::string strNote;
    // The cells line logic decides (rows x columns, row by row; undecided
    // cells CELL_UNKNOWN), the same as Solve's; empty when the clues were
    // refused.
    std::vector<CellState> lineCells;
    // The solutions found: one for Line, Probing and Search, two for
    // Multiple (where they differ shows why), none otherwise.
    std::vector<CellState> first;
    std::vector<CellState> second;
};

// Rates a puzzle's clues; the puzzle itself is not changed. Runs on the
// calling thread for as long as the rating takes (or until options.pStop).
PuzzleRating RatePuzzle(const CPuzzle& puzzle, const RatingOptions& options = RatingOptions());

// The class as one fixed word: "line", "probing", "search", "multiple",
// "none" or "unknown".
const char* RatingClassWord(RatingClass ratingClass);

// "search 1234": the class word and the score; "unknown" alone.
std::string FormatRating(const PuzzleRating& rating);
