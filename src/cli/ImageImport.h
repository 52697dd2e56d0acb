#pragma once

#include "cli/CliOptions.h"
#include "cli/PictureModule.h"

// tabulon-cli --from-image: the image made a puzzle through the drawing
// module (Qt reads the image), written where -o says in the format its name
// says, with the picture as the goal of the formats that keep one. Returns
// the exit status: 0, or 4 when the image cannot be read or the puzzle not
// written (the reason on stderr).
int ImportImage(const CliOptions& options, const PictureModule& module);
