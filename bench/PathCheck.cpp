// Solves clue files both ways, the step-by-step placement search and the
// fast path, and compares everything a user can observe: the trace, every
// notification with the grid total, the grid after each pass, the result.
// Prints the time of each path per file.
//
//   tabulon_path_check FILE...

#include "model/PuzzleFile.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Course {
    std::string events;
    int nResult = -1;
    double dMs = 0;
};

void Note(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext) {
    auto* pCourse = static_cast<Course*>(pContext);
    pCourse->events +=
        std::to_string(nRow) + "," + std::to_string(nCol) + ":" + std::to_string(pPuzzle->GetGridTotal()) + "\n";
    if (nRow == -1 && nCol == -1)
        for (int r = 0; r < pPuzzle->GetHeight(); ++r)
            for (int c = 0; c < pPuzzle->GetWidth(); ++c)
                pCourse->events += static_cast<char>('0' + pPuzzle->GetCell(r, c));
}

void Trace(void* pContext, int nMode) {
    static_cast<Course*>(pContext)->events += "trace " + std::to_string(nMode) + "\n";
}

Course Solve(const char* pszPath, bool bFaithful) {
    CPuzzleFile puzzle;
    puzzle.Load(pszPath);
    Course course;
    puzzle.SetFaithfulSearch(bFaithful);
    puzzle.SetTrace(Trace, &course);
    const auto start = std::chrono::steady_clock::now();
    course.nResult = puzzle.Solve(Note, &course);
    course.dMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        for (int c = 0; c < puzzle.GetWidth(); ++c)
            course.events += static_cast<char>('0' + puzzle.GetCell(r, c));
    return course;
}

} // namespace

int main(int argc, char** argv) {
    int nDiffering = 0;
    for (int i = 1; i < argc; ++i) {
        const Course faithful = Solve(argv[i], true);
        const Course fast = Solve(argv[i], false);
        const bool bSame = faithful.events == fast.events && faithful.nResult == fast.nResult;
        nDiffering += !bSame;
        std::printf("%s\t%s\tresult %d\tsearch %.2f ms\tfast %.2f ms\n", bSame ? "same" : "DIFFERENT", argv[i],
                    fast.nResult, faithful.dMs, fast.dMs);
    }
    std::printf("%d of %d files differ\n", nDiffering, argc - 1);
    return nDiffering ? 1 : 0;
}
