#pragma once

#include <QImage>
#include <QRect>

#include <string>
#include <vector>

// The pages of a PDF file as grey images at nDpi (rendered by poppler's
// pdftoppm), or none when it cannot be read. A crop rectangle (in pixels at
// nDpi, from the page's corner) renders only that part of each page.
std::vector<QImage> RenderPdfPages(const std::string& strPdf, int nDpi, const QRect& crop = QRect());

// The smallest rectangle holding every pixel darker than light grey.
QRect InkBounds(const QImage& page);
