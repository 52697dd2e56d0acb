#include "render/GridRenderer.h"

#include "model/Puzzle.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

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
      m_image(m_nWidth, m_nHeight, QImage::Format_RGB32) {
    m_image.fill(kWhite);
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
    QImage image(static_cast<int>(nWidth), static_cast<int>(nHeight), QImage::Format_RGB32);
    if (image.isNull()) {
        m_strError = "not enough memory for a picture of " + std::to_string(nWidth) + " x " + std::to_string(nHeight) +
                     " pixels";
        return false;
    }
    image.fill(kWhite);
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
    return true;
}

void CGridRenderer::Clear() {
    m_image.fill(kWhite);
}

// Fills (left, top, right, bottom), right and bottom exclusive; an empty or
// inverted rectangle fills nothing. Writes the pixels directly: a repaint of
// a large grid fills hundreds of thousands of cells.
void CGridRenderer::FillRect(int nLeft, int nTop, int nRight, int nBottom, QRgb colour) {
    nLeft = std::max(nLeft, 0);
    nTop = std::max(nTop, 0);
    nRight = std::min(nRight, m_image.width());
    nBottom = std::min(nBottom, m_image.height());
    for (int y = nTop; y < nBottom; ++y) {
        auto* pRow = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        std::fill(pRow + nLeft, pRow + std::max(nLeft, nRight), colour);
    }
}

// Lines are filled rectangles so every pixel is where the geometry puts it.
// A line w pixels wide is centred on its coordinate: it covers c - w/2 up to
// c - w/2 + w. Lines wider than 1 reach w/2 past both ends, closing the
// corners where thick lines meet.
void CGridRenderer::DrawGrid() {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    const int L = m_nGridLeft, T = m_nGridTop;
    auto widthOf = [this](int i) { return i % 5 == 0 ? std::max(m_nThick, 1) : 1; };
    for (int i = 0; i <= m_nCols; ++i) {
        const int w = widthOf(i), x = L + 1 + i * pX, cap = w > 1 ? w / 2 : 0;
        FillRect(x - w / 2, T + 1 - cap, x - w / 2 + w, T + 2 + m_nRows * pY + cap, kBlack);
    }
    for (int i = 0; i <= m_nRows; ++i) {
        const int w = widthOf(i), y = T + 1 + i * pY, cap = w > 1 ? w / 2 : 0;
        FillRect(L + 1 - cap, y - w / 2, L + 1 + m_nCols * pX + cap, y - w / 2 + w, kBlack);
    }
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
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    DrawClueText(nSlot * pX + 3, m_nGridTop + 3 + nRow * pY, (nSlot + 1) * pX, m_nGridTop + (nRow + 1) * pY, nValue);
}

void CGridRenderer::DrawColumnClue(int nCol, int nSlot, int nValue) {
    const int pX = m_nCellX + 3, pY = m_nCellY + 3;
    DrawClueText(m_nGridLeft + 3 + nCol * pX, nSlot * pY + 3, m_nGridLeft + (nCol + 1) * pX, (nSlot + 1) * pY, nValue);
}

int CGridRenderer::GetFontPixelHeight() const {
    return Truncate(m_dDpiY * 6 * m_nCellY / 720);
}

// The number in black on an opaque white ground, centred horizontally, its
// top at the rectangle's top, clipped to the rectangle.
void CGridRenderer::DrawClueText(int nLeft, int nTop, int nRight, int nBottom, int nValue) {
    const int nPixels = GetFontPixelHeight();
    if (nRight <= nLeft || nBottom <= nTop || nPixels < 1)
        return;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(nPixels);
    font.setStyleStrategy(QFont::NoAntialias);
    const QString text = QString::number(nValue);
    const QFontMetrics metrics(font);
    const int nTextWidth = metrics.horizontalAdvance(text);
    const int x = nLeft + (nRight - nLeft - nTextWidth) / 2;

    QPainter painter(&m_image);
    painter.setClipRect(QRect(nLeft, nTop, nRight - nLeft, nBottom - nTop));
    painter.fillRect(QRect(x, nTop, nTextWidth, metrics.height()), QColor(kWhite));
    painter.setFont(font);
    painter.setPen(QColor(kBlack));
    painter.drawText(QPoint(x, nTop + metrics.ascent()), text);
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

void CGridRenderer::PaintFilledCell(int nRow, int nCol, QRgb colour, QRgb background) {
    FillCell(nRow, nCol, background);
    FillCell(nRow, nCol, colour);
}

void CGridRenderer::PaintEmptyCell(int nRow, int nCol, QRgb mark, QRgb background) {
    FillCell(nRow, nCol, background);
    const int pX = m_nCellX + 3, pY = m_nCellY + 3, half = m_nThick / 2;
    const int L = m_nGridLeft, T = m_nGridTop;
    // Each product and sum in double precision, truncated toward zero.
    const int nLeft = Truncate(L + 3 + nCol * pX + half + double{kMarkLeft} * m_nCellX);
    const int nTop = Truncate(T + 3 + nRow * pY + half + double{kMarkThird} * m_nCellY);
    const int nRight = Truncate(L + (nCol + 1) * pX - half - double{kMarkRight} * m_nCellX);
    const int nBottom = Truncate(T + (nRow + 1) * pY - half - double{kMarkThird} * m_nCellY);
    FillRect(nLeft, nTop, nRight, nBottom, mark);
}

bool CGridRenderer::GetPixels(int& nWidth, int& nHeight, std::vector<uint8_t>& pixels, std::string& strError) {
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
        const auto* pRow = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
        for (int x = 0; x < nWidth; ++x) {
            *pOut++ = static_cast<uint8_t>(qBlue(pRow[x]));
            *pOut++ = static_cast<uint8_t>(qGreen(pRow[x]));
            *pOut++ = static_cast<uint8_t>(qRed(pRow[x]));
        }
    }
    return true;
}

void CGridRenderer::Paint(QPainter& target) const {
    target.drawImage(0, 0, m_image);
}
