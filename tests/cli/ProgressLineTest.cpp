#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

namespace {

struct ProgressCase {
    std::vector<RunningFile> running;
    size_t nDone;
    size_t nTotal;
    size_t nWidth;
    const char* expected;
};

TEST(ProgressLine, NamesTheRunningFilesInWholeSecondsAndFitsTheTerminal) {
    const ProgressCase cases[] = {
        {{{"faase.tb", 12.9}}, 0, 1, 80, "solving faase.tb 12 s"},
        {{{"faase.tb", 3.2}, {"knotty.tb", 1.0}}, 4, 10, 80, "solving faase.tb 3 s, knotty.tb 1 s (4 of 10 done)"},
        {{{"faase.tb", 3.2}}, 0, 2, 16, "solving faase.t"}, // the last column stays free
        {{{"a.tb", 1.5}}, 0, 1, 0, "solving a.tb 1 s"},     // no width known: whole
    };
    for (const ProgressCase& c : cases)
        EXPECT_EQ(FormatProgress(c.running, c.nDone, c.nTotal, c.nWidth), c.expected);
}

} // namespace
