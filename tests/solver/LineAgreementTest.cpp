// The line solver of complete solving against every placement of the runs,
// on random lines: short ones (settled a word at a time), lines at the
// word's limit, and longer ones (settled with tables).

#include "solver/LineAgreement.h"
#include "model/Puzzle.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Expected {
    bool bFits = false;
    std::vector<CellState> agreed;
    std::vector<int32_t> leftStarts;
    std::vector<int32_t> rightStarts;
};

// Every placement of runs t.. from cell `from` on that keeps each run in its
// bounds and agrees with the known cells; records what they agree on.
class CBruteForce {
  public:
    CBruteForce(const ClueList& clues, const std::vector<CellState>& line) : m_clues(clues), m_line(line) {
        m_placement.assign(line.size(), CELL_EMPTY);
        m_starts.assign(clues.size(), 0);
        m_expected.agreed.assign(line.size(), CELL_UNKNOWN);
        m_expected.leftStarts.assign(clues.size(), -1);
        m_expected.rightStarts.assign(clues.size(), -1);
    }

    Expected Run() {
        Place(0, 0);
        return m_expected;
    }

  private:
    void Place(size_t t, int32_t from) {
        const auto nLength = static_cast<int32_t>(m_line.size());
        if (t == m_clues.size()) {
            Record();
            return;
        }
        const Clue& clue = m_clues[t];
        for (int32_t s = std::max(from, clue.minStart); s <= clue.maxStart && s + clue.length <= nLength; ++s) {
            m_starts[t] = s;
            std::fill(m_placement.begin() + s, m_placement.begin() + s + clue.length, CELL_FILLED);
            Place(t + 1, s + clue.length + 1);
            std::fill(m_placement.begin() + s, m_placement.begin() + s + clue.length, CELL_EMPTY);
        }
    }

    void Record() {
        for (size_t i = 0; i < m_line.size(); ++i)
            if (m_line[i] != CELL_UNKNOWN && m_line[i] != m_placement[i])
                return;
        for (size_t i = 0; i < m_line.size(); ++i) {
            CellState& agreed = m_expected.agreed[i];
            agreed = !m_expected.bFits || agreed == m_placement[i] ? m_placement[i] : CELL_UNKNOWN;
        }
        for (size_t t = 0; t < m_clues.size(); ++t) {
            if (m_expected.leftStarts[t] < 0 || m_starts[t] < m_expected.leftStarts[t])
                m_expected.leftStarts[t] = m_starts[t];
            m_expected.rightStarts[t] = std::max(m_expected.rightStarts[t], m_starts[t]);
        }
        m_expected.bFits = true;
    }

    const ClueList& m_clues;
    const std::vector<CellState>& m_line;
    std::vector<CellState> m_placement;
    std::vector<int32_t> m_starts;
    Expected m_expected;
};

struct RandomLineCase {
    const char* name;
    int32_t nMinLength;
    int32_t nMaxLength;
    int nMaxRuns;
    bool bNarrowBounds; // tighten each run's bounds as line logic does
    int nTrials;
};

// Random clues that fit the line, then a few known cells, usually taken from
// one placement (so the line fits) and sometimes at random (so it may not).
struct RandomLine {
    ClueList clues;
    std::vector<CellState> line;
};

RandomLine MakeRandomLine(std::mt19937& random, const RandomLineCase& c) {
    RandomLine r;
    const int32_t nLength = std::uniform_int_distribution<int32_t>(c.nMinLength, c.nMaxLength)(random);
    std::vector<CellState> picture(static_cast<size_t>(nLength), CELL_EMPTY);
    int32_t i = std::uniform_int_distribution<int32_t>(0, 3)(random);
    while (i < nLength && static_cast<int>(r.clues.size()) < c.nMaxRuns) {
        const int32_t nRun = std::min(std::uniform_int_distribution<int32_t>(1, 6)(random), nLength - i);
        r.clues.push_back(Clue{static_cast<int16_t>(nRun), 0, 0, 0, 0});
        std::fill(picture.begin() + i, picture.begin() + i + nRun, CELL_FILLED);
        i += nRun + 1 + std::uniform_int_distribution<int32_t>(0, 4)(random);
    }
    if (r.clues.empty()) {
        r.clues.push_back(Clue{1, 0, 0, 0, 0});
        picture[0] = CELL_FILLED;
    }
    CPuzzle::PrepareRanges(r.clues, nLength);
    if (c.bNarrowBounds) {
        for (Clue& clue : r.clues) {
            const int32_t nSpan = clue.maxStart - clue.minStart;
            clue.minStart += std::uniform_int_distribution<int32_t>(0, nSpan / 4)(random);
            clue.maxStart -= std::uniform_int_distribution<int32_t>(0, nSpan / 4)(random);
        }
    }
    const bool bFromPicture = std::bernoulli_distribution(0.8)(random);
    r.line.assign(static_cast<size_t>(nLength), CELL_UNKNOWN);
    const double dKnown = std::uniform_real_distribution<double>(0.0, 0.6)(random);
    for (size_t k = 0; k < r.line.size(); ++k) {
        if (!std::bernoulli_distribution(dKnown)(random))
            continue;
        r.line[k] = bFromPicture ? picture[k] : std::bernoulli_distribution(0.5)(random) ? CELL_FILLED : CELL_EMPTY;
    }
    return r;
}

class LineAgreementTest : public ::testing::TestWithParam<RandomLineCase> {};

TEST_P(LineAgreementTest, AgreesWithEveryPlacement) {
    const RandomLineCase& c = GetParam();
    std::mt19937 random(20261207);
    CLineAgreement agreement;
    int nFits = 0;
    for (int nTrial = 0; nTrial < c.nTrials; ++nTrial) {
        const RandomLine r = MakeRandomLine(random, c);
        const Expected expected = CBruteForce(r.clues, r.line).Run();
        std::vector<CellState> agreed(r.line.size(), -1);
        std::vector<int32_t> left, right;
        const bool bFits =
            agreement.Settle(r.clues, r.line.data(), static_cast<int32_t>(r.line.size()), agreed.data(), left, right);
        ASSERT_EQ(bFits, expected.bFits) << "trial " << nTrial;
        if (!bFits)
            continue;
        ++nFits;
        EXPECT_EQ(agreed, expected.agreed) << "trial " << nTrial;
        EXPECT_EQ(left, expected.leftStarts) << "trial " << nTrial;
        EXPECT_EQ(right, expected.rightStarts) << "trial " << nTrial;
    }
    // Both outcomes must be exercised for the comparison to mean anything.
    EXPECT_GT(nFits, c.nTrials / 4);
    EXPECT_LT(nFits, c.nTrials);
}

TEST_P(LineAgreementTest, TheWordFormAgreesWithTheCellForm) {
    const RandomLineCase& c = GetParam();
    std::mt19937 random(7);
    CLineAgreement agreement;
    for (int nTrial = 0; nTrial < c.nTrials; ++nTrial) {
        const RandomLine r = MakeRandomLine(random, c);
        const auto nLength = static_cast<int32_t>(r.line.size());
        if (!CLineAgreement::FitsInWord(r.clues, nLength))
            continue;
        uint64_t nFilled = 0, nEmpty = 0;
        for (int32_t i = 0; i < nLength; ++i) {
            nFilled |= uint64_t{r.line[static_cast<size_t>(i)] == CELL_FILLED} << i;
            nEmpty |= uint64_t{r.line[static_cast<size_t>(i)] == CELL_EMPTY} << i;
        }
        uint64_t nCanFill = 0, nCanEmpty = 0;
        const bool bWordFits = agreement.SettleWord(r.clues, nLength, nFilled, nEmpty, &nCanFill, &nCanEmpty);
        const Expected expected = CBruteForce(r.clues, r.line).Run();
        ASSERT_EQ(bWordFits, expected.bFits) << "trial " << nTrial;
        for (int32_t i = 0; bWordFits && i < nLength; ++i) {
            const bool bFill = (nCanFill >> i) & 1;
            const bool bEmpty = (nCanEmpty >> i) & 1;
            const CellState state = bFill && bEmpty ? CELL_UNKNOWN : bFill ? CELL_FILLED : CELL_EMPTY;
            EXPECT_EQ(state, expected.agreed[static_cast<size_t>(i)]) << "trial " << nTrial << " cell " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, LineAgreementTest,
                         ::testing::Values(RandomLineCase{"Short", 1, 12, 4, false, 400},
                                           RandomLineCase{"ShortNarrowBounds", 1, 12, 4, true, 400},
                                           RandomLineCase{"Medium", 20, 30, 6, false, 200},
                                           RandomLineCase{"AtTheWordLimit", 60, 64, 3, false, 40},
                                           RandomLineCase{"LongNarrowBounds", 63, 70, 3, true, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
