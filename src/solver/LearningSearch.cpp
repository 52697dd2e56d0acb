#include "solver/LearningSearch.h"

#include "solver/LineAgreement.h"
#include "solver/Luby.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <iterator>

namespace {

// Recent contradictions count for more: each bump grows by 1 / kDecay.
constexpr double kDecay = 0.95;
// Conflicts between two progress reports.
constexpr uint64_t kProgressEvery = 256;
// Learnt clauses kept more per clean-up.
constexpr size_t kMoreLearnts = 500;

CellState Opposite(CellState state) {
    return state == CELL_FILLED ? CELL_EMPTY : CELL_FILLED;
}

} // namespace

CLearningSearch::CLearningSearch(const std::vector<ClueList>& lines, int nRows, int nCols)
    : CLearningSearch(lines, nRows, nCols, Tuning()) {
}

CLearningSearch::CLearningSearch(const std::vector<ClueList>& lines, int nRows, int nCols, const Tuning& tuning)
    : m_lines(lines), m_nRows(nRows), m_nCols(nCols), m_tuning(tuning), m_nMaxLearnts(tuning.nFirstMaxLearnts) {
    m_wordOffset.push_back(0);
    for (int nLine = 0; nLine < static_cast<int>(m_lines.size()); ++nLine)
        m_wordOffset.push_back(m_wordOffset.back() + 2 * WordsOf(nLine));
    m_known.assign(m_wordOffset.back(), 0);
    m_memo.Reset(m_lines.size());
    m_fitsMemo.Reset(m_lines.size());
    m_wordLines.Prepare(m_lines, nRows, nCols);
    const size_t nCells = static_cast<size_t>(nRows) * static_cast<size_t>(nCols);
    m_cells.assign(nCells, CELL_UNKNOWN);
    m_nRowWords = WordsOf(0);
    m_nColumnWords = WordsOf(nRows);
    m_places.resize(nCells);
    for (size_t nCell = 0; nCell < nCells; ++nCell) {
        const auto nRow = static_cast<uint32_t>(nCell / static_cast<size_t>(nCols));
        const auto nColumn = static_cast<uint32_t>(nCell % static_cast<size_t>(nCols));
        m_places[nCell] = {nRow, nColumn, static_cast<uint32_t>(m_wordOffset[nRow] + nColumn / 64),
                           static_cast<uint32_t>(m_wordOffset[static_cast<size_t>(nRows) + nColumn] + nRow / 64)};
    }
    m_level.assign(nCells, 0);
    m_trailPos.assign(nCells, 0);
    m_reason.assign(nCells, kDecision);
    m_phase.assign(nCells, CELL_FILLED);
    m_target.assign(nCells, CELL_UNKNOWN);
    m_order.Reset(std::vector<double>(nCells, 0.0));
    m_seen.assign(nCells, 0);
    m_reasons.resize(nCells);
    m_hasReason.assign(nCells, 0);
    m_levelSeen.assign(nCells + 1, 0);
    m_watches.resize(2 * nCells);
    m_lineQueued.assign(m_lines.size(), 0);
}

size_t CLearningSearch::CellOf(int nLine, int32_t i) const {
    if (nLine < m_nRows)
        return static_cast<size_t>(nLine) * static_cast<size_t>(m_nCols) + static_cast<size_t>(i);
    return static_cast<size_t>(i) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nLine - m_nRows);
}

int32_t CLearningSearch::IndexInLine(int nLine, size_t nCell) const {
    const CellPlace& place = m_places[nCell];
    return static_cast<int32_t>(nLine < m_nRows ? place.nColumn : place.nRow);
}

std::array<int, 2> CLearningSearch::LinesThrough(size_t nCell) const {
    const CellPlace& place = m_places[nCell];
    return {static_cast<int>(place.nRow), m_nRows + static_cast<int>(place.nColumn)};
}

// Sets or clears a cell's bits in its row's and its column's known words.
void CLearningSearch::MarkKnown(size_t nCell, CellState state, bool bKnown) {
    const CellPlace& place = m_places[nCell];
    const bool bEmpty = state == CELL_EMPTY;
    uint64_t& nRowWord = m_known[place.nRowWord + (bEmpty ? m_nRowWords : 0)];
    uint64_t& nColumnWord = m_known[place.nColumnWord + (bEmpty ? m_nColumnWords : 0)];
    const uint64_t nRowBit = uint64_t{1} << (place.nColumn % 64);
    const uint64_t nColumnBit = uint64_t{1} << (place.nRow % 64);
    if (bKnown) {
        nRowWord |= nRowBit;
        nColumnWord |= nColumnBit;
    } else {
        nRowWord &= ~nRowBit;
        nColumnWord &= ~nColumnBit;
    }
}

void CLearningSearch::Assign(Lit lit, int32_t nReason) {
    const size_t nCell = CellOfLit(lit);
    const CellState state = StateOfLit(lit);
    m_cells[nCell] = state;
    m_level[nCell] = static_cast<uint32_t>(Level());
    m_trailPos[nCell] = static_cast<uint32_t>(m_trail.size());
    m_reason[nCell] = nReason;
    m_trail.push_back(lit);
    MarkKnown(nCell, state, true);
    for (const int nLine : LinesThrough(nCell)) {
        // A line learns nothing from the cells it forced itself.
        if (!m_lineQueued[static_cast<size_t>(nLine)] && nReason != LineReason(nLine)) {
            m_lineQueued[static_cast<size_t>(nLine)] = 1;
            m_lineQueue.push_back(nLine);
        }
    }
}

void CLearningSearch::Unassign(size_t nCell) {
    const CellState state = m_cells[nCell];
    if (!m_bProbing)
        m_phase[nCell] = state;
    m_cells[nCell] = CELL_UNKNOWN;
    m_hasReason[nCell] = 0;
    m_order.Insert(nCell);
    MarkKnown(nCell, state, false);
}

// Every line was at its fixed point when the decision of level nLevel + 1
// was taken, so none needs settling after the jump back.
void CLearningSearch::BacktrackTo(size_t nLevel) {
    if (Level() <= nLevel)
        return;
    const size_t nKeep = m_levelStarts[nLevel];
    while (m_trail.size() > nKeep) {
        Unassign(CellOfLit(m_trail.back()));
        m_trail.pop_back();
    }
    m_levelStarts.resize(nLevel);
    m_nHead = std::min(m_nHead, m_trail.size());
    for (const int nLine : m_lineQueue)
        m_lineQueued[static_cast<size_t>(nLine)] = 0;
    m_lineQueue.clear();
}

int32_t CLearningSearch::Propagate() {
    for (;;) {
        while (m_nHead < m_trail.size()) {
            const int32_t nConflict = PropagateClauses(m_trail[m_nHead++]);
            if (nConflict != kNoConflict)
                return nConflict;
        }
        if (m_lineQueue.empty())
            return kNoConflict;
        const int nLine = m_lineQueue.back();
        m_lineQueue.pop_back();
        m_lineQueued[static_cast<size_t>(nLine)] = 0;
        if (!SettleLine(nLine))
            return LineReason(nLine);
    }
}

// The clauses watching the literal `lit` made false: each finds another
// literal to watch, or forces its other watched one, or is the conflict.
int32_t CLearningSearch::PropagateClauses(Lit lit) {
    const Lit nFalse = lit ^ 1;
    std::vector<Watch>& watchers = m_watches[nFalse];
    size_t nKept = 0;
    for (size_t w = 0; w < watchers.size(); ++w) {
        if (IsTrue(watchers[w].nBlocker)) {
            watchers[nKept++] = watchers[w];
            continue;
        }
        const int32_t nClause = watchers[w].nClause;
        const std::span<Lit> clause = LitsOf(nClause);
        if (clause[0] == nFalse)
            std::swap(clause[0], clause[1]);
        if (IsTrue(clause[0])) {
            watchers[nKept++] = {nClause, clause[0]};
            continue;
        }
        const auto other = std::find_if(clause.begin() + 2, clause.end(), [&](Lit l) { return !IsFalse(l); });
        if (other != clause.end()) {
            std::swap(clause[1], *other);
            m_watches[clause[1]].push_back({nClause, clause[0]});
            continue;
        }
        watchers[nKept++] = {nClause, clause[0]};
        if (IsFalse(clause[0])) {
            std::copy(watchers.begin() + static_cast<std::ptrdiff_t>(w) + 1, watchers.end(),
                      watchers.begin() + static_cast<std::ptrdiff_t>(nKept));
            watchers.resize(nKept + watchers.size() - w - 1);
            return nClause;
        }
        Assign(clause[0], nClause);
    }
    watchers.resize(nKept);
    return kNoConflict;
}

// A one-word line's result comes from the memo: restarts and jumps back
// bring lines back to the states they were settled in again and again.
bool CLearningSearch::SettleLine(int nLine) {
    const size_t nWords = WordsOf(nLine);
    const uint64_t* pKnown = m_known.data() + m_wordOffset[static_cast<size_t>(nLine)];
    const ClueList& clues = m_lines[static_cast<size_t>(nLine)];
    // The cells every placement fills, then those every placement leaves empty.
    const uint64_t* pAgreed = nullptr;
    if (nWords == 1) {
        const COneWordLine* pLine = m_wordLines.Find(static_cast<size_t>(nLine));
        const CWordLineMemo::Slot& slot = pLine ? m_memo.Settled(static_cast<size_t>(nLine), *pLine, pKnown)
                                                : m_memo.Settled(static_cast<size_t>(nLine), clues, LineLength(nLine), pKnown);
        if (!slot.Fits())
            return false;
        pAgreed = slot.agreed;
    } else {
        m_agreed.resize(2 * nWords);
        if (!CLineAgreement::AgreedWords(clues, LineLength(nLine), pKnown, pKnown + nWords, m_agreed.data()))
            return false;
        pAgreed = m_agreed.data();
    }
    for (size_t w = 0; w < nWords; ++w) {
        // Read before assigning: Assign changes the line's known words.
        const uint64_t nFilled = pAgreed[w] & ~pKnown[w];
        const uint64_t nEmpty = pAgreed[nWords + w] & ~pKnown[nWords + w];
        for (uint64_t nNew = nFilled | nEmpty; nNew != 0; nNew &= nNew - 1) {
            const int nBit = std::countr_zero(nNew);
            const auto i = static_cast<int32_t>(w * 64 + static_cast<size_t>(nBit));
            Assign(LitOf(CellOf(nLine, i), (nFilled >> nBit) & 1 ? CELL_FILLED : CELL_EMPTY), LineReason(nLine));
        }
    }
    return true;
}

void CLearningSearch::Explain(int32_t nReason, Lit lit, std::vector<Lit>& because) {
    because.clear();
    if (IsLineReason(nReason)) {
        ExplainLine(LineOfReason(nReason), lit, because);
        return;
    }
    for (const Lit l : LitsOf(nReason))
        if (l != lit)
            because.push_back(l ^ 1);
}

// The line's cells known before `lit` force it (or, for kNoLit, leave the
// line no placement). Most of them are not needed: they are dropped, the
// most recent first, while the rest still force it, several at once while
// that works and one at a time where it does not. Each cell kept was
// needed when it was tried, and fewer cells can only force less, so none
// of them can go. Fewer and older cells make a clause that prunes more and
// jumps back further.
//
// The cells the line forced itself are left out from the start: every
// placement that fits the cells it forced them from agrees with them, so
// the placements that fit the other cells are those that fit them all.
// Dropping the latest first, each would have gone when tried (the cells it
// was forced from are older, still there), so the reason is the same, for
// about a third fewer questions.
void CLearningSearch::ExplainLine(int nLine, Lit lit, std::vector<Lit>& because) {
    const size_t nWords = WordsOf(nLine);
    const uint64_t* pKnown = m_known.data() + m_wordOffset[static_cast<size_t>(nLine)];
    const uint32_t nBefore = lit == kNoLit ? UINT32_MAX : m_trailPos[CellOfLit(lit)];
    m_words.assign(2 * nWords, 0);
    m_candidates.clear();
    for (size_t w = 0; w < 2 * nWords; ++w) {
        const size_t nFirstCell = (w < nWords ? w : w - nWords) * 64;
        for (uint64_t nBits = pKnown[w]; nBits != 0; nBits &= nBits - 1) {
            const auto nBit = static_cast<uint64_t>(std::countr_zero(nBits));
            const size_t nCell = CellOf(nLine, static_cast<int32_t>(nFirstCell + nBit));
            const uint32_t nTrailPos = m_trailPos[nCell];
            if (nTrailPos >= nBefore || m_reason[nCell] == LineReason(nLine))
                continue;
            m_words[w] |= uint64_t{1} << nBit;
            m_candidates.push_back(Candidate{nTrailPos} << 32 | w << 6 | nBit);
        }
    }
    std::sort(m_candidates.begin(), m_candidates.end(), std::greater<Candidate>()); // the latest first
    auto flip = [&](size_t nFrom, size_t nTo) {
        for (size_t k = nFrom; k < nTo; ++k)
            m_words[WordOf(m_candidates[k])] ^= BitOf(m_candidates[k]);
    };
    // The cell forced, the other way: a placement that fits with it shows
    // the cells left do not force it.
    uint64_t* pOther = nullptr;
    uint64_t nOther = 0;
    if (lit != kNoLit) {
        const int32_t i = IndexInLine(nLine, CellOfLit(lit));
        pOther = &m_words[static_cast<size_t>(i / 64) + (StateOfLit(lit) == CELL_FILLED ? nWords : 0)];
        nOther = uint64_t{1} << (i % 64);
        *pOther |= nOther;
    }
    size_t nChunk = 1;
    for (size_t k = 0; k < m_candidates.size();) {
        const size_t nTake = std::min(nChunk, m_candidates.size() - k);
        flip(k, k + nTake);
        if (!LineFits(nLine)) {
            k += nTake;
            nChunk *= 2;
            continue;
        }
        flip(k, k + nTake);
        if (nTake > 1) {
            nChunk = nTake / 2;
            continue;
        }
        const size_t nWord = WordOf(m_candidates[k]);
        const size_t nCellInLine = (nWord < nWords ? nWord : nWord - nWords) * 64 + (m_candidates[k] & 63);
        because.push_back(LitOf(CellOf(nLine, static_cast<int32_t>(nCellInLine)), nWord < nWords ? CELL_FILLED : CELL_EMPTY));
        ++k;
    }
    if (pOther)
        *pOther &= ~nOther;
}

// Whether a placement fits the cells in m_words. Thinning reasons asks this
// of the same states of a one-word line again and again (about half the
// questions, measured on a hard 33 x 46 picture): those go through a memo.
bool CLearningSearch::LineFits(int nLine) {
    const COneWordLine* pLine = m_wordLines.Find(static_cast<size_t>(nLine));
    if (!pLine) {
        const size_t nWords = WordsOf(nLine);
        return CLineAgreement::FitsWords(m_lines[static_cast<size_t>(nLine)], LineLength(nLine), m_words.data(),
                                         m_words.data() + nWords);
    }
    return m_fitsMemo.Fits(static_cast<size_t>(nLine), *pLine, m_words.data());
}

// First unique implication point: the reasons are resolved, the latest
// cell first, until one cell of the current level is left; the clause is
// its opposite and the opposites of the older cells met on the way.
void CLearningSearch::Analyze(int32_t nConflict, std::vector<Lit>& learnt, size_t& nBackLevel) {
    learnt.assign(1, 0);
    int nPending = 0;
    Lit lit = kNoLit;
    size_t nIndex = m_trail.size();
    std::vector<Lit> conflict;
    Explain(nConflict, kNoLit, conflict);
    const std::vector<Lit>* pBecause = &conflict;
    for (;;) {
        for (const Lit q : *pBecause) {
            const size_t nCell = CellOfLit(q);
            if (m_seen[nCell] || m_level[nCell] == 0)
                continue;
            m_seen[nCell] = 1;
            Bump(nCell);
            if (m_level[nCell] == Level())
                ++nPending;
            else
                learnt.push_back(q ^ 1);
        }
        do
            --nIndex;
        while (!m_seen[CellOfLit(m_trail[nIndex])]);
        lit = m_trail[nIndex];
        m_seen[CellOfLit(lit)] = 0;
        if (--nPending == 0)
            break;
        pBecause = &ReasonOf(CellOfLit(lit));
    }
    learnt[0] = lit ^ 1;
    if (m_tuning.bMinimize)
        Minimize(learnt);
    nBackLevel = 0;
    size_t nAt = 1;
    for (size_t k = 1; k < learnt.size(); ++k) {
        const size_t nCell = CellOfLit(learnt[k]);
        m_seen[nCell] = 0;
        if (m_level[nCell] > nBackLevel) {
            nBackLevel = m_level[nCell];
            nAt = k;
        }
    }
    if (learnt.size() > 1)
        std::swap(learnt[1], learnt[nAt]); // watched: the last to become true again
}

// The cells that together forced an assigned cell, found once while it
// stays assigned. Cells fixed at level 0 have none.
const std::vector<CLearningSearch::Lit>& CLearningSearch::ReasonOf(size_t nCell) {
    std::vector<Lit>& reason = m_reasons[nCell];
    if (!m_hasReason[nCell]) {
        Explain(m_reason[nCell], LitOf(nCell, m_cells[nCell]), reason);
        m_hasReason[nCell] = 1;
    }
    return reason;
}

// Drops the clause's cells whose reasons lie within the rest of the clause
// (or at level 0): the clause without them follows from it by resolution.
// The cells of the clause are marked seen on entry.
void CLearningSearch::Minimize(std::vector<Lit>& learnt) {
    uint32_t nLevelMask = 0;
    for (size_t k = 1; k < learnt.size(); ++k)
        nLevelMask |= 1u << (m_level[CellOfLit(learnt[k])] & 31);
    m_cleared.clear();
    size_t nKept = 1;
    for (size_t k = 1; k < learnt.size(); ++k) {
        const size_t nCell = CellOfLit(learnt[k]);
        if (m_reason[nCell] == kDecision || !Redundant(learnt[k] ^ 1, nLevelMask))
            learnt[nKept++] = learnt[k];
        else
            m_cleared.push_back(nCell);
    }
    learnt.resize(nKept);
    for (const size_t nCell : m_cleared)
        m_seen[nCell] = 0;
}

// Whether the true literal `lit` follows from the cells marked seen: each
// cell of its reason is seen, at level 0, or follows from them in turn.
// A cell at a level none of the clause's cells is at cannot follow (its
// reason leads back to that level's decision). Cells found to follow stay
// seen, for the next call; on failure, those marked by this call are
// cleared.
bool CLearningSearch::Redundant(Lit lit, uint32_t nLevelMask) {
    m_stack.assign(1, lit);
    const size_t nTop = m_cleared.size();
    while (!m_stack.empty()) {
        const size_t nCell = CellOfLit(m_stack.back());
        m_stack.pop_back();
        for (const Lit q : ReasonOf(nCell)) {
            const size_t nOther = CellOfLit(q);
            if (m_seen[nOther] || m_level[nOther] == 0)
                continue;
            if (m_reason[nOther] == kDecision || !((nLevelMask >> (m_level[nOther] & 31)) & 1)) {
                for (size_t k = nTop; k < m_cleared.size(); ++k)
                    m_seen[m_cleared[k]] = 0;
                m_cleared.resize(nTop);
                return false;
            }
            m_seen[nOther] = 1;
            m_stack.push_back(q);
            m_cleared.push_back(nOther);
        }
    }
    return true;
}

void CLearningSearch::AddClause(const std::vector<Lit>& lits, bool bLearnt, uint32_t nLevels) {
    const auto nClause = static_cast<int32_t>(m_clauses.size());
    m_clauses.push_back({static_cast<uint32_t>(m_clauseLits.size()), static_cast<uint32_t>(lits.size()), nLevels, bLearnt});
    m_clauseLits.insert(m_clauseLits.end(), lits.begin(), lits.end());
    m_nLearnts += bLearnt;
    WatchClause(nClause);
}

// Its first two cells watch it, each with the other as the blocker.
void CLearningSearch::WatchClause(int32_t nClause) {
    const std::span<const Lit> lits = LitsOf(nClause);
    m_watches[lits[0]].push_back({nClause, lits[1]});
    m_watches[lits[1]].push_back({nClause, lits[0]});
}

// The distinct decision levels of a clause's cells: a clause over few
// levels keeps pruning (its cells tend to be decided together).
uint32_t CLearningSearch::LevelsOf(const std::vector<Lit>& lits) {
    uint32_t nLevels = 0;
    for (const Lit lit : lits) {
        const uint32_t nLevel = m_level[CellOfLit(lit)];
        if (!m_levelSeen[nLevel]) {
            m_levelSeen[nLevel] = 1;
            ++nLevels;
        }
    }
    for (const Lit lit : lits)
        m_levelSeen[m_level[CellOfLit(lit)]] = 0;
    return nLevels;
}

// At level 0, between restarts: forgets the learnt clauses that span the
// most levels (half of them, sparing those over two levels or fewer),
// drops cells fixed false from the rest and clauses a fixed cell
// satisfies, and watches the survivors afresh. Cells fixed at level 0 are
// never explained, so no reason points at a forgotten clause.
void CLearningSearch::ReduceClauses() {
    std::vector<uint32_t> levels;
    for (const Clause& clause : m_clauses)
        if (clause.bLearnt && clause.nLevels > 2)
            levels.push_back(clause.nLevels);
    uint32_t nCut = UINT32_MAX;
    if (!levels.empty()) {
        auto middle = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 2);
        std::nth_element(levels.begin(), middle, levels.end());
        nCut = *middle;
    }
    std::vector<Clause> kept;
    std::vector<Lit> keptLits;
    std::vector<Lit> units;
    for (const Clause& clause : m_clauses) {
        if (clause.bLearnt && clause.nLevels > 2 && clause.nLevels >= nCut)
            continue;
        const std::span<const Lit> lits(m_clauseLits.data() + clause.nStart, clause.nSize);
        if (std::any_of(lits.begin(), lits.end(), [&](Lit l) { return IsTrue(l); }))
            continue;
        const size_t nStart = keptLits.size();
        std::copy_if(lits.begin(), lits.end(), std::back_inserter(keptLits), [&](Lit l) { return !IsFalse(l); });
        const size_t nSize = keptLits.size() - nStart;
        if (nSize >= 2) {
            kept.push_back({static_cast<uint32_t>(nStart), static_cast<uint32_t>(nSize), clause.nLevels, clause.bLearnt});
            continue;
        }
        if (nSize == 1)
            units.push_back(keptLits.back());
        else
            m_bContradicted = true;
        keptLits.resize(nStart);
    }
    for (size_t nCell = 0; nCell < m_cells.size(); ++nCell)
        if (m_cells[nCell] != CELL_UNKNOWN)
            m_reason[nCell] = kDecision;
    m_clauses = std::move(kept);
    m_clauseLits = std::move(keptLits);
    m_nLearnts = 0;
    for (std::vector<Watch>& watchers : m_watches)
        watchers.clear();
    for (size_t nClause = 0; nClause < m_clauses.size(); ++nClause) {
        m_nLearnts += m_clauses[nClause].bLearnt;
        WatchClause(static_cast<int32_t>(nClause));
    }
    for (const Lit lit : units)
        if (!IsTrue(lit))
            Assign(lit, kDecision);
    m_nMaxLearnts += kMoreLearnts;
}

// At a contradiction: the cells known before the last decision held
// together; when they are more than the target's, they are the new target.
void CLearningSearch::UpdateTarget() {
    const size_t nConsistent = m_levelStarts.back();
    if (!m_tuning.bTargetPhases || nConsistent <= m_nTarget)
        return;
    m_nTarget = nConsistent;
    for (size_t k = 0; k < nConsistent; ++k)
        m_target[CellOfLit(m_trail[k])] = StateOfLit(m_trail[k]);
}

CellState CLearningSearch::BranchValue(size_t nCell) const {
    return m_target[nCell] != CELL_UNKNOWN ? m_target[nCell] : m_phase[nCell];
}

void CLearningSearch::Bump(size_t nCell) {
    m_order.Add(nCell, m_dBump);
    if (m_order.Activity(nCell) > 1e100) {
        m_order.Scale(1e-100);
        m_dBump *= 1e-100;
    }
}

// The undecided cell most involved in recent contradictions; the first on
// ties, so the search is deterministic. Decided cells met on the way stay
// out of the heap until they are undone.
size_t CLearningSearch::PickBranchCell() {
    while (!m_order.Empty()) {
        const size_t nCell = m_order.Pop();
        if (m_cells[nCell] == CELL_UNKNOWN)
            return nCell;
    }
    return m_cells.size();
}

void CLearningSearch::Equate(size_t nCellA, size_t nCellB) {
    for (const CellState state : {CELL_FILLED, CELL_EMPTY}) // A filled -> B filled, A empty -> B empty
        AddClause({LitOf(nCellA, Opposite(state)), LitOf(nCellB, state)}, false, 0);
}

bool CLearningSearch::Fix(const std::vector<CellState>& cells) {
    BacktrackTo(0);
    for (size_t nCell = 0; nCell < cells.size(); ++nCell) {
        if (cells[nCell] == CELL_UNKNOWN || m_cells[nCell] == cells[nCell])
            continue;
        if (m_cells[nCell] != CELL_UNKNOWN) {
            m_bContradicted = true;
            return false;
        }
        Assign(LitOf(nCell, cells[nCell]), kDecision);
    }
    for (int nLine = 0; nLine < static_cast<int>(m_lines.size()); ++nLine) {
        if (!m_lineQueued[static_cast<size_t>(nLine)]) {
            m_lineQueued[static_cast<size_t>(nLine)] = 1;
            m_lineQueue.push_back(nLine);
        }
    }
    if (Propagate() != kNoConflict)
        m_bContradicted = true;
    return !m_bContradicted;
}

void CLearningSearch::Block(const std::vector<CellState>& cells) {
    BacktrackTo(0);
    std::vector<Lit> lits;
    for (size_t nCell = 0; nCell < cells.size(); ++nCell)
        if (m_cells[nCell] == CELL_UNKNOWN)
            lits.push_back(LitOf(nCell, Opposite(cells[nCell])));
    AddBlockingClause(lits);
}

void CLearningSearch::BlockFound() {
    std::vector<Lit> lits;
    for (const size_t nStart : m_levelStarts)
        lits.push_back(m_trail[nStart] ^ 1); // the choice's opposite
    BacktrackTo(0);
    AddBlockingClause(lits);
}

// At the root: no literal left means nothing else is possible, one is a
// cell fixed for good; a blocking clause is never forgotten.
void CLearningSearch::AddBlockingClause(const std::vector<Lit>& lits) {
    if (lits.empty())
        m_bContradicted = true;
    else if (lits.size() == 1)
        Assign(lits[0], kDecision);
    else
        AddClause(lits, false, 0);
}

// A contradiction below the root: learns its clause, jumps back and
// asserts the clause's one cell left.
void CLearningSearch::Learn(int32_t nConflict, std::vector<Lit>& learnt) {
    UpdateTarget();
    size_t nBackLevel = 0;
    Analyze(nConflict, learnt, nBackLevel);
    const uint32_t nLevels = LevelsOf(learnt);
    BacktrackTo(nBackLevel);
    if (learnt.size() == 1) {
        Assign(learnt[0], kDecision); // level 0: holds in every solution
    } else {
        AddClause(learnt, true, nLevels);
        Assign(learnt[0], static_cast<int32_t>(m_clauses.size() - 1));
    }
    m_dBump /= kDecay;
}

// Tries both values of the most active undecided cells, each on a level of
// its own: a value that ends in a contradiction is learnt from at once
// (kLearned); otherwise the cell whose two values each decide the most
// cells is the branch. A stop request ends the trying between cells
// (kInterrupted): on a large grid each try may settle many lines.
size_t CLearningSearch::PickByLookahead(std::vector<Lit>& learnt, const std::atomic<bool>* pStop) {
    m_probes.clear();
    while (m_probes.size() < m_tuning.nLookaheadCells && !m_order.Empty()) {
        const size_t nCell = m_order.Pop();
        if (m_cells[nCell] == CELL_UNKNOWN)
            m_probes.push_back(nCell);
    }
    if (m_probes.empty())
        return m_cells.size();
    size_t nBest = m_probes.front();
    uint64_t nBestScore = 0;
    m_bProbing = true;
    for (size_t k = 0; k < m_probes.size(); ++k) {
        if (pStop && pStop->load(std::memory_order_relaxed)) {
            m_bProbing = false;
            ReturnProbes(k);
            return kInterrupted;
        }
        const size_t nCell = m_probes[k];
        uint64_t nScore = 1;
        for (const CellState state : {CELL_FILLED, CELL_EMPTY}) {
            const size_t nBefore = m_trail.size();
            m_levelStarts.push_back(nBefore);
            Assign(LitOf(nCell, state), kDecision);
            const int32_t nConflict = Propagate();
            if (nConflict != kNoConflict) {
                m_bProbing = false;
                ReturnProbes(k + 1);
                Learn(nConflict, learnt);
                return kLearned;
            }
            nScore *= m_trail.size() - nBefore + 1;
            BacktrackTo(Level() - 1);
        }
        if (nScore > nBestScore) {
            nBestScore = nScore;
            nBest = nCell;
        }
    }
    m_bProbing = false;
    return nBest;
}

// The lookahead's cells from nFrom on, not tried, go back to the heap
// (those tried went back when undone).
void CLearningSearch::ReturnProbes(size_t nFrom) {
    for (size_t j = nFrom; j < m_probes.size(); ++j)
        m_order.Insert(m_probes[j]);
}

CLearningSearch::Outcome CLearningSearch::Next(std::vector<CellState>& cells, const Limits& limits) {
    std::vector<Lit> learnt;
    uint64_t nRun = 0;
    uint64_t nRunConflicts = 0;
    uint64_t nBudget = m_tuning.nRestartConflicts * Luby(++nRun);
    // A lookahead's contradiction counts like any other, progress included.
    const auto countConflict = [&] {
        ++m_nConflicts;
        ++nRunConflicts;
        if (limits.pfnProgress && m_nConflicts % kProgressEvery == 0)
            limits.pfnProgress(m_cells, limits.pProgressContext);
    };
    while (!m_bContradicted) {
        const int32_t nConflict = Propagate();
        if (nConflict != kNoConflict) {
            countConflict();
            if (Level() == 0) {
                m_bContradicted = true;
                break;
            }
            Learn(nConflict, learnt);
            continue;
        }
        if ((limits.pStop && limits.pStop->load(std::memory_order_relaxed)) ||
            (limits.nMaxConflicts && m_nConflicts >= limits.nMaxConflicts))
            return Outcome::Stopped;
        if (nRunConflicts >= nBudget) {
            BacktrackTo(0);
            nRunConflicts = 0;
            nBudget = m_tuning.nRestartConflicts * Luby(++nRun);
            if (m_nLearnts > m_nMaxLearnts)
                ReduceClauses();
            continue; // the clean-up may have fixed cells
        }
        size_t nCell = 0;
        if (m_tuning.bLookahead) {
            nCell = PickByLookahead(learnt, limits.pStop);
            if (nCell == kLearned) {
                countConflict();
                continue;
            }
            if (nCell == kInterrupted)
                continue; // the loop's next check returns Stopped
        } else {
            nCell = PickBranchCell();
        }
        if (nCell == m_cells.size()) {
            cells = m_cells;
            return Outcome::Solution;
        }
        m_levelStarts.push_back(m_trail.size());
        Assign(LitOf(nCell, BranchValue(nCell)), kDecision);
    }
    return Outcome::NoSolution;
}
