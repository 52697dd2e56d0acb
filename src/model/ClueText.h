#pragma once

// Pieces the readers of the other puzzle formats share.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CPuzzle;

using RunLengths = std::vector<int16_t>;

// The lines of a text, without their line ends ("\n", "\r\n" or "\r"
// alone) and without a UTF-8 byte order mark at its start.
std::vector<std::string_view> SplitLines(std::string_view text);

// Run lengths separated by any of `separators` (blanks around them allowed);
// an empty text or a single 0 is a line without filled cells. Returns what
// is wrong, or an empty string.
std::string ParseRunLengths(std::string_view text, std::string_view separators, RunLengths& values);

// Sizes `puzzle` and adds the clues, refusing sizes outside 1..32767 or over
// nMaxCells cells. A line without runs gets the clue 0.
std::string BuildPuzzle(CPuzzle& puzzle, const std::vector<RunLengths>& rows, const std::vector<RunLengths>& columns,
                        int64_t nMaxCells);

// "line N: " + strMessage.
std::string AtLine(size_t nLine, const std::string& strMessage);
