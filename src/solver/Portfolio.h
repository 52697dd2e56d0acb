#pragma once

#include "solver/CompleteSolver.h"

#include <vector>

// Complete solving with several cores on one puzzle: differently set up
// searches run side by side, each on its own copy, and the first to finish
// gives the answer and stops the others. Each is exact on its own (a proof
// of no solution or of uniqueness, a full count), so the outcome and the
// number of solutions never depend on which one wins; the solution shown
// and the search nodes may.
//
// The searches:
//   - the solver as set up (one solution: restarts on Luby budgets);
//   - one run without restarts, in the order a count explores (looking for
//     one solution, it finds the first solution a count of two would);
//   - the search that learns from the root, where every line takes the
//     word form (it hands over at once);
//   - backtracking alone.
// A count of two takes them in that order, without the run that mirrors
// it. One solution takes the run without restarts and the search that
// learns first: they are the two a count of two races, each stopped at its
// first solution, so on two threads one solution never takes more search
// than two. Counts beyond two solutions, and a single thread, take the
// solver as set up alone.
class CPortfolioSolver {
  public:
    explicit CPortfolioSolver(const CPuzzle& puzzle) : m_puzzle(puzzle) {}

    // options.nThreads searches at most. Progress comes from the first
    // search alone; solutions are told (pfnSolution) once the winner is
    // known, the winner's only.
    CCompleteSolver::Result Solve(const CCompleteSolver::Options& options);

    // The set-ups Solve runs (the first is the options themselves).
    std::vector<CCompleteSolver::Options> SetUps(const CCompleteSolver::Options& options) const;

  private:
    const CPuzzle& m_puzzle;
};
