#include "solver/LineAgreement.h"

#include <algorithm>

// The tables are filled only where they can be true: run t can only start
// within [Lo(t), Hi(t)], so prefix row t+1 is false before run t's earliest
// end, and past its latest end only carries gaps forward. That keeps the
// work close to the line's length plus its slack per run.

void CLineAgreement::FillPrefixes(const ClueList& clues) {
    const size_t n = clues.size();
    uint8_t* pRow = &Prefix(0, 0);
    pRow[0] = 1;
    for (int32_t i = 1; i <= m_nLength; ++i)
        pRow[i] = pRow[i - 1] && Gap(i - 1);
    for (size_t t = 1; t <= n; ++t) {
        const uint8_t* pBefore = &Prefix(t - 1, 0);
        pRow = &Prefix(t, 0);
        const Clue& clue = clues[t - 1];
        const int32_t nLo = Lo(clue);
        const int32_t nHi = Hi(clue);
        const int32_t nFirstEnd = std::min(nLo + clue.length, m_nLength + 1);
        std::fill(pRow, pRow + nFirstEnd, uint8_t{0});
        for (int32_t i = nFirstEnd; i <= m_nLength; ++i) {
            bool bFits = i > 0 && Gap(i - 1) && pRow[i - 1];
            const int32_t s = i - clue.length;
            if (!bFits && s <= nHi && NoEmpty(s, i))
                bFits = s == 0 ? t == 1 : Gap(s - 1) && pBefore[s - 1];
            pRow[i] = bFits;
        }
    }
}

void CLineAgreement::FillSuffixes(const ClueList& clues) {
    const size_t n = clues.size();
    uint8_t* pRow = &Suffix(n, 0);
    pRow[m_nLength] = 1;
    for (int32_t i = m_nLength - 1; i >= 0; --i)
        pRow[i] = pRow[i + 1] && Gap(i);
    for (size_t t = n; t-- > 0;) {
        const uint8_t* pAfter = &Suffix(t + 1, 0);
        pRow = &Suffix(t, 0);
        const Clue& clue = clues[t];
        const int32_t nLo = Lo(clue);
        const int32_t nHi = Hi(clue);
        std::fill(pRow + std::max(nHi + 1, 0), pRow + m_nLength + 1, uint8_t{0});
        for (int32_t i = std::min(nHi, m_nLength); i >= 0; --i) {
            bool bFits = i < m_nLength && Gap(i) && pRow[i + 1];
            if (!bFits && i >= nLo && NoEmpty(i, i + clue.length)) {
                const int32_t e = i + clue.length;
                bFits = e == m_nLength ? t + 1 == n : Gap(e) && pAfter[e + 1];
            }
            pRow[i] = bFits;
        }
    }
}

bool CLineAgreement::Settle(const ClueList& clues, const CellState* pLine, int32_t nLength, CellState* pAgreed,
                            std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts) {
    if (FitsInAnyWords(clues, nLength))
        return SettleBits(clues, pLine, nLength, pAgreed, leftStarts, rightStarts);
    return SettleInTables(clues, pLine, nLength, pAgreed, leftStarts, rightStarts);
}

bool CLineAgreement::SettleInTables(const ClueList& clues, const CellState* pLine, int32_t nLength, CellState* pAgreed,
                                    std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts) {
    const size_t n = clues.size();
    m_pLine = pLine;
    m_nLength = nLength;
    m_nStride = static_cast<size_t>(nLength) + 1;
    m_empty.resize(m_nStride);
    m_empty[0] = 0;
    for (int32_t i = 0; i < nLength; ++i)
        m_empty[i + 1] = m_empty[i] + (pLine[i] == CELL_EMPTY);
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
        for (int32_t s = Lo(clue), nHi = Hi(clue); s <= nHi; ++s) {
            const int32_t e = s + clue.length;
            if (!NoEmpty(s, e))
                continue;
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
    // A gap cell c between runs t-1 and t: t runs fit before it and the rest
    // after it. Prefix row t is false before run t-1's earliest end, and
    // suffix row t false after run t's latest start.
    for (size_t t = 0; t <= n; ++t) {
        const int32_t nFrom = t == 0 ? 0 : Lo(clues[t - 1]) + clues[t - 1].length;
        const int32_t nTo = t == n ? nLength : std::min(Hi(clues[t]), nLength);
        for (int32_t c = std::max(nFrom, 0); c < nTo; ++c)
            if (Gap(c) && Prefix(t, c) && Suffix(t, c + 1))
                m_canEmpty[c] = 1;
    }

    int32_t nCovering = 0;
    for (int32_t c = 0; c < nLength; ++c) {
        nCovering += m_canFill[c];
        const bool bFill = nCovering > 0;
        const bool bEmpty = m_canEmpty[c] != 0;
        pAgreed[c] = bFill && bEmpty ? CELL_UNKNOWN : bFill ? CELL_FILLED : CELL_EMPTY;
    }
    return true;
}
