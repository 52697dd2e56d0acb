#include "render/PicturePrint.h"
#include "doc/TabulonDoc.h"
#include "render/PictureView.h"
#include "support/PdfPages.h"
#include "support/TestPuzzles.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace {

struct PlanCase {
    const char* name;
    QSize picture;
    PrintSize size;
    int nColumns, nRows;
    double dScaleX;
};

// A4 at 600 dpi with no unprintable margin: 4961 x 7016 dots, the picture
// from 300 to 300 dots before the far edges.
TEST(PrintPlan, PlacesThePictureHalfAnInchInAndCountsThePages) {
    const QSize a4(4961, 7016);
    const PlanCase cases[] = {
        {"OnScreenFitsOnePage", {206, 195}, PrintSize::AsOnScreen, 1, 1, 6.25},
        // 4361 dots across hold 697.8 pixels, 6416 down 1026.6.
        {"OnScreenLargeSpreadsOverPages", {4411, 4411}, PrintSize::AsOnScreen, 7, 5, 6.25},
        {"OnScreenExactlyOnePageWide", {697, 10}, PrintSize::AsOnScreen, 1, 1, 6.25},
        {"FitToPageWidthBound", {206, 195}, PrintSize::FitToPage, 1, 1, 4361.0 / 206},
        {"FitToPageHeightBound", {100, 3208}, PrintSize::FitToPage, 1, 1, 6416.0 / 3208},
        {"PrinterDotsOnePage", {4411, 4411}, PrintSize::PrinterDots, 1, 1, 1.0},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PrintPlan plan = PlanPrint(c.picture, a4, 600, 600, QMarginsF(), c.size);
        EXPECT_EQ(plan.origin, QPoint(300, 300));
        EXPECT_EQ(plan.area, QSize(4361, 6416));
        EXPECT_EQ(plan.nColumns, c.nColumns);
        EXPECT_EQ(plan.nRows, c.nRows);
        EXPECT_DOUBLE_EQ(plan.dScaleX, c.dScaleX);
        EXPECT_DOUBLE_EQ(plan.dScaleY, plan.dScaleX);
    }
    // A printer's own margin wider than half an inch moves the corner in.
    const PrintPlan plan = PlanPrint({206, 195}, a4, 600, 600, QMarginsF(400, 350, 500, 320), PrintSize::AsOnScreen);
    EXPECT_EQ(plan.origin, QPoint(400, 350));
    EXPECT_EQ(plan.area, QSize(4961 - 400 - 500, 7016 - 350 - 320));
}

class PrintTest : public ::testing::Test {
  protected:
    PrintTest() : m_view(m_doc) {
        m_doc.AddView(&m_view);
        std::vector<std::string> picture(15, std::string(15, '-'));
        for (int i = 0; i < 15; ++i)
            picture[i][i] = picture[i][14 - i] = picture[7][i] = 'X';
        EXPECT_TRUE(m_doc.FileOpen(m_dir.Write("x.tb", ClueFileText(picture))));
        m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
        m_doc.OnSolve();
    }
    // Prints at 1200 dpi on A4 and reads the pages (or the part `crop`) back at nDpi.
    std::vector<QImage> PrintAndRead(PrintSize size, int nDpi, const QRect& crop = QRect()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const std::string strPdf = (m_dir.Path() / "out.pdf").string();
        printer.setOutputFileName(QString::fromStdString(strPdf));
        std::string strError;
        EXPECT_TRUE(PrintPicture(printer, m_view.GetRenderer(), size, strError)) << strError;
        return RenderPdfPages(strPdf, nDpi, crop);
    }

    TempDir m_dir;
    CTabulonDoc m_doc;
    CPictureView m_view;
};

// Where the ink is on the page: the picture's corner half an inch in, its
// ink where the picture has ink, at the scale the picture size asks for.
// Read back at 300 dpi, and at the printer's own 1200 where a picture pixel
// is one printer dot (the corner of the page only: the picture is tiny).
TEST_F(PrintTest, EachPictureSizePrintsWhereAndAsLargeAsItSays) {
    const QImage picture = m_view.GetRenderer()->GetImage();
    const QRect pictureInk = InkBounds(picture);
    for (PrintSize size : kPrintSizes) {
        SCOPED_TRACE(PrintSizeText(size));
        const bool bDots = size == PrintSize::PrinterDots;
        const int nDpi = bDots ? 1200 : 300;
        const std::vector<QImage> pages = PrintAndRead(size, nDpi, bDots ? QRect(0, 0, 1600, 1600) : QRect());
        ASSERT_EQ(pages.size(), 1u);
        // Dots per picture pixel: a 96th of an inch; the page's width less
        // two half inches across the picture (its width decides here); one.
        const double dScale = size == PrintSize::AsOnScreen  ? nDpi / 96.0
                              : size == PrintSize::FitToPage ? (pages[0].width() - nDpi) / double(picture.width())
                                                             : 1.0;
        const QRect ink = InkBounds(pages[0]);
        ASSERT_FALSE(ink.isEmpty());
        const double dTolerance = std::max(3.0, dScale);
        EXPECT_NEAR(ink.left(), nDpi / 2 + pictureInk.left() * dScale, dTolerance);
        EXPECT_NEAR(ink.top(), nDpi / 2 + pictureInk.top() * dScale, dTolerance);
        EXPECT_NEAR(ink.right() + 1, nDpi / 2 + (pictureInk.right() + 1) * dScale, dTolerance);
        EXPECT_NEAR(ink.bottom() + 1, nDpi / 2 + (pictureInk.bottom() + 1) * dScale, dTolerance);
    }
}

TEST_F(PrintTest, APictureLargerThanThePagePrintsOverAsManyPagesAsItNeeds) {
    m_doc.SetCellX(60);
    m_doc.SetCellY(60);
    m_doc.ApplySettings(); // 63-pixel pitch: (2 + 15) * 63 + 8 = 1079 pixels wide, 11.2 inches
    m_doc.OnSolve();
    const QSize picture = m_view.GetRenderer()->GetImage().size();
    const std::vector<QImage> pages = PrintAndRead(PrintSize::AsOnScreen, 96);
    QPrinter a4(QPrinter::HighResolution);
    a4.setPageSize(QPageSize(QPageSize::A4));
    const PrintPlan plan = PlanPrint(picture, a4, PrintSize::AsOnScreen);
    EXPECT_EQ(plan.nColumns, 2);
    EXPECT_EQ(plan.nRows, 2);
    ASSERT_EQ(pages.size(), 4u);
    // Every page holds a part. The first is cut at the printable edge, half
    // an inch from the paper's; the page on its right goes on from there.
    for (const QImage& page : pages)
        EXPECT_FALSE(InkBounds(page).isEmpty());
    const QRect pictureInk = InkBounds(m_view.GetRenderer()->GetImage());
    const QRect first = InkBounds(pages[0]), second = InkBounds(pages[1]);
    EXPECT_NEAR(first.left(), 48 + pictureInk.left(), 2);
    EXPECT_NEAR(first.right() + 1, pages[0].width() - 48, 2);
    EXPECT_NEAR(second.left(), 48, 2);
    EXPECT_NEAR(first.width() + second.width(), pictureInk.width(), 4);
}

} // namespace
