#include "cli/FileRate.h"

#include "cli/Interrupt.h"
#include "cli/JsonLine.h"
#include "cli/StopAfter.h"
#include "doc/TabulonDoc.h"

#include <chrono>

namespace {

// The rating in the words of a complete solve's outcome.
const char* RatingOutcome(const PuzzleRating& rating) {
    switch (rating.ratingClass) {
    case RatingClass::Line:
    case RatingClass::Probing:
    case RatingClass::Search:
        return "unique";
    case RatingClass::Multiple:
        return "multiple";
    case RatingClass::None:
        return rating.bRefused ? "refused" : "no solution";
    case RatingClass::Unknown:
        break;
    }
    return rating.bRefused ? "refused" : "stopped";
}

int RatingStatus(const PuzzleRating& rating) {
    switch (rating.ratingClass) {
    case RatingClass::Line:
    case RatingClass::Probing:
    case RatingClass::Search:
        return 0;
    case RatingClass::Multiple:
        return kExitMultiple;
    case RatingClass::None:
        return rating.bRefused ? SOLVE_REFUSED : SOLVE_NO_SOLUTION;
    case RatingClass::Unknown:
        break;
    }
    return rating.bRefused ? SOLVE_REFUSED : kExitStopped;
}

void AddJsonMembers(const PuzzleRating& rating, double dMs, CJsonLine& json) {
    json.String("outcome", RatingOutcome(rating));
    json.Milliseconds("ms", dMs);
    if (rating.ratingClass != RatingClass::Unknown) // proved: none, one, or at least two
        json.Number("solutions", rating.first.empty() ? 0 : rating.second.empty() ? 1 : 2);
    json.String("class", RatingClassWord(rating.ratingClass));
    if (rating.ratingClass == RatingClass::Unknown)
        json.Null("score");
    else
        json.Number("score", rating.nScore);
    if (!rating.strNote.empty())
        json.String("note", rating.strNote);
}

} // namespace

void RateFile(const std::string& strPath, CTabulonDoc& doc, const CliOptions& options, CJsonLine* pJson,
              FileReport& report) {
    const auto start = std::chrono::steady_clock::now();
    PuzzleRating rating;
    {
        CStopAfter watchdog(doc, options.dTimeout);
        CInterruptScope interruptible(doc);
        rating = doc.OnRatePuzzle();
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    report.nStatus = RatingStatus(rating);
    if (pJson)
        AddJsonMembers(rating, elapsed.count(), *pJson);
    else
        report.strOut += strPath + ": " + FormatRating(rating) + "\n";
    if (!rating.strNote.empty() && !options.bQuiet)
        report.strErr += strPath + ": " + rating.strNote + "\n";
}
