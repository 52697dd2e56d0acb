// libFuzzer target for the puzzle readers (".tb", ".non", plain, XML). Bytes the
// ".tb" reader accepts are solved with a bounded effort; small puzzles are
// solved both by the fast path and by the step-by-step search, and the two
// must agree. Every reader must leave a refused puzzle empty.

#include "model/ClueFile.h"
#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"

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
    const int nFast = SolveBounded(puzzle, false);
    if (nFast == SOLVE_SOLVED && !puzzle.SatisfiesAllClues())
        std::abort();
    // The step-by-step search can take combinatorially long: only on small grids.
    if (searched.GetHeight() <= 12 && searched.GetWidth() <= 12) {
        const int nSearched = SolveBounded(searched, true);
        if (nFast != SOLVE_STOPPED && nSearched != SOLVE_STOPPED && (nFast != nSearched || !SameGrid(puzzle, searched)))
            std::abort(); // the fast path must observe what the search observes
    }
    return 0;
}
