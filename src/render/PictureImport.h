#pragma once

#include "doc/Design.h"

#include <QString>

#include <string>

class QImage;

// How an image becomes a design.
struct ImportOptions {
    int nRows = 0;
    int nCols = 0;
    int nThreshold = -1;  // a cell darker than this grey (0..255) is filled; -1: Otsu's threshold
    bool bInvert = false; // fill the light cells instead
};

// The image scaled to the grid by area averaging (each cell the mean grey of
// the part of the image it covers, transparent parts white; the image's top
// left corner is the grid's), then black and white at the threshold. The
// image keeps its place however its sides compare with the grid's.
CDesign DesignFromImage(const QImage& image, const ImportOptions& options);

// Reads any image Qt reads (PNG, JPEG, BMP, GIF...) and makes it a design.
// False, with the reason (naming the file), when it cannot be read or the
// options are outside their ranges.
bool ImportPicture(const QString& strPath, const ImportOptions& options, CDesign& design, std::string& strError);

// The grey levels (0..255, dark to light) of the cells, before the threshold.
std::vector<double> CellGreys(const QImage& image, int nRows, int nCols);
// Otsu's threshold of a set of grey levels: the level that splits them into
// the two classes of the largest variance between them.
int OtsuThreshold(const std::vector<double>& greys);
