// Solves clue files both ways, the step-by-step placement search and the
// fast path, and compares everything a user can observe: the trace, every
// notification with the grid at that moment (its digest, which the solve
// keeps up to date, so that a 3200 x 3200 grid is not read after each of
// its millions of lines), the result and the final grid. Prints the time
// of each path per file and, at the first notification that differs, where.
//
//   tabulon_path_check FILE...

#include "model/PuzzleFile.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A running FNV-1a hash of the notifications and trace lines in order.
struct Course {
    uint64_t nHash = 14695981039346656037ULL;
    uint64_t nEvents = 0;
    int nResult = -1;
    double dMs = 0;
    // the first events, to say where two courses part
    std::vector<uint64_t> hashes;

    void Add(uint64_t nValue) {
        for (int i = 0; i < 8; ++i) {
            nHash = (nHash ^ ((nValue >> (8 * i)) & 0xff)) * 1099511628211ULL;
        }
        ++nEvents;
        if (hashes.size() < (1u << 22))
            hashes.push_back(nHash);
    }
};

void Note(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext) {
    auto* pCourse = static_cast<Course*>(pContext);
    pCourse->Add(static_cast<uint64_t>(static_cast<uint32_t>(nRow)) << 32 | static_cast<uint32_t>(nCol));
    pCourse->Add(pPuzzle->GetSolveDigest());
}

void Trace(void* pContext, int nMode) {
    static_cast<Course*>(pContext)->Add(0x7472616365ULL + nMode);
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
    for (CellState state : puzzle.GetCells())
        course.Add(static_cast<uint64_t>(state));
    return course;
}

uint64_t FirstDifference(const Course& a, const Course& b) {
    uint64_t i = 0;
    while (i < a.hashes.size() && i < b.hashes.size() && a.hashes[i] == b.hashes[i])
        ++i;
    return i;
}

} // namespace

int main(int argc, char** argv) {
    int nDiffering = 0;
    for (int i = 1; i < argc; ++i) {
        const Course faithful = Solve(argv[i], true);
        const Course fast = Solve(argv[i], false);
        const bool bSame =
            faithful.nHash == fast.nHash && faithful.nEvents == fast.nEvents && faithful.nResult == fast.nResult;
        nDiffering += !bSame;
        std::printf("%s\t%s\tresult %d\tevents %llu\tsearch %.2f ms\tfast %.2f ms", bSame ? "same" : "DIFFERENT",
                    argv[i], fast.nResult, static_cast<unsigned long long>(fast.nEvents), faithful.dMs, fast.dMs);
        if (!bSame)
            std::printf("\tfirst difference at event %llu",
                        static_cast<unsigned long long>(FirstDifference(faithful, fast)));
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("%d of %d files differ\n", nDiffering, argc - 1);
    return nDiffering ? 1 : 0;
}
