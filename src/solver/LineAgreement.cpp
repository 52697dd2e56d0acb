#include "solver/LineAgreement.h"

#include <algorithm>

bool CLineAgreement::RunFitsAt(const Clue& clue, int32_t s) const {
    return s >= std::max(clue.minStart, int32_t{0}) && s <= clue.maxStart && s + clue.length <= m_nLength &&
           NoEmpty(s, s + clue.length);
}

// prefix[t][i]: cell i-1 is a gap after t runs, or run t-1 ends exactly at i
// with a gap (or the line's start) before it.
void CLineAgreement::FillPrefixes(const ClueList& clues) {
    const size_t n = clues.size();
    for (size_t t = 0; t <= n; ++t) {
        for (int32_t i = 0; i <= m_nLength; ++i) {
            bool bFits = t == 0 && i == 0;
            if (i > 0 && Gap(i - 1) && Prefix(t, i - 1))
                bFits = true;
            if (!bFits && t > 0) {
                const Clue& clue = clues[t - 1];
                const int32_t s = i - clue.length;
                if (s >= 0 && RunFitsAt(clue, s))
                    bFits = s == 0 ? t == 1 : Gap(s - 1) && Prefix(t - 1, s - 1);
            }
            Prefix(t, i) = bFits;
        }
    }
}

// suffix[t][i]: cell i is a gap before runs t.., or run t starts at i with a
// gap (or the line's end) after it.
void CLineAgreement::FillSuffixes(const ClueList& clues) {
    const size_t n = clues.size();
    for (size_t t = n + 1; t-- > 0;) {
        for (int32_t i = m_nLength; i >= 0; --i) {
            bool bFits = t == n && i == m_nLength;
            if (i < m_nLength && Gap(i) && Suffix(t, i + 1))
                bFits = true;
            if (!bFits && t < n && RunFitsAt(clues[t], i)) {
                const int32_t e = i + clues[t].length;
                bFits = e == m_nLength ? t + 1 == n : Gap(e) && Suffix(t + 1, e + 1);
            }
            Suffix(t, i) = bFits;
        }
    }
}

bool CLineAgreement::Settle(const ClueList& clues, const CellState* pLine, int32_t nLength, CellState* pAgreed,
                            std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts) {
    const size_t n = clues.size();
    m_pLine = pLine;
    m_nLength = nLength;
    m_nStride = static_cast<size_t>(nLength) + 1;
    m_filled.assign(m_nStride, 0);
    m_empty.assign(m_nStride, 0);
    for (int32_t i = 0; i < nLength; ++i) {
        m_filled[i + 1] = m_filled[i] + (pLine[i] == CELL_FILLED);
        m_empty[i + 1] = m_empty[i] + (pLine[i] == CELL_EMPTY);
    }
    m_prefix.resize((n + 1) * m_nStride);
    m_suffix.resize((n + 1) * m_nStride);
    FillPrefixes(clues);
    FillSuffixes(clues);
    if (!Suffix(0, 0))
        return false;

    // A cell can be filled when some run can cover it in a placement that
    // fits on both sides, and empty when it can stand in some gap.
    m_canFill.assign(m_nStride, 0);
    m_canEmpty.assign(static_cast<size_t>(nLength), 0);
    leftStarts.assign(n, -1);
    rightStarts.assign(n, -1);
    for (size_t t = 0; t < n; ++t) {
        const Clue& clue = clues[t];
        for (int32_t s = std::max(clue.minStart, int32_t{0}); s <= clue.maxStart; ++s) {
            if (!RunFitsAt(clue, s))
                continue;
            const int32_t e = s + clue.length;
            const bool bLeft = s == 0 ? t == 0 : Gap(s - 1) && Prefix(t, s - 1);
            const bool bRight = e == nLength ? t + 1 == n : Gap(e) && Suffix(t + 1, e + 1);
            if (!bLeft || !bRight)
                continue;
            if (leftStarts[t] < 0)
                leftStarts[t] = s;
            rightStarts[t] = s;
            ++m_canFill[s];
            --m_canFill[e];
        }
    }
    for (int32_t c = 0; c < nLength; ++c)
        for (size_t t = 0; t <= n && !m_canEmpty[c]; ++t)
            m_canEmpty[c] = Gap(c) && Prefix(t, c) && Suffix(t, c + 1);

    int32_t nCovering = 0;
    for (int32_t c = 0; c < nLength; ++c) {
        nCovering += m_canFill[c];
        const bool bFill = nCovering > 0;
        const bool bEmpty = m_canEmpty[c] != 0;
        pAgreed[c] = bFill && bEmpty ? CELL_UNKNOWN : bFill ? CELL_FILLED : CELL_EMPTY;
    }
    return true;
}
