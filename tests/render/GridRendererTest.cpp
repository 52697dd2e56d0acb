#include "render/GridRenderer.h"
#include "doc/TabulonDoc.h"
#include "io/BmpFile.h"
#include "render/PictureView.h"
#include "support/TestPuzzles.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// 10 x 10 with at most 3 clues in a row (row 0) and 4 in a column (column 0).
CPuzzle TenByTen() {
    std::vector<std::string> picture(10, std::string(10, '-'));
    picture[0] = "X-X-X-----";
    picture[2][0] = picture[4][0] = picture[6][0] = 'X';
    return PuzzleFromPicture(picture);
}

bool IsBlack(const CGridRenderer& renderer, int x, int y) {
    return renderer.GetImage().pixel(x, y) == kBlack;
}

// The black pixels of a rectangle (left, top, right, bottom exclusive) as a count.
int BlackIn(const CGridRenderer& renderer, int nLeft, int nTop, int nRight, int nBottom) {
    int nCount = 0;
    for (int y = nTop; y < nBottom; ++y)
        for (int x = nLeft; x < nRight; ++x)
            nCount += IsBlack(renderer, x, y);
    return nCount;
}

struct GeometryCase {
    int nCellX, nCellY;
    int L, T, W, H, nThick, nFont;
};

TEST(GridRenderer, LayoutComputesTheGeometryOfThePicture) {
    const GeometryCase cases[] = {
        {8, 8, 38, 49, 151, 162, 2, 6},                                  // pitch 11
        {12, 12, 50, 65, 203, 218, 2, 9},                                // pitch 15
        {7, 9, 35, 53, 138, 176, 1, 7},    {0, 0, 14, 17, 47, 50, 0, 0}, // pitch 3: grid lines only
        {16, 16, 62, 81, 255, 274, 4, 12},
    };
    const CPuzzle puzzle = TenByTen();
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.nCellX) + " x " + std::to_string(c.nCellY));
        CGridRenderer renderer(c.nCellX, c.nCellY, 96.0);
        ASSERT_TRUE(renderer.Layout(puzzle));
        EXPECT_EQ(renderer.GetGridLeft(), c.L);
        EXPECT_EQ(renderer.GetGridTop(), c.T);
        EXPECT_EQ(renderer.GetWidth(), c.W);
        EXPECT_EQ(renderer.GetHeight(), c.H);
        EXPECT_EQ(renderer.GetImage().size(), QSize(c.W, c.H));
        EXPECT_EQ(renderer.GetThick(), c.nThick);
        EXPECT_EQ(renderer.GetScrollSize(), QSize(c.W + c.nThick, c.H + c.nThick));
        EXPECT_EQ(renderer.GetFontPixelHeight(), c.nFont);
    }
}

TEST(GridRenderer, ARendererNeverLaidOutHoldsAWhitePicture) {
    CGridRenderer renderer(8, 8, 96.0);
    int nWidth = 0, nHeight = 0;
    std::vector<uint8_t> pixels;
    std::string strError;
    ASSERT_TRUE(renderer.GetPixels(nWidth, nHeight, pixels, strError));
    EXPECT_EQ(nWidth, 256);
    EXPECT_EQ(nHeight, 256);
    EXPECT_EQ(pixels, std::vector<uint8_t>(256 * 256 * 3, 0xFF));
}

struct CellCase {
    int nCell;
    // within the cell's pitch square: the filled square and the empty-cell mark
    int nFillFrom, nFillTo;
    int nMarkLeft, nMarkTop, nMarkRight, nMarkBottom;
};

TEST(GridRenderer, FilledCellsAndEmptyMarksLandOnTheirPixels) {
    const CellCase cases[] = {
        {8, 4, 10, 6, 6, 8, 7},  // a 6 x 6 square, a 2 x 1 mark
        {9, 4, 11, 6, 6, 9, 8},  // 0.3333333 * 9 is just below 3: the mark's top is 6
        {10, 4, 12, 7, 7, 9, 8}, // 0.2 * 10 is just above 2: the mark's right is 9
        {4, 3, 7, 4, 4, 6, 5},   // below 8: no half width, the fill reaches the gaps
    };
    const CPuzzle puzzle = TenByTen();
    for (const CellCase& c : cases) {
        SCOPED_TRACE(c.nCell);
        CGridRenderer renderer(c.nCell, c.nCell, 96.0);
        ASSERT_TRUE(renderer.Layout(puzzle));
        renderer.Clear();
        const int p = c.nCell + 3;
        const int x0 = renderer.GetGridLeft() + 2 * p, y0 = renderer.GetGridTop() + 3 * p; // cell (3, 2)
        renderer.PaintFilledCell(3, 2, kBlack, kBlack);
        const int nSide = c.nFillTo - c.nFillFrom;
        EXPECT_EQ(BlackIn(renderer, x0 + c.nFillFrom, y0 + c.nFillFrom, x0 + c.nFillTo, y0 + c.nFillTo), nSide * nSide);
        EXPECT_EQ(BlackIn(renderer, x0, y0, x0 + p, y0 + p), nSide * nSide) << "nothing outside the square";

        const int x1 = x0 + p; // cell (3, 3)
        renderer.PaintEmptyCell(3, 3, kBlack, kWhite);
        const int nMark = (c.nMarkRight - c.nMarkLeft) * (c.nMarkBottom - c.nMarkTop);
        EXPECT_EQ(BlackIn(renderer, x1 + c.nMarkLeft, y0 + c.nMarkTop, x1 + c.nMarkRight, y0 + c.nMarkBottom), nMark);
        EXPECT_EQ(BlackIn(renderer, x1, y0, x1 + p, y0 + p), nMark) << "nothing outside the mark";

        renderer.PaintEmptyCell(3, 2, kBlack, kWhite); // the background covers the filled square
        EXPECT_EQ(BlackIn(renderer, x0, y0, x0 + p, y0 + p), nMark);
    }
}

// Cells of every width the row filler treats apart (one pixel, two, four,
// eight, more than sixteen), in a grey that is neither black nor white:
// exactly the cell's pixels take it, and erasing the cell gives back the
// picture as Clear left it.
TEST(GridRenderer, ACellOfAnyWidthIsFilledExactlyAndErasedToTheClearedPicture) {
    const CPuzzle puzzle = TenByTen();
    const QRgb grey = qRgb(0x80, 0x80, 0x80);
    for (int nCell = 1; nCell <= 22; ++nCell) {
        SCOPED_TRACE(nCell);
        CGridRenderer renderer(nCell, nCell + 1, 96.0);
        ASSERT_TRUE(renderer.Layout(puzzle));
        renderer.DrawAll(puzzle);
        const QImage cleared = renderer.GetImage().copy();
        renderer.PaintFilledCell(4, 5, grey, kWhite);
        const QRect cell = renderer.CellRect(4, 5);
        int nGrey = 0, nChanged = 0;
        for (int y = 0; y < cleared.height(); ++y)
            for (int x = 0; x < cleared.width(); ++x) {
                const bool bInCell = cell.contains(x, y);
                nGrey += bInCell && renderer.GetImage().pixel(x, y) == grey;
                nChanged += !bInCell && renderer.GetImage().pixel(x, y) != cleared.pixel(x, y);
            }
        EXPECT_EQ(nGrey, cell.width() * cell.height());
        EXPECT_EQ(nChanged, 0) << "pixels outside the cell";
        renderer.EraseCell(4, 5);
        EXPECT_EQ(renderer.GetImage(), cleared);
        EXPECT_TRUE(renderer.Shows(4, 5, CELL_UNKNOWN));
    }
}

TEST(GridRenderer, EveryFifthLineIsThickAndTheOthersThin) {
    const CPuzzle puzzle = PuzzleFromPicture({"X------", "-------", "-------"}); // 3 rows, 7 columns
    CGridRenderer renderer(8, 8, 96.0);
    ASSERT_TRUE(renderer.Layout(puzzle));
    renderer.DrawAll(puzzle);
    const int L = renderer.GetGridLeft(), T = renderer.GetGridTop(), y = T + 6; // mid-height of row 0
    auto lineWidthAt = [&](int x) { return BlackIn(renderer, x - 3, y, x + 2, y + 1); };
    for (int i = 0; i <= 7; ++i)
        EXPECT_EQ(lineWidthAt(L + 1 + i * 11), i % 5 == 0 ? 2 : 1) << "vertical line " << i;
    const int x = L + 6;
    EXPECT_EQ(BlackIn(renderer, x, T - 2, x + 1, T + 4), 2) << "top border";
    EXPECT_EQ(BlackIn(renderer, x, T + 1 + 3 * 11 - 3, x + 1, renderer.GetHeight()), 1) << "bottom border, 3 rows";
}

TEST(GridRenderer, CellWidthZeroShowsOnlyGridLines) {
    const CPuzzle puzzle = TenByTen();
    CGridRenderer renderer(0, 8, 96.0);
    ASSERT_TRUE(renderer.Layout(puzzle));
    renderer.DrawAll(puzzle);
    renderer.PaintFilledCell(0, 0, kBlack, kBlack);
    const int L = renderer.GetGridLeft(), T = renderer.GetGridTop();
    EXPECT_EQ(BlackIn(renderer, 0, T + 2, L, renderer.GetHeight()), 0) << "no row clue shows";
    EXPECT_EQ(BlackIn(renderer, L + 2, 0, L + 4, T), 0) << "no column clue shows";
    EXPECT_TRUE(IsBlack(renderer, L + 1, T + 5));
    EXPECT_TRUE(IsBlack(renderer, L + 4, T + 5)); // vertical lines 3 pixels apart
}

TEST(GridRenderer, ClueNumbersStayInsideTheirSlots) {
    // row 0 has three clues; a wide number in a narrow slot is cut on both sides
    const CPuzzle puzzle = TenByTen();
    CGridRenderer renderer(8, 8, 96.0);
    ASSERT_TRUE(renderer.Layout(puzzle));
    renderer.Clear();
    renderer.DrawRowClue(0, 1, 12345);
    const int T = renderer.GetGridTop();
    const int nLeft = 11 + 3, nTop = T + 3, nRight = 22, nBottom = T + 11; // slot 1 of row 0
    const int nInside = BlackIn(renderer, nLeft, nTop, nRight, nBottom);
    EXPECT_GT(nInside, 0);
    EXPECT_EQ(BlackIn(renderer, 0, 0, renderer.GetWidth(), renderer.GetHeight()), nInside);

    renderer.Clear();
    renderer.DrawRowClue(0, 2, 1); // narrow text: centred, its top at the slot's top
    const int nSlotLeft = 2 * 11 + 3, nSlotRight = 3 * 11;
    int nMinX = 1000, nMaxX = -1, nMinY = 1000;
    for (int y = 0; y < renderer.GetHeight(); ++y)
        for (int x = 0; x < renderer.GetWidth(); ++x)
            if (IsBlack(renderer, x, y)) {
                nMinX = std::min(nMinX, x);
                nMaxX = std::max(nMaxX, x);
                nMinY = std::min(nMinY, y);
            }
    ASSERT_GE(nMaxX, 0);
    EXPECT_GE(nMinX, nSlotLeft);
    EXPECT_LT(nMaxX, nSlotRight);
    EXPECT_LE(std::abs((nMinX - nSlotLeft) - (nSlotRight - 1 - nMaxX)), 2) << "centred";
    EXPECT_GE(nMinY, nTop);
    EXPECT_LE(nMinY, nTop + 2);
}

TEST(GridRenderer, APictureTooLargeToDrawIsRefusedWithItsSize) {
    CPuzzle puzzle;
    puzzle.SetSize(3000, 3000);
    for (int16_t i = 0; i < 3000; ++i) {
        puzzle.AddRowClue(i, 0);
        puzzle.AddColumnClue(i, 0);
    }
    CGridRenderer renderer(20, 20, 96.0);
    EXPECT_FALSE(renderer.Layout(puzzle));
    EXPECT_NE(renderer.GetError().find("69031 x 69031 pixels"), std::string::npos) << renderer.GetError();
    // The largest cells the settings take do not wrap the size around.
    CGridRenderer hugeCells(INT_MAX, INT_MAX, 96.0);
    EXPECT_FALSE(hugeCells.Layout(TenByTen()));
    EXPECT_NE(hugeCells.GetError().find(" 27917287458 x 30064771108 pixels; "), std::string::npos)
        << hugeCells.GetError();
    EXPECT_FALSE(renderer.IsLaidOut());
    EXPECT_EQ(renderer.GetImage().size(), QSize(256, 256));
    // no blank stand-in is saved for a picture that could not be drawn
    int nWidth = 0, nHeight = 0;
    std::vector<uint8_t> pixels;
    std::string strError;
    EXPECT_FALSE(renderer.GetPixels(nWidth, nHeight, pixels, strError));
    EXPECT_EQ(strError, renderer.GetError());
}

TEST(GridRenderer, PixelsReadBackThroughAnIndependentBmpReader) {
    CPuzzle puzzle = TenByTen();
    puzzle.SetTrace(nullptr, nullptr);
    puzzle.Solve(nullptr, nullptr);
    CGridRenderer renderer(9, 7, 96.0); // 3 x W bytes per row need padding
    ASSERT_TRUE(renderer.Layout(puzzle));
    renderer.DrawAll(puzzle);
    renderer.PaintFilledCell(0, 0, kBlack, kBlack);
    int nWidth = 0, nHeight = 0;
    std::vector<uint8_t> pixels;
    std::string strError;
    ASSERT_TRUE(renderer.GetPixels(nWidth, nHeight, pixels, strError));
    const std::string file = EncodeBmp24(nWidth, nHeight, pixels);
    QImage readBack;
    ASSERT_TRUE(
        readBack.loadFromData(reinterpret_cast<const uchar*>(file.data()), static_cast<int>(file.size()), "BMP"));
    ASSERT_EQ(readBack.size(), renderer.GetImage().size());
    EXPECT_EQ(readBack.convertToFormat(QImage::Format_RGB32),
              renderer.GetImage().convertToFormat(QImage::Format_RGB32));
}

// The picture kept through the document's hints, as the grid view keeps it.
TEST(PictureView, RebuildsOnOpenClearsAtTheStartOfASolveAndPaintsKnownCells) {
    TempDir dir;
    CTabulonDoc doc;
    CPictureView view(doc);
    doc.AddView(&view);
    ASSERT_TRUE(doc.FileOpen(dir.Write("cat.tb", "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n")));
    CGridRenderer* pRenderer = view.GetRenderer();
    ASSERT_NE(pRenderer, nullptr);
    EXPECT_EQ(doc.GetPicture(), pRenderer);
    EXPECT_TRUE(pRenderer->IsLaidOut());
    const QImage gridAndClues = pRenderer->GetImage();

    doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    doc.OnSolve();
    const int L = pRenderer->GetGridLeft(), T = pRenderer->GetGridTop();
    EXPECT_TRUE(IsBlack(*pRenderer, L + 6, T + 6)) << "cell (0, 0) is filled";
    EXPECT_TRUE(IsBlack(*pRenderer, L + 11 + 11 + 6, T + 6)) << "cell (0, 2) carries the empty mark";
    EXPECT_FALSE(IsBlack(*pRenderer, L + 11 + 11 + 4, T + 6));

    view.OnUpdate(3);
    EXPECT_EQ(pRenderer->GetImage(), gridAndClues);

    doc.FileNew();
    EXPECT_EQ(view.GetRenderer(), pRenderer) << "New leaves the picture as it was";
    doc.SetCellX(12);
    doc.ApplySettings();
    EXPECT_NE(view.GetRenderer(), nullptr);
    EXPECT_FALSE(view.GetRenderer()->IsLaidOut()) << "without a puzzle the new picture is not laid out";
}

} // namespace
