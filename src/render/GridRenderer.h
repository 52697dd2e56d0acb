#pragma once

#include "doc/DocPorts.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <cstdint>
#include <string>

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
    void FillCell(int nRow, int nCol, QRgb colour);
    // The inside of a cell, between its grid lines, in picture pixels.
    QRect CellRect(int nRow, int nCol) const;
    void PaintFilledCell(int nRow, int nCol, QRgb colour, QRgb background);
    void PaintEmptyCell(int nRow, int nCol, QRgb mark, QRgb background);

    bool GetPixels(int& nWidth, int& nHeight, std::vector<uint8_t>& pixels, std::string& strError) override;
    // Draws the whole picture at logical (0, 0) of `target`, one picture
    // pixel per logical unit.
    void Paint(QPainter& target) const;

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
    void FillRect(int nLeft, int nTop, int nRight, int nBottom, QRgb colour);
    void DrawClueText(int nLeft, int nTop, int nRight, int nBottom, int nValue);

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
};
