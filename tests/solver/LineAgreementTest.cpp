// The line solver of complete solving against every placement of the runs,
// on random lines, in both its forms (rows as words and rows as tables);
// on long lines with many runs, the two forms against each other.

#include "solver/LineAgreement.h"
#include "solver/OneWordLine.h"
#include "model/Puzzle.h"

#include <gtest/gtest.h>

#include <initializer_list>
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
    // A line without runs stays blank half the time: a blank line's clue
    // list may be empty.
    if (r.clues.empty() && std::bernoulli_distribution(0.5)(random)) {
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

// Both forms against every placement.
class LineAgreementTest : public ::testing::TestWithParam<RandomLineCase> {};

Expected SettleWith(CLineAgreement& agreement, bool bTables, const RandomLine& r) {
    Expected got;
    got.agreed.assign(r.line.size(), -1);
    const auto nLength = static_cast<int32_t>(r.line.size());
    got.bFits =
        bTables ? agreement.SettleInTables(r.clues, r.line.data(), nLength, got.agreed.data(), got.leftStarts,
                                           got.rightStarts)
                : agreement.Settle(r.clues, r.line.data(), nLength, got.agreed.data(), got.leftStarts, got.rightStarts);
    return got;
}

void ExpectSame(const Expected& got, const Expected& expected, const std::string& where) {
    ASSERT_EQ(got.bFits, expected.bFits) << where;
    if (!got.bFits)
        return;
    EXPECT_EQ(got.agreed, expected.agreed) << where;
    EXPECT_EQ(got.leftStarts, expected.leftStarts) << where;
    EXPECT_EQ(got.rightStarts, expected.rightStarts) << where;
}

// The word form's forward pass alone: whether any placement fits.
bool FitsWith(const RandomLine& r) {
    const auto nLength = static_cast<int32_t>(r.line.size());
    const size_t nWords = CLineAgreement::WordsFor(nLength);
    std::vector<uint64_t> filled(nWords, 0), empty(nWords, 0);
    for (size_t i = 0; i < r.line.size(); ++i) {
        const uint64_t nBit = uint64_t{1} << (i % 64);
        filled[i / 64] |= r.line[i] == CELL_FILLED ? nBit : 0;
        empty[i / 64] |= r.line[i] == CELL_EMPTY ? nBit : 0;
    }
    const bool bFits = CLineAgreement::FitsWords(r.clues, nLength, filled.data(), empty.data());
    // A one-word line prepared once must answer the same.
    if (nLength <= COneWordLine::kMaxLength && COneWordLine(r.clues, nLength).Fits(filled[0], empty[0]) != bFits)
        ADD_FAILURE() << "the prepared one-word line disagrees";
    return bFits;
}

// Over c.nTrials random lines, `oracle` says what a line settles to and each
// of `forms` (true: the tables, false: the word form) must agree with it.
// The word form's forward pass must say whether anything fits as well.
template <typename Oracle>
void CompareOnRandomLines(const RandomLineCase& c, uint32_t nSeed, Oracle oracle, std::initializer_list<bool> forms) {
    std::mt19937 random(nSeed);
    CLineAgreement agreement;
    int nFits = 0;
    for (int nTrial = 0; nTrial < c.nTrials; ++nTrial) {
        const RandomLine r = MakeRandomLine(random, c);
        ASSERT_TRUE(CLineAgreement::FitsInAnyWords(r.clues, static_cast<int32_t>(r.line.size())));
        const Expected expected = oracle(agreement, r);
        nFits += expected.bFits;
        for (const bool bTables : forms) {
            ExpectSame(SettleWith(agreement, bTables, r), expected,
                       (bTables ? "tables, trial " : "words, trial ") + std::to_string(nTrial));
            if (!bTables) {
                EXPECT_EQ(FitsWith(r), expected.bFits) << "forward pass, trial " << nTrial;
            }
        }
    }
    // Both outcomes must be exercised for the comparison to mean anything.
    EXPECT_GT(nFits, c.nTrials / 4);
    EXPECT_LT(nFits, c.nTrials);
}

TEST_P(LineAgreementTest, AgreesWithEveryPlacement) {
    CompareOnRandomLines(GetParam(), 20261207,
                         [](CLineAgreement&, const RandomLine& r) { return CBruteForce(r.clues, r.line).Run(); },
                         {false, true});
}

INSTANTIATE_TEST_SUITE_P(Lines, LineAgreementTest,
                         ::testing::Values(RandomLineCase{"Short", 1, 12, 4, false, 400},
                                           RandomLineCase{"ShortNarrowBounds", 1, 12, 4, true, 400},
                                           RandomLineCase{"Medium", 20, 30, 6, false, 200},
                                           RandomLineCase{"AtTheWordLimit", 60, 66, 3, false, 40},
                                           RandomLineCase{"TwoWords", 100, 128, 2, false, 40},
                                           RandomLineCase{"EightWords", 500, 510, 2, false, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

// Long lines with many runs, too many placements to visit: the word form
// against the tables, rows spanning several words, up to the longest lines.
class LongLineAgreementTest : public ::testing::TestWithParam<RandomLineCase> {};

TEST_P(LongLineAgreementTest, TheWordFormAgreesWithTheTables) {
    CompareOnRandomLines(GetParam(), 7,
                         [](CLineAgreement& agreement, const RandomLine& r) { return SettleWith(agreement, true, r); },
                         {false});
}

INSTANTIATE_TEST_SUITE_P(Lines, LongLineAgreementTest,
                         ::testing::Values(RandomLineCase{"UpToThreeWords", 63, 190, 40, false, 300},
                                           RandomLineCase{"UpToThreeWordsNarrowBounds", 63, 190, 40, true, 300},
                                           RandomLineCase{"UpToEightWords", 190, 510, 120, false, 100},
                                           // rows past eight words, on the heap
                                           RandomLineCase{"PastEightWords", 511, 1100, 150, false, 40},
                                           RandomLineCase{"ThousandsOfCellsFewRuns", 2000, 3300, 3, false, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
