#include "cli/ImageImport.h"

#include "cli/FileSolve.h"
#include "doc/Design.h"
#include "io/AtomicFile.h"
#include "model/PuzzleFormats.h"

#include <cstdio>
#include <vector>

int ImportImage(const CliOptions& options, const PictureModule& module) {
    std::vector<unsigned char> cells(static_cast<size_t>(options.nImageRows) * options.nImageCols);
    char szError[1024] = "";
    if (!module.pfnImport(options.strFromImage.c_str(), options.nImageRows, options.nImageCols, options.nThreshold,
                          options.bInvert, cells.data(), szError, sizeof szError)) {
        std::fprintf(stderr, "tabulon-cli: cannot import the picture: %s\n", szError);
        return kExitFileError;
    }
    CDesign design(options.nImageRows, options.nImageCols);
    for (int r = 0; r < options.nImageRows; ++r)
        for (int c = 0; c < options.nImageCols; ++c)
            design.Set(r, c, cells[static_cast<size_t>(r) * options.nImageCols + c] != 0);
    PuzzleExtras extras;
    extras.strGoal = GoalOfCells(design.Cells());
    const std::string& strOut = options.strImageOut;
    const SaveResult saved =
        WriteFileAtomically(strOut, FormatPuzzle(design.ToPuzzle(), DetectFormat(strOut, ""), extras));
    if (!saved.bOk) {
        std::fprintf(stderr, "tabulon-cli: %s\n", saved.strError.c_str());
        return kExitFileError;
    }
    if (!options.bQuiet)
        std::fprintf(stderr, "Imported %s as %s, %d x %d\n", options.strFromImage.c_str(), strOut.c_str(),
                     options.nImageRows, options.nImageCols);
    return 0;
}
