// The line solver: one row or column at a time, in the fast mode (leftmost and
// rightmost placements, overlaps and gaps) or, when the driver asks for it,
// the exhaustive placement search (PlacementSearch.cpp).

#include "model/Puzzle.h"
#include "solver/FastMarks.h"
#include "solver/LeastPlacement.h"
#include "solver/PlacementSearch.h"
#include "solver/RunCheck.h"

#include <algorithm>

namespace {

// The cells the fast mode may decide (ForEachMark) written into the line.
// Returns true when a cell that was unknown got a value.
bool MarkOverlapsAndGaps(const ClueList& clues, const int32_t* pLeft, const int32_t* pRight, CellState* pWork,
                         int32_t nLength, bool& bConflict) {
    bool bChanged = false;
    ForEachMark(clues, pLeft, pRight, nLength, [&](int32_t nFrom, int32_t nTo, CellState state) {
        for (int32_t i = nFrom; i < nTo; ++i) {
            if (pWork[i] == CELL_UNKNOWN)
                bChanged = true;
            else if (pWork[i] != state)
                bConflict = true; // only a line without solution gets here
            pWork[i] = state;
        }
    });
    return bChanged;
}

bool LastRunInside(const ClueList& clues, int32_t nLength) {
    return clues.back().pos >= 0 && clues.back().pos + clues.back().length <= nLength;
}

// Pass A of PushLeft: walks the filled blocks from the right end and pulls the
// run that should cover each block far enough right to reach it.
// Returns false when a run is pushed out of the line.
bool CoverBlocksFromTheRight(ClueList& clues, const CellState* pLine, int32_t nLength, bool& bMoved) {
    int32_t p = nLength - 1;
    // The runs after the last one placed stay right of every later block,
    // so the search for a block's run starts at that run.
    size_t nCandidates = clues.size();
    for (;;) {
        if (p > 0) {
            while (p > 0 && pLine[p] != CELL_FILLED)
                --p;
            while (p > 0 && pLine[p] == CELL_FILLED)
                --p;
        }
        const int32_t b = p + 1;
        size_t j = nCandidates;
        while (j > 0 && clues[j - 1].pos > b)
            --j;
        j = j > 0 ? j - 1 : 0;
        nCandidates = j + 1;
        Clue& clue = clues[j];
        if (clue.pos + clue.length < b) {
            // The run now ends on cell b. A zero-length run on a one-cell line
            // would land past the line's end, where it can stand no more than
            // at the end itself: keep it at the end.
            clue.pos = std::min(b - clue.length + 1, nLength - clue.length);
            CPuzzle::PackFollowing(clues, j);
            bMoved = true;
            if (!LastRunInside(clues, nLength))
                return false;
        }
        p = clue.pos - 1;
        if (j == 0)
            return true;
    }
}

// Pass B of PushLeft: moves every run that disagrees with the line one cell
// right (re-packing those after it) until each agrees. The re-packing
// depends only on where the run ends up, and the runs after it only move
// right as it does, so the run is stepped alone and the rest packed once.
bool MoveInvalidRuns(ClueList& clues, const CellState* pLine, int32_t nLength, const int32_t* pEmptyBefore,
                     bool& bMoved) {
    for (size_t t = 0; t < clues.size();) {
        Clue& clue = clues[t];
        if (RunAgreesWithLine(clue, pLine, nLength, pEmptyBefore)) {
            ++t;
            continue;
        }
        do
            ++clue.pos;
        while (clue.pos + clue.length <= nLength && !RunAgreesWithLine(clue, pLine, nLength, pEmptyBefore));
        CPuzzle::PackFollowing(clues, t);
        bMoved = true;
        if (!LastRunInside(clues, nLength))
            return false;
    }
    return true;
}

// The runs start at their lower bounds, and those are in order: the
// step-by-step push then settles on the least placement that agrees with the
// line whenever one exists, since each of its moves only raises a start no
// such placement can be left of.
bool StartsAtItsBounds(const ClueList& clues) {
    return std::all_of(clues.begin(), clues.end(), [](const Clue& clue) { return clue.pos == clue.minStart; }) &&
           BoundsInOrder(clues);
}

} // namespace

void CPuzzle::PackFollowing(ClueList& clues, size_t k) {
    for (size_t t = k + 1; t < clues.size(); ++t) {
        int32_t nPos = clues[t - 1].pos + clues[t - 1].length + 1;
        clues[t].pos = std::max(nPos, clues[t].minStart);
    }
}

bool CPuzzle::PushLeft(ClueList& clues, const CellState* pLine, int32_t nLength, const int32_t* pEmptyBefore) {
    PushScratch scratch;
    return PushLeft(clues, pLine, nLength, pEmptyBefore, scratch);
}

bool CPuzzle::PushLeft(ClueList& clues, const CellState* pLine, int32_t nLength, const int32_t* pEmptyBefore,
                       PushScratch& scratch) {
    // The least placement found at once is the one the push arrives at. When
    // there is none, the push's own answer for a line without placement (a
    // run pushed out, or a placement that breaks the line) is kept.
    if (!clues.empty() && StartsAtItsBounds(clues)) {
        scratch.starts.resize(clues.size());
        for (size_t t = 0; t < clues.size(); ++t)
            scratch.starts[t] = clues[t].pos;
        const CCellLine<CellState, CELL_EMPTY, CELL_FILLED> line(pLine, nLength, scratch.lastEmpty, scratch.lastFilled,
                                                                 scratch.filledEnd);
        if (LeastPlacement(clues, line, scratch.starts.data())) {
            for (size_t t = 0; t < clues.size(); ++t)
                clues[t].pos = scratch.starts[t];
            return true;
        }
    }
    return PushLeftStepwise(clues, pLine, nLength, pEmptyBefore);
}

bool CPuzzle::PushLeftStepwise(ClueList& clues, const CellState* pLine, int32_t nLength, const int32_t* pEmptyBefore) {
    // Every move shifts the placement right in lexicographic order, so the
    // loop ends; the bound stops it on a line whose runs cannot be placed.
    if (clues.empty())
        return true;
    if (!LastRunInside(clues, nLength))
        return false;
    for (;;) {
        bool bMoved = false;
        if (!CoverBlocksFromTheRight(clues, pLine, nLength, bMoved))
            return false;
        if (!MoveInvalidRuns(clues, pLine, nLength, pEmptyBefore, bMoved))
            return false;
        if (!bMoved)
            return true;
    }
}

bool CPuzzle::SolveRow(int16_t nRow) {
    LineRef line{m_grid.data() + static_cast<ptrdiff_t>(nRow) * m_nCols, 1, m_nCols};
    return SolveLine(m_rowClues[static_cast<size_t>(nRow)], line, true, nRow);
}

bool CPuzzle::SolveColumn(int16_t nCol) {
    LineRef line{m_grid.data() + nCol, m_nCols, m_nRows};
    return SolveLine(m_colClues[static_cast<size_t>(nCol)], line, false, nCol);
}

bool CPuzzle::SolveLine(ClueList& clues, LineRef line, bool bIsRow, int nIndex) {
    if (clues.empty())
        return false; // refused before solving starts; never reached from Solve
    // A line whose cells did not change since this mode last gave nothing on
    // it gives nothing again: both modes depend only on the cells (the
    // bounds they start from narrow, but never past a fitting placement).
    uint8_t* pDirty = nullptr;
    if (!m_bFaithful) {
        std::vector<uint8_t>& dirty = bIsRow ? m_dirty.rows[m_bFullSweep ? 1 : 0] : m_dirty.cols[m_bFullSweep ? 1 : 0];
        if (static_cast<size_t>(nIndex) < dirty.size()) {
            pDirty = &dirty[static_cast<size_t>(nIndex)];
            if (!*pDirty)
                return false;
        }
    }
    const int32_t nBeyond = clues.back().maxStart + 1;
    for (Clue& clue : clues) {
        clue.fitStart = nBeyond;
        clue.pos = clue.minStart;
    }
    m_bZoneScanDone = 0;
    m_bJustFitted = 0;
    if (!m_bFullSweep)
        (bIsRow ? m_rowRuns : m_colRuns).Forget(static_cast<size_t>(nIndex));
    if (!m_lineBits.IsEmpty()) {
        const LineOutcome outcome =
            m_bFullSweep ? SolveFastBits(clues, bIsRow, nIndex) : SolveAgreementBits(clues, bIsRow, nIndex);
        if (outcome != LineOutcome::kUndecided) {
            if (outcome == LineOutcome::kNothing && pDirty)
                *pDirty = 0;
            return outcome == LineOutcome::kChanged;
        }
    }
    if (m_bFullSweep)
        (bIsRow ? m_rowMemo : m_colMemo).Forget(static_cast<size_t>(nIndex));

    std::vector<CellState>& work = m_scratch.work;
    work.resize(static_cast<size_t>(line.length));
    int32_t nLineSum = 0;
    for (int32_t i = 0; i < line.length; ++i) {
        work[i] = line.first[i * line.stride];
        nLineSum += work[i];
    }

    bool bChanged;
    bool bContradiction = false;
    if (m_bFullSweep)
        bChanged = SolveFast(clues, line.length, bContradiction);
    else if (m_bFaithful)
        bChanged = CPlacementSearch(*this, clues, line.length, nLineSum).Run(bContradiction);
    else
        bChanged = SolveByAgreement(clues, line.length, nLineSum, bContradiction);
    if (bChanged && !bContradiction)
        WriteBack(line, bIsRow, nIndex);
    else if (pDirty && !bChanged)
        *pDirty = 0;
    if (bContradiction)
        NoteContradiction(bIsRow, nIndex);
    return bChanged;
}

// Copies `work` into the line and marks the lines through every changed
// cell, this one included, for examination in both modes.
void CPuzzle::WriteBack(LineRef line, bool bIsRow, int nIndex) {
    const std::vector<CellState>& work = m_scratch.work;
    const LineCells cells = CellsOf(bIsRow, nIndex);
    bool bAnyChange = false;
    for (int32_t i = 0; i < line.length; ++i) {
        if (line.first[i * line.stride] == work[i])
            continue;
        DecideCell(cells, i, work[i]);
        bAnyChange = true;
    }
    if (bAnyChange)
        MarkOwnLine(bIsRow, nIndex);
}

// The exhaustive mode's result without the search: the cells every fitting
// placement agrees on. Written only when that adds a cell; when it adds
// nothing the search would have stopped early and written nothing.
bool CPuzzle::SolveByAgreement(ClueList& clues, int32_t nLength, int32_t nLineSum, bool& bNoFit) {
    LineScratch& s = m_scratch;
    s.agreed.resize(static_cast<size_t>(nLength));
    if (!s.agreement.Settle(clues, s.work.data(), nLength, s.agreed.data(), s.leftStarts, s.rightStarts)) {
        bNoFit = true;
        return nLineSum != 0;
    }
    int32_t nSum = 0;
    for (CellState state : s.agreed)
        nSum += state;
    for (size_t t = 0; t < clues.size(); ++t) {
        clues[t].minStart = s.leftStarts[t];
        clues[t].maxStart = s.rightStarts[t];
    }
    if (nSum == nLineSum)
        return false;
    s.work.swap(s.agreed);
    return true;
}

bool CPuzzle::SolveFast(ClueList& clues, int32_t nLength, bool& bContradiction) {
    const size_t n = clues.size();
    LineScratch& s = m_scratch;

    s.forward.assign(clues.begin(), clues.end());
    s.backward.assign(clues.rbegin(), clues.rend());
    PrepareRanges(s.backward, nLength);
    s.reversed.assign(s.work.rbegin(), s.work.rend());
    CountEmptyCells(s.work.data(), nLength, s.emptyBefore);
    // The empty cells before cell i of the reversed line are those after
    // cell nLength - i of the line.
    const auto nLast = static_cast<size_t>(nLength);
    s.emptyBeforeReversed.resize(nLast + 1);
    for (size_t i = 0; i <= nLast; ++i)
        s.emptyBeforeReversed[i] = s.emptyBefore[nLast] - s.emptyBefore[nLast - i];
    // The faithful path keeps the push step by step, so that the
    // differential test checks the placement found at once against it.
    auto push = [&](ClueList& runs, const CellState* pLine, const int32_t* pEmptyBefore) {
        return m_bFaithful ? PushLeftStepwise(runs, pLine, nLength, pEmptyBefore)
                           : PushLeft(runs, pLine, nLength, pEmptyBefore, s.push);
    };
    if (!push(s.forward, s.work.data(), s.emptyBefore.data()) ||
        !push(s.backward, s.reversed.data(), s.emptyBeforeReversed.data())) {
        bContradiction = true; // no placement of the runs agrees with the line
        return false;
    }

    s.leftStarts.resize(n);
    s.rightStarts.resize(n);
    for (size_t t = 0; t < n; ++t) {
        s.leftStarts[t] = s.forward[t].pos;
        s.rightStarts[t] = nLength - s.backward[n - 1 - t].pos - clues[t].length;
        clues[t].minStart = s.leftStarts[t];
    }
    return MarkOverlapsAndGaps(clues, s.leftStarts.data(), s.rightStarts.data(), s.work.data(), nLength,
                               bContradiction);
}
