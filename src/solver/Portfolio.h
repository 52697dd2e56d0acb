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
// The searches, in the order the threads take them:
//   1. the solver as set up (one solution: restarts on Luby budgets);
//   2. one run without restarts, in the order a count explores (looking for
//      one solution, it finds the first solution a count of two would);
//   3. the search that learns from the root, where every line takes the
//      word form (it hands over at once).
// Counts beyond two solutions, and a single thread, take the first alone.
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
