#include "render/PictureImport.h"

#include <QColor>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The share of pixel [i, i + 1) inside [dFrom, dTo).
double Overlap(int i, double dFrom, double dTo) {
    return std::max(0.0, std::min(double(i + 1), dTo) - std::max(double(i), dFrom));
}

// Averages `values` (nCount of them, nStride apart) into nParts equal parts
// of the same span: each part the mean of what it covers, pixels it covers
// in part weighted by that part.
void AverageInto(const double* pValues, int nCount, int nStride, int nParts, double* pOut, int nOutStride) {
    const double dPart = double(nCount) / nParts;
    for (int k = 0; k < nParts; ++k) {
        const double dFrom = k * dPart, dTo = (k + 1) * dPart;
        double dSum = 0;
        for (int i = static_cast<int>(dFrom); i < std::min(nCount, static_cast<int>(std::ceil(dTo))); ++i)
            dSum += pValues[static_cast<ptrdiff_t>(i) * nStride] * Overlap(i, dFrom, dTo);
        pOut[static_cast<ptrdiff_t>(k) * nOutStride] = dSum / dPart;
    }
}

} // namespace

std::vector<double> CellGreys(const QImage& source, int nRows, int nCols) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int nWidth = image.width(), nHeight = image.height();
    // Across each image row into the columns (a row at a time, so a large
    // photo costs one row of greys), then down each column into the rows.
    std::vector<double> row(static_cast<size_t>(nWidth));
    std::vector<double> across(static_cast<size_t>(nHeight) * nCols);
    for (int y = 0; y < nHeight; ++y) {
        const auto* pPixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < nWidth; ++x) {
            // On white: a transparent pixel counts as paper.
            const double dAlpha = qAlpha(pPixels[x]) / 255.0;
            row[static_cast<size_t>(x)] = qGray(pPixels[x]) * dAlpha + 255.0 * (1 - dAlpha);
        }
        AverageInto(row.data(), nWidth, 1, nCols, &across[static_cast<size_t>(y) * nCols], 1);
    }
    std::vector<double> cells(static_cast<size_t>(nRows) * nCols);
    for (int c = 0; c < nCols; ++c)
        AverageInto(&across[static_cast<size_t>(c)], nHeight, nCols, nRows, &cells[static_cast<size_t>(c)], nCols);
    return cells;
}

int OtsuThreshold(const std::vector<double>& greys) {
    std::array<double, 256> histogram{};
    for (double dGrey : greys)
        histogram[static_cast<size_t>(std::clamp(std::lround(dGrey), 0L, 255L))] += 1;
    const double dTotal = static_cast<double>(greys.size());
    double dSumAll = 0;
    for (int i = 0; i < 256; ++i)
        dSumAll += i * histogram[static_cast<size_t>(i)];
    double dBelow = 0, dSumBelow = 0, dBest = -1;
    int nBest = 128; // a picture of one grey has no split: the middle
    for (int k = 0; k < 255; ++k) {
        dBelow += histogram[static_cast<size_t>(k)];
        dSumBelow += k * histogram[static_cast<size_t>(k)];
        const double dAbove = dTotal - dBelow;
        if (dBelow == 0 || dAbove == 0)
            continue;
        const double dMeanBelow = dSumBelow / dBelow, dMeanAbove = (dSumAll - dSumBelow) / dAbove;
        const double dBetween = dBelow * dAbove * (dMeanBelow - dMeanAbove) * (dMeanBelow - dMeanAbove);
        if (dBetween > dBest) {
            dBest = dBetween;
            nBest = k + 1; // levels up to k are the dark class
        }
    }
    return nBest;
}

CDesign DesignFromImage(const QImage& image, const ImportOptions& options) {
    CDesign design(options.nRows, options.nCols);
    const std::vector<double> greys = CellGreys(image, design.GetRows(), design.GetCols());
    const int nThreshold = options.nThreshold >= 0 ? options.nThreshold : OtsuThreshold(greys);
    for (int r = 0; r < design.GetRows(); ++r)
        for (int c = 0; c < design.GetCols(); ++c)
            design.Set(r, c, (greys[static_cast<size_t>(r) * design.GetCols() + c] < nThreshold) != options.bInvert);
    return design;
}

bool ImportPicture(const QString& strPath, const ImportOptions& options, CDesign& design, std::string& strError) {
    if (options.nRows < 1 || options.nCols < 1 || options.nRows > CDesign::kMaxSide ||
        options.nCols > CDesign::kMaxSide) {
        strError = "the grid must have 1 to " + std::to_string(CDesign::kMaxSide) + " rows and columns";
        return false;
    }
    if (options.nThreshold < -1 || options.nThreshold > 255) {
        strError = "the threshold must be a grey level from 0 to 255";
        return false;
    }
    QImageReader reader(strPath);
    const QImage image = reader.read();
    if (image.isNull()) {
        strError = "cannot read " + strPath.toStdString() + ": " + reader.errorString().toStdString();
        return false;
    }
    design = DesignFromImage(image, options);
    return true;
}
