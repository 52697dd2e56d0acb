#pragma once

#include "cli/CliOptions.h"
#include "cli/FileSolve.h"

#include <string>

class CJsonLine;
class CTabulonDoc;

// --rate: rates the puzzle the document holds (stopped by --timeout and
// Ctrl+C) and reports it: "FILE: CLASS SCORE" on stdout ("FILE: unknown"
// when stopped), or, given pJson, the outcome, ms, solutions, class and
// score members. Why clues were refused or have no solution goes to
// stderr unless quiet. Exit status: 0 line, probing or search; 6 multiple;
// 3 none (1 when the clues were refused before solving); 5 unknown (1 when
// the solver refused the clues).
void RateFile(const std::string& strPath, CTabulonDoc& doc, const CliOptions& options, CJsonLine* pJson,
              FileReport& report);
