#pragma once

#include "doc/DocPorts.h"
#include "model/CellState.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CPuzzle;
class QPainter;

// The off-screen picture of a puzzle: row clues in a band on the left, column
// clues along the top, the grid lines, and the cells as far as they are
// known. All geometry is exact integer pixels (antialiasing off):
//   pitch pX = cellX + 3, pY = cellY + 3
//   L = maxRowClues * pX + 5, T = maxColClues * pY + 5 (where the grid starts)
//   W = L + columns * pX + 3, H = T + rows * pY + 3
//   thick = cellX / 8 + cellY / 8 (every fifth line), half = thick / 2
// A renderer that was never laid out holds a white 256 x 256 picture.
//
// The picture is black and white, so it is kept one byte a pixel (grey):
// a quarter of the memory of 32-bit pixels, which on a 1000 x 1000 puzzle
// is hundreds of megabytes. Besides the pixels it remembers what it drew
// (grid, clue numbers, cell marks), so that PaintShapes can draw the same
// picture as shapes and text at any scale: sharp when zoomed in or on a
// high-density screen, and as vectors in SVG and PDF.
class CGridRenderer : public IPicture {
  public:
    // dpiY: the vertical resolution the clue font is sized for; nMaxBytes:
    // the largest picture drawn.
    CGridRenderer(int nCellX, int nCellY, double dpiY = ScreenDpiY(), int64_t nMaxBytes = kDefaultMaxBytes);

    // Computes the geometry for `puzzle` and makes the picture (white). False
    // when the picture would be too large to draw; GetError() says why and
    // the renderer stays as it was.
    bool Layout(const CPuzzle& puzzle);
    void Clear();
    void DrawGrid();
    void DrawClues(const CPuzzle& puzzle);
    void DrawRowClue(int nRow, int nSlot, int nValue);
    void DrawColumnClue(int nCol, int nSlot, int nValue);
    void DrawAll(const CPuzzle& puzzle);
    // The inside of a cell, between its grid lines, in picture pixels.
    QRect CellRect(int nRow, int nCol) const;
    // The picture is grey: colours are kept as their grey level, and the
    // shapes draw filled cells and marks black on white.
    void PaintFilledCell(int nRow, int nCol, QRgb colour, QRgb background);
    void PaintEmptyCell(int nRow, int nCol, QRgb mark, QRgb background);
    // Takes a cell's mark away: the cell as Clear leaves it.
    void EraseCell(int nRow, int nCol);
    // The cell shows `state` already: painted since the last Clear with the
    // same mark (CELL_UNKNOWN: not painted at all).
    bool Shows(int nRow, int nCol, CellState state) const;

    bool GetPixels(int& nWidth, int& nHeight, std::vector<uint8_t>& pixels, std::string& strError) const override;
    // Draws the whole picture at logical (0, 0) of `target`, one picture
    // pixel per logical unit.
    void Paint(QPainter& target) const;
    // Draws the part `region` (picture pixels) of what the picture holds as
    // rectangles and text, through the painter's transform, on white: what
    // Paint shows, sharp at any scale. Only what meets the region is drawn.
    void PaintShapes(QPainter& painter, const QRect& region) const;
    // The picture halved nLevel times (each pixel the average of four), for
    // drawing it smaller without losing thin lines. Made on first use and
    // kept until the picture changes.
    const QImage& Reduced(int nLevel) const;

    bool IsLaidOut() const { return m_bLaidOut; }
    const QImage& GetImage() const { return m_image; }
    // The scroll range of a view showing the picture: W + thick by H + thick.
    QSize GetScrollSize() const { return {m_nWidth + m_nThick, m_nHeight + m_nThick}; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetGridLeft() const { return m_nGridLeft; }
    int GetGridTop() const { return m_nGridTop; }
    int GetThick() const { return m_nThick; }
    int GetFontPixelHeight() const;
    const std::string& GetError() const { return m_strError; }

    // The largest picture drawn: QPainter's coordinates end at 32767, and
    // the memory is bounded so a huge puzzle cannot exhaust the machine.
    static constexpr int64_t kMaxSide = 32767;
    static constexpr int64_t kDefaultMaxBytes = int64_t{1} << 30;

    static double ScreenDpiY();

  private:
    // What was drawn into a cell, for PaintShapes.
    enum CellMark : uint8_t { kNoMark, kEmptyMark, kFilledMark };

    void FillRect(int nLeft, int nTop, int nRight, int nBottom, QRgb colour);
    void FillRect(const QRect& rect, QRgb colour);
    void FillCell(int nRow, int nCol, QRgb colour);
    void DrawClueText(const QRect& slot, int nValue);
    QFont ClueFont() const;
    // The places the geometry gives, as rectangles in picture pixels.
    QRect GridLineRect(bool bVertical, int nIndex) const;
    QRect RowClueSlot(int nRow, int nSlot) const;
    QRect ColumnClueSlot(int nCol, int nSlot) const;
    QRect EmptyMarkRect(int nRow, int nCol) const;
    // The range [first, last) of lines of pitch nPitch starting at nOrigin
    // whose band meets [nFrom, nTo), at most nCount.
    static std::pair<int, int> LinesMeeting(int nFrom, int nTo, int nOrigin, int nPitch, int nCount);
    void PaintClueShapes(QPainter& painter, const QRect& region) const;
    void PaintCellShapes(QPainter& painter, const QRect& region) const;
    void Changed() { ++m_nVersion; }

    int m_nRows = 0;
    int m_nCols = 0;
    int m_nWidth = 256;
    int m_nHeight = 256;
    int m_nGridTop = 0;
    int m_nGridLeft = 0;
    int m_nMaxRowClues = 0;
    int m_nMaxColClues = 0;
    int m_nCellX;
    int m_nCellY;
    int m_nThick = 0;
    double m_dDpiY;
    int64_t m_nMaxBytes;
    bool m_bLaidOut = false;
    QImage m_image;
    std::string m_strError;

    // What the pixels show, for PaintShapes: cleared with them.
    bool m_bGridDrawn = false;
    std::vector<int32_t> m_rowClues;    // rows x max row clues, -1 where none was drawn
    std::vector<int32_t> m_columnClues; // columns x max column clues
    std::vector<uint8_t> m_cellMarks;   // rows x columns, CellMark

    uint64_t m_nVersion = 0; // moves on with every change of the pixels
    mutable std::vector<QImage> m_reduced;
    mutable uint64_t m_nReducedVersion = 0;
};
