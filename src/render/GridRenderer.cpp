#include "render/GridRenderer.h"

#include "model/Puzzle.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstring>

namespace {

const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);
const QRgb kBlack = qRgb(0, 0, 0);

// The empty-cell mark runs from 30 % of the cell width from the left to 20 %
// from the right, over the middle third of the height. The factors are
// single-precision on purpose: their exact values decide a pixel at some
// cell sizes (9 x 9 cells put the mark's top at 6, 10 x 10 its right at 9).
constexpr float kMarkLeft = 0.3f;
constexpr float kMarkRight = 0.2f;
constexpr float kMarkThird = 0.3333333f;

int Truncate(double dValue) {
    return static_cast<int>(dValue);
}

} // namespace

CGridRenderer::CGridRenderer(int nCellX, int nCellY, double dpiY, int64_t nMaxBytes)
    : m_nCellX(std::max(nCellX, 0)), m_nCellY(std::max(nCellY, 0)), m_dDpiY(dpiY), m_nMaxBytes(nMaxBytes),
      m_image(m_nWidth, m_nHeight, QImage::Format_Grayscale8) {
    m_image.fill(QColor(kWhite));
}

double CGridRenderer::ScreenDpiY() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::primaryScreen())
        return QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    return 96.0;
}

bool CGridRenderer::Layout(const CPuzzle& puzzle) {
    const int nRows = puzzle.GetHeight(), nCols = puzzle.GetWidth();
    int nMaxRowClues = 0, nMaxColClues = 0;
    for (int r = 0; r < nRows; ++r)
        nMaxRowClues = std::max(nMaxRowClues, puzzle.GetRowClueCount(r));
    for (int c = 0; c < nCols; ++c)
        nMaxColClues = std::max(nMaxColClues, puzzle.GetColumnClueCount(c));

    // 64-bit: a large puzzle with large cells overflows int long before the
    // size check can refuse it.
    const int64_t pX = int64_t{m_nCellX} + 3, pY = int64_t{m_nCellY} + 3;
    const int64_t nWidth = pX * (nMaxRowClues + nCols) + 8;
    const int64_t nHeight = pY * (nMaxColClues + nRows) + 8;
    const int nThick = m_nCellX / 8 + m_nCellY / 8;
    const bool bSidesFit = nWidth + nThick <= kMaxSide && nHeight + nThick <= kMaxSide;
    const int64_t nBytes = bSidesFit ? nWidth * nHeight * 4 : 0; // sides past the limit could overflow it
    if (!bSidesFit || nBytes > m_nMaxBytes) {
        m_strError = "the picture of this puzzle would be " + std::to_string(nWidth) + " x " + std::to_string(nHeight) +
                     " pixels" + (bSidesFit ? " (" + std::to_string(nBytes >> 20) + " MiB)" : std::string()) +
                     "; pictures are drawn up to " + std::to_string(kMaxSide) + " pixels a side and " +
                     std::to_string(m_nMaxBytes >> 20) + " MiB: choose smaller cells";
        return false;
    }
    QImage image(static_cast<int>(nWidth), static_cast<int>(nHeight), QImage::Format_Grayscale8);
    if (image.isNull()) {
        m_strError = "not enough memory for a picture of " + std::to_string(nWidth) + " x " + std::to_string(nHeight) +
                     " pixels";
        return false;
    }
    image.fill(QColor(kWhite));
    m_image = std::move(image);
    m_nRows = nRows;
    m_nCols = nCols;
    m_nMaxRowClues = nMaxRowClues;
    m_nMaxColClues = nMaxColClues;
    m_nGridLeft = static_cast<int>(nMaxRowClues * pX + 5);
    m_nGridTop = static_cast<int>(nMaxColClues * pY + 5);
    m_nWidth = static_cast<int>(nWidth);
    m_nHeight = static_cast<int>(nHeight);
    m_nThick = nThick;
    m_bLaidOut = true;
    m_strError.clear();
    m_rowClues.assign(static_cast<size_t>(nRows) * static_cast<size_t>(nMaxRowClues), -1);
    m_columnClues.assign(static_cast<size_t>(nCols) * static_cast<size_t>(nMaxColClues), -1);
    m_cellMarks.assign(static_cast<size_t>(nRows) * static_cast<size_t>(nCols), kNoMark);
    m_bGridDrawn = false;
    Changed();
    return true;
}

void CGridRenderer::Clear() {
    m_image.fill(QColor(kWhite));
    m_bGridDrawn = false;
    std::fill(m_rowClues.begin(), m_rowClues.end(), -1);
    std::fill(m_columnClues.begin(), m_columnClues.end(), -1);
    std::fill(m_cellMarks.begin(), m_cellMarks.end(), kNoMark);
    Changed();
}

namespace {

// A row of a cell or of a grid line is a few pixels wide: one or two
// overlapping stores fill it, where a call to memset for each row cost more
// than the pixels.
template <class Word> void FillWithTwoWords(uchar* pRow, int nWidth, uchar grey) {
    const Word ones = static_cast<Word>(~Word{0}) / 0xFF; // 0x01 in every byte
    const Word pattern = static_cast<Word>(grey * ones);
    std::memcpy(pRow, &pattern, sizeof pattern);
    std::memcpy(pRow + nWidth - static_cast<int>(sizeof pattern), &pattern, sizeof pattern);
}

inline void FillRow(uchar* pRow, int nWidth, uchar grey) {
    if (nWidth > 16)
        std::fill_n(pRow, nWidth, grey);
    else if (nWidth >= 8)
        FillWithTwoWords<uint64_t>(pRow, nWidth, grey);
    else if (nWidth >= 4)
        FillWithTwoWords<uint32_t>(pRow, nWidth, grey);
    else if (nWidth >= 2)
        FillWithTwoWords<uint16_t>(pRow, nWidth, grey);
    else if (nWidth == 1)
        *pRow = grey;
}

} // namespace

// Fills (left, top, right, bottom), right and bottom exclusive; an empty or
// inverted rectangle fills nothing. Writes the pixels directly: a repaint of
// a large grid fills hundreds of thousands of cells.
void CGridRenderer::FillRect(int nLeft, int nTop, int nRight, int nBottom, QRgb colour) {
    nLeft = std::max(nLeft, 0);
    nTop = std::max(nTop, 0);
    nRight = std::min(nRight, m_image.width());
    nBottom = std::min(nBottom, m_image.height());
    if (nLeft >= nRight || nTop >= nBottom)
        return;
    const auto grey = static_cast<uchar>(qGray(colour));
    // bits() once: scanLine would check whether to detach on every row, and
    // progress on a large grid fills millions of small rectangles.
    const ptrdiff_t nStride = m_image.bytesPerLine();
    uchar* pRow = m_image.bits() + static_cast<ptrdiff_t>(nTop) * nStride + nLeft;
    const int nWidth = nRight - nLeft;
    for (int y = nTop; y < nBottom; ++y, pRow += nStride)
        FillRow(pRow, nWidth, grey);
    Changed();
}

void CGridRenderer::FillRect(const QRect& rect, QRgb colour) {
    FillRect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height(), colour);
}

// A rectangle from its left and top to its right and bottom, both exclusive;
// empty when they do not lie beyond the left and top.
static QRect Span(int nLeft, int nTop, int nRight, int nBottom) {
    return {nLeft, nTop, nRight - nLeft, nBottom - nTop};
}

// Lines are filled rectangles so every pixel is where the geometry puts it.
// A line w pixels wide is centred on its coordinate: it covers c - w/2 up to
// c - w/2 + w. Lines wider than 1 reach w/2 past both ends, closing the
// corners where thick lines meet.
void CGridRenderer::DrawGrid() {
    for (int i = 0; i <= m_nCols; ++i)
        FillRect(GridLineRect(true, i), kBlack);
    for (int i = 0; i <= m_nRows; ++i)
        FillRect(GridLineRect(false, i), kBlack);
    m_bGridDrawn = true;
}

QRect CGridRenderer::GridLineRect(bool bVertical, int nIndex) const {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    const int L = m_nGridLeft, T = m_nGridTop;
    const int w = nIndex % 5 == 0 ? std::max(m_nThick, 1) : 1, cap = w > 1 ? w / 2 : 0;
    if (bVertical) {
        const int x = L + 1 + nIndex * pX;
        return Span(x - w / 2, T + 1 - cap, x - w / 2 + w, T + 2 + m_nRows * pY + cap);
    }
    const int y = T + 1 + nIndex * pY;
    return Span(L + 1 - cap, y - w / 2, L + 1 + m_nCols * pX + cap, y - w / 2 + w);
}

void CGridRenderer::DrawClues(const CPuzzle& puzzle) {
    for (int r = 0; r < m_nRows; ++r) {
        const int n = puzzle.GetRowClueCount(r);
        for (int k = 0; k < n; ++k)
            DrawRowClue(r, m_nMaxRowClues - n + k, puzzle.GetRowClue(r, k));
    }
    for (int c = 0; c < m_nCols; ++c) {
        const int n = puzzle.GetColumnClueCount(c);
        for (int k = 0; k < n; ++k)
            DrawColumnClue(c, m_nMaxColClues - n + k, puzzle.GetColumnClue(c, k));
    }
}

void CGridRenderer::DrawRowClue(int nRow, int nSlot, int nValue) {
    DrawClueText(RowClueSlot(nRow, nSlot), nValue);
    if (nRow >= 0 && nRow < m_nRows && nSlot >= 0 && nSlot < m_nMaxRowClues)
        m_rowClues[static_cast<size_t>(nRow) * static_cast<size_t>(m_nMaxRowClues) + static_cast<size_t>(nSlot)] =
            nValue;
}

void CGridRenderer::DrawColumnClue(int nCol, int nSlot, int nValue) {
    DrawClueText(ColumnClueSlot(nCol, nSlot), nValue);
    if (nCol >= 0 && nCol < m_nCols && nSlot >= 0 && nSlot < m_nMaxColClues)
        m_columnClues[static_cast<size_t>(nCol) * static_cast<size_t>(m_nMaxColClues) + static_cast<size_t>(nSlot)] =
            nValue;
}

QRect CGridRenderer::RowClueSlot(int nRow, int nSlot) const {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    return Span(nSlot * pX + 3, m_nGridTop + 3 + nRow * pY, (nSlot + 1) * pX, m_nGridTop + (nRow + 1) * pY);
}

QRect CGridRenderer::ColumnClueSlot(int nCol, int nSlot) const {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    return Span(m_nGridLeft + 3 + nCol * pX, nSlot * pY + 3, m_nGridLeft + (nCol + 1) * pX, (nSlot + 1) * pY);
}

int CGridRenderer::GetFontPixelHeight() const {
    return Truncate(m_dDpiY * 6 * m_nCellY / 720);
}

QFont CGridRenderer::ClueFont() const {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(GetFontPixelHeight(), 1));
    return font;
}

// The number in black on an opaque white ground, centred horizontally, its
// top at the slot's top, clipped to the slot.
void CGridRenderer::DrawClueText(const QRect& slot, int nValue) {
    if (slot.isEmpty() || GetFontPixelHeight() < 1)
        return;
    QFont font = ClueFont();
    font.setStyleStrategy(QFont::NoAntialias);
    const QString text = QString::number(nValue);
    const QFontMetrics metrics(font);
    const int nTextWidth = metrics.horizontalAdvance(text);
    const int x = slot.left() + (slot.width() - nTextWidth) / 2;

    QPainter painter(&m_image);
    painter.setClipRect(slot);
    painter.fillRect(QRect(x, slot.top(), nTextWidth, metrics.height()), QColor(kWhite));
    painter.setFont(font);
    painter.setPen(QColor(kBlack));
    painter.drawText(QPoint(x, slot.top() + metrics.ascent()), text);
    Changed();
}

void CGridRenderer::DrawAll(const CPuzzle& puzzle) {
    Clear();
    DrawGrid();
    DrawClues(puzzle);
}

QRect CGridRenderer::CellRect(int nRow, int nCol) const {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3, half = m_nThick / 2;
    const int L = m_nGridLeft, T = m_nGridTop;
    const QPoint topLeft(L + 3 + nCol * pX + half, T + 3 + nRow * pY + half);
    const QPoint bottomRight(L + (nCol + 1) * pX - half - 1, T + (nRow + 1) * pY - half - 1); // inclusive
    return {topLeft, bottomRight};
}

void CGridRenderer::FillCell(int nRow, int nCol, QRgb colour) {
    const QRect cell = CellRect(nRow, nCol);
    FillRect(cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1, colour);
}

// The fill covers the whole cell, so the background does not show.
void CGridRenderer::PaintFilledCell(int nRow, int nCol, QRgb colour, QRgb /*background*/) {
    FillCell(nRow, nCol, colour);
    if (nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols)
        m_cellMarks[static_cast<size_t>(nRow) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nCol)] = kFilledMark;
}

void CGridRenderer::PaintEmptyCell(int nRow, int nCol, QRgb mark, QRgb background) {
    FillCell(nRow, nCol, background);
    FillRect(EmptyMarkRect(nRow, nCol), mark);
    if (nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols)
        m_cellMarks[static_cast<size_t>(nRow) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nCol)] = kEmptyMark;
}

void CGridRenderer::EraseCell(int nRow, int nCol) {
    FillCell(nRow, nCol, kWhite);
    if (nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols)
        m_cellMarks[static_cast<size_t>(nRow) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nCol)] = kNoMark;
}

bool CGridRenderer::Shows(int nRow, int nCol, CellState state) const {
    if (nRow < 0 || nRow >= m_nRows || nCol < 0 || nCol >= m_nCols)
        return false;
    const uint8_t mark =
        m_cellMarks[static_cast<size_t>(nRow) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nCol)];
    return mark == (state == CELL_FILLED ? kFilledMark : state == CELL_EMPTY ? kEmptyMark : kNoMark);
}

QRect CGridRenderer::EmptyMarkRect(int nRow, int nCol) const {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3, half = m_nThick / 2;
    const int L = m_nGridLeft, T = m_nGridTop;
    // Each product and sum in double precision, truncated toward zero.
    const int nLeft = Truncate(L + 3 + nCol * pX + half + double{kMarkLeft} * m_nCellX);
    const int nTop = Truncate(T + 3 + nRow * pY + half + double{kMarkThird} * m_nCellY);
    const int nRight = Truncate(L + (nCol + 1) * pX - half - double{kMarkRight} * m_nCellX);
    const int nBottom = Truncate(T + (nRow + 1) * pY - half - double{kMarkThird} * m_nCellY);
    return Span(nLeft, nTop, nRight, nBottom);
}

bool CGridRenderer::GetPixels(int& nWidth, int& nHeight, std::vector<uint8_t>& pixels, std::string& strError) const {
    if (!m_strError.empty()) { // the puzzle could not be drawn: its picture does not exist
        strError = m_strError;
        return false;
    }
    nWidth = m_image.width();
    nHeight = m_image.height();
    try {
        pixels.resize(3 * static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight));
    } catch (const std::bad_alloc&) {
        strError = "not enough memory to copy the picture of " + std::to_string(nWidth) + " x " +
                   std::to_string(nHeight) + " pixels";
        return false;
    }
    uint8_t* pOut = pixels.data();
    for (int y = 0; y < nHeight; ++y) {
        const uchar* pRow = m_image.constScanLine(y);
        for (int x = 0; x < nWidth; ++x, pOut += 3)
            pOut[0] = pOut[1] = pOut[2] = pRow[x];
    }
    return true;
}

void CGridRenderer::Paint(QPainter& target) const {
    target.drawImage(0, 0, m_image);
}

std::pair<int, int> CGridRenderer::LinesMeeting(int nFrom, int nTo, int nOrigin, int nPitch, int nCount) {
    if (nPitch <= 0 || nCount <= 0)
        return {0, 0};
    // A band reaches a few pixels past its pitch (thick lines, their caps).
    const int nMargin = nPitch + 8;
    const int nFirst = std::clamp((nFrom - nOrigin - nMargin) / nPitch, 0, nCount);
    const int nLast = std::clamp((nTo - nOrigin + nMargin) / nPitch + 1, nFirst, nCount);
    return {nFirst, nLast};
}

void CGridRenderer::PaintShapes(QPainter& painter, const QRect& region) const {
    painter.fillRect(region, QColor(kWhite));
    if (!m_bLaidOut)
        return;
    if (m_bGridDrawn) {
        const int pX = m_nCellX + 3, pY = m_nCellY + 3;
        const auto [nFirstCol, nLastCol] =
            LinesMeeting(region.left(), region.right() + 1, m_nGridLeft, pX, m_nCols + 1);
        const auto [nFirstRow, nLastRow] = LinesMeeting(region.top(), region.bottom() + 1, m_nGridTop, pY, m_nRows + 1);
        // The picture's edge cuts the caps of the thick lines at the far
        // sides, as it does in the pixels.
        const QRect picture = m_image.rect();
        for (int i = nFirstCol; i < nLastCol; ++i)
            painter.fillRect(GridLineRect(true, i) & picture, QColor(kBlack));
        for (int i = nFirstRow; i < nLastRow; ++i)
            painter.fillRect(GridLineRect(false, i) & picture, QColor(kBlack));
    }
    PaintClueShapes(painter, region);
    PaintCellShapes(painter, region);
}

void CGridRenderer::PaintClueShapes(QPainter& painter, const QRect& region) const {
    if (GetFontPixelHeight() < 1)
        return;
    const QFont font = ClueFont();
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(QColor(kBlack));
    const auto drawClue = [&](const QRect& slot, int32_t nValue) {
        if (nValue < 0 || slot.isEmpty() || !slot.intersects(region))
            return;
        const QString text = QString::number(nValue);
        const int nTextWidth = metrics.horizontalAdvance(text);
        const QPoint at(slot.left() + (slot.width() - nTextWidth) / 2, slot.top() + metrics.ascent());
        if (nTextWidth <= slot.width() && metrics.height() <= slot.height()) {
            painter.drawText(at, text);
            return;
        }
        painter.save(); // a number too large for its slot is cut to it
        painter.setClipRect(slot, Qt::IntersectClip);
        painter.drawText(at, text);
        painter.restore();
    };
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    const auto [nFirstRow, nLastRow] = LinesMeeting(region.top(), region.bottom() + 1, m_nGridTop, pY, m_nRows);
    for (int r = nFirstRow; r < nLastRow; ++r)
        for (int k = 0; k < m_nMaxRowClues; ++k)
            drawClue(RowClueSlot(r, k), m_rowClues[static_cast<size_t>(r) * m_nMaxRowClues + k]);
    const auto [nFirstCol, nLastCol] = LinesMeeting(region.left(), region.right() + 1, m_nGridLeft, pX, m_nCols);
    for (int c = nFirstCol; c < nLastCol; ++c)
        for (int k = 0; k < m_nMaxColClues; ++k)
            drawClue(ColumnClueSlot(c, k), m_columnClues[static_cast<size_t>(c) * m_nMaxColClues + k]);
}

void CGridRenderer::PaintCellShapes(QPainter& painter, const QRect& region) const {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    const auto [nFirstRow, nLastRow] = LinesMeeting(region.top(), region.bottom() + 1, m_nGridTop, pY, m_nRows);
    const auto [nFirstCol, nLastCol] = LinesMeeting(region.left(), region.right() + 1, m_nGridLeft, pX, m_nCols);
    for (int r = nFirstRow; r < nLastRow; ++r) {
        for (int c = nFirstCol; c < nLastCol; ++c) {
            const uint8_t mark = m_cellMarks[static_cast<size_t>(r) * static_cast<size_t>(m_nCols) + c];
            if (mark == kFilledMark)
                painter.fillRect(CellRect(r, c), QColor(kBlack));
            else if (mark == kEmptyMark)
                painter.fillRect(EmptyMarkRect(r, c), QColor(kBlack));
        }
    }
}

namespace {

// Half the size, each pixel the average of the (up to) four it covers.
QImage Halved(const QImage& image) {
    const int nWidth = (image.width() + 1) / 2, nHeight = (image.height() + 1) / 2;
    QImage half(nWidth, nHeight, QImage::Format_Grayscale8);
    if (half.isNull())
        return half;
    const int nPairs = image.width() / 2; // whole pairs of columns; an odd last column pairs with itself
    for (int y = 0; y < nHeight; ++y) {
        const uchar* pTop = image.constScanLine(2 * y);
        const uchar* pBottom = image.constScanLine(std::min(2 * y + 1, image.height() - 1));
        uchar* pOut = half.scanLine(y);
        for (int x = 0; x < nPairs; ++x)
            pOut[x] = static_cast<uchar>((pTop[2 * x] + pTop[2 * x + 1] + pBottom[2 * x] + pBottom[2 * x + 1] + 2) / 4);
        if (nPairs < nWidth) {
            const int x = 2 * nPairs;
            pOut[nPairs] = static_cast<uchar>((2 * pTop[x] + 2 * pBottom[x] + 2) / 4);
        }
    }
    return half;
}

} // namespace

const QImage& CGridRenderer::Reduced(int nLevel) const {
    if (m_nReducedVersion != m_nVersion) {
        m_reduced.clear();
        m_nReducedVersion = m_nVersion;
    }
    if (nLevel <= 0)
        return m_image;
    while (static_cast<int>(m_reduced.size()) < nLevel) {
        const QImage& source = m_reduced.empty() ? m_image : m_reduced.back();
        if (source.width() <= 1 && source.height() <= 1)
            return source;
        QImage half = Halved(source);
        if (half.isNull()) // out of memory: the level above will do
            return source;
        m_reduced.push_back(std::move(half));
    }
    return m_reduced[static_cast<size_t>(nLevel) - 1];
}
