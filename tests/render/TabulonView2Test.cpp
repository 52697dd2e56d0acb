#include "render/TabulonView2.h"
#include "doc/TabulonDoc.h"
#include "support/TestPuzzles.h"

#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

const char kCat[] = "15 15\n1 1\n2 2\n3 3\n11\n11\n2 3 2\n2 3 2\n11\n6 6\n5 5\n15\n11\n7\n5\n3\n\n"
                    "1 1\n1 1\n12\n11\n3 6\n2 7\n5 6\n5 5\n5 6\n2 7\n3 6\n11\n12\n1 1\n1 1\n";

bool IsWhite(QRgb pixel) {
    return (pixel & 0xffffff) == 0xffffff;
}

// The view's window, as the screen shows it.
QImage Shown(CTabulonView2& view) {
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

double Darkness(const QImage& image, const QRect& rect) {
    double dSum = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            dSum += 255 - qGray(image.pixel(x, y));
    return dSum / (255.0 * rect.width() * rect.height());
}

class GridViewTest : public ::testing::Test {
  protected:
    GridViewTest() : m_view(m_doc) {
        m_doc.AddView(&m_view);
        m_view.resize(400, 400);
        m_view.show();
    }
    ~GridViewTest() override { m_doc.RemoveView(&m_view); }
    void OpenAndSolve(const std::string& strContent) {
        ASSERT_TRUE(m_doc.FileOpen(m_dir.Write("p.tb", strContent)));
        m_view.OnInitialUpdate();
        m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
        m_doc.OnSolve();
    }
    QImage Picture() const { return m_view.GetRenderer()->GetImage().convertToFormat(QImage::Format_RGB32); }

    TempDir m_dir;
    CTabulonDoc m_doc;
    CTabulonView2 m_view;
};

TEST_F(GridViewTest, AtActualSizeTheScreenShowsThePicturePixelForPixel) {
    OpenAndSolve(kCat);
    const QImage picture = Picture();
    const QImage shown = Shown(m_view);
    ASSERT_GE(shown.width(), picture.width());
    ASSERT_GE(shown.height(), picture.height());
    int nDiffer = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            nDiffer += shown.pixel(x, y) != (picture.rect().contains(x, y) ? picture.pixel(x, y) : qRgb(255, 255, 255));
    EXPECT_EQ(nDiffer, 0);
}

TEST_F(GridViewTest, ZoomShowsThePictureLargerOrSmallerAndNeverChangesIt) {
    OpenAndSolve(kCat);
    const QImage picture = Picture();
    const std::vector<CellState> cells = m_doc.GetPuzzle()->GetCells();

    // At 200 % every picture pixel of the grid becomes a 2 x 2 square:
    // the lines and cells are drawn as shapes, exactly on the doubled grid.
    m_view.SetZoom(2.0);
    EXPECT_EQ(m_view.GetZoom(), 2.0);
    m_view.horizontalScrollBar()->setValue(0);
    m_view.verticalScrollBar()->setValue(0);
    QImage shown = Shown(m_view);
    const CGridRenderer& renderer = *m_view.GetRenderer();
    const QRect grid(renderer.GetGridLeft(), renderer.GetGridTop(), 150, 150); // what the 400 x 400 view holds
    int nDiffer = 0;
    for (int y = grid.top(); y <= grid.bottom(); ++y)
        for (int x = grid.left(); x <= grid.right(); ++x)
            for (const QPoint& at : {QPoint(2 * x, 2 * y), QPoint(2 * x + 1, 2 * y + 1)})
                nDiffer += shown.pixel(at) != picture.pixel(x, y);
    EXPECT_EQ(nDiffer, 0);

    // Far out, the picture is averaged: as dark on the whole as the picture.
    m_view.SetZoom(1.0 / 4);
    shown = Shown(m_view);
    const QSize small((picture.width() + 3) / 4, (picture.height() + 3) / 4);
    EXPECT_NEAR(Darkness(shown, QRect(QPoint(0, 0), small)), Darkness(picture, picture.rect()), 0.05);
    EXPECT_TRUE(IsWhite(shown.pixel(small.width() + 2, small.height() + 2))) << "nothing beyond the picture";

    m_view.ActualSize();
    EXPECT_EQ(m_doc.GetPuzzle()->GetCells(), cells);
    EXPECT_EQ(Picture(), picture);
    EXPECT_EQ(Shown(m_view).copy(picture.rect()), picture);
}

TEST_F(GridViewTest, ZoomStepsInAndOutAndStaysWithinItsLimits) {
    OpenAndSolve(kCat);
    m_view.ZoomIn();
    EXPECT_EQ(m_view.GetZoom(), 1.5);
    m_view.ZoomOut();
    m_view.ZoomOut();
    EXPECT_DOUBLE_EQ(m_view.GetZoom(), 2.0 / 3);
    for (int i = 0; i < 40; ++i)
        m_view.ZoomOut();
    EXPECT_EQ(m_view.GetZoom(), CTabulonView2::kMinZoom);
    for (int i = 0; i < 40; ++i)
        m_view.ZoomIn();
    EXPECT_EQ(m_view.GetZoom(), CTabulonView2::kMaxZoom);
    m_view.SetZoom(1000);
    EXPECT_EQ(m_view.GetZoom(), CTabulonView2::kMaxZoom);
}

TEST_F(GridViewTest, FitToWindowShowsTheWholePictureAndKeepsDoingSo) {
    std::vector<std::string> picture(60, std::string(60, '-'));
    for (int i = 0; i < 60; ++i)
        picture[i][i] = picture[i][59 - i] = 'X';
    OpenAndSolve(ClueFileText(picture));
    m_view.FitToWindow();
    const QSize range = m_view.GetScrollRange();
    const auto fits = [&] {
        const QSize view = m_view.viewport()->size();
        return range.width() * m_view.GetZoom() <= view.width() + 1 &&
               range.height() * m_view.GetZoom() <= view.height() + 1 &&
               (range.width() * m_view.GetZoom() >= view.width() - 1 ||
                range.height() * m_view.GetZoom() >= view.height() - 1);
    };
    EXPECT_TRUE(m_view.IsFitting());
    EXPECT_LT(m_view.GetZoom(), 1.0);
    EXPECT_TRUE(fits());
    EXPECT_EQ(m_view.horizontalScrollBar()->maximum(), 0);
    m_view.resize(250, 300);
    EXPECT_TRUE(fits()) << "fitted again to the new size";
    m_view.ZoomIn();
    EXPECT_FALSE(m_view.IsFitting());
}

// A scroll bar that appeared for a pixel of rounding would shrink the view,
// refit the picture smaller, disappear and so on for ever: the window would
// spin, its events piling up. Fitted, the view settles at once at any size.
TEST_F(GridViewTest, AFittedPictureSettlesWithoutScrollBarsAtAnySize) {
    std::vector<std::string> picture(80, std::string(80, '-'));
    for (int i = 0; i < 80; ++i)
        picture[i][i] = 'X';
    OpenAndSolve(ClueFileText(picture));
    int nZoomChanges = 0;
    QObject::connect(&m_view, &CTabulonView2::zoomChanged, [&] { ++nZoomChanges; });
    int nSpinning = 0;
    // a square picture in views about as wide as high, where either bar may tip the fit
    for (int nSize = 200; nSize < 330; nSize += 7) {
        const int nWidth = nSize + (nSize % 17) - 8;
        m_view.resize(nWidth, nSize);
        m_view.FitToWindow();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20); // bounded: a spinning view never runs dry
        nZoomChanges = 0;
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        nSpinning += nZoomChanges > 0;
        EXPECT_EQ(m_view.horizontalScrollBar()->maximum(), 0) << nWidth;
        EXPECT_EQ(m_view.verticalScrollBar()->maximum(), 0) << nWidth;
    }
    EXPECT_EQ(nSpinning, 0) << "sizes at which the zoom kept changing with nothing done";
}

TEST_F(GridViewTest, CtrlAndTheWheelZoomAroundThePointerAndShiftScrollsAcross) {
    std::vector<std::string> picture(60, std::string(60, '-'));
    for (int i = 0; i < 60; ++i)
        picture[i][(i * 7) % 60] = 'X';
    OpenAndSolve(ClueFileText(picture));
    m_view.horizontalScrollBar()->setValue(100);
    m_view.verticalScrollBar()->setValue(80);
    const QPointF pointer(120, 90);
    const QPointF before = (QPointF(100, 80) + pointer) / m_view.GetZoom();
    QWheelEvent zoomIn(pointer, m_view.viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_view.viewport(), &zoomIn);
    EXPECT_EQ(m_view.GetZoom(), 1.5);
    const QPointF scroll(m_view.horizontalScrollBar()->value(), m_view.verticalScrollBar()->value());
    const QPointF after = (scroll + pointer) / m_view.GetZoom();
    EXPECT_NEAR(after.x(), before.x(), 1.0);
    EXPECT_NEAR(after.y(), before.y(), 1.0);

    const int nTop = m_view.verticalScrollBar()->value(), nLeft = m_view.horizontalScrollBar()->value();
    QWheelEvent across(pointer, m_view.viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, -120), Qt::NoButton,
                       Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_view.viewport(), &across);
    EXPECT_GT(m_view.horizontalScrollBar()->value(), nLeft);
    EXPECT_EQ(m_view.verticalScrollBar()->value(), nTop);
}

TEST_F(GridViewTest, TheKeysScrollThePicture) {
    std::vector<std::string> picture(80, std::string(80, '-'));
    OpenAndSolve(ClueFileText(picture));
    QScrollBar* pDown = m_view.verticalScrollBar();
    QScrollBar* pAcross = m_view.horizontalScrollBar();
    ASSERT_GT(pDown->maximum(), 0);
    QTest::keyClick(&m_view, Qt::Key_End);
    EXPECT_EQ(pDown->value(), pDown->maximum());
    EXPECT_EQ(pAcross->value(), pAcross->maximum());
    QTest::keyClick(&m_view, Qt::Key_PageUp);
    EXPECT_EQ(pDown->value(), pDown->maximum() - pDown->pageStep());
    QTest::keyClick(&m_view, Qt::Key_Left);
    EXPECT_EQ(pAcross->value(), pAcross->maximum() - pAcross->singleStep());
    QTest::keyClick(&m_view, Qt::Key_Home);
    EXPECT_EQ(pDown->value(), 0);
    EXPECT_EQ(pAcross->value(), 0);
    QTest::keyClick(&m_view, Qt::Key_Down);
    EXPECT_EQ(pDown->value(), pDown->singleStep());
}

TEST_F(GridViewTest, APuzzleTooLargeToDrawSaysSoInTheViewInsteadOfScrollingABlank) {
    CPuzzle huge;
    std::string strFile = "3000 3000\n";
    for (int i = 0; i < 6001; ++i)
        strFile += i == 3000 ? "\n" : "0\n";
    ASSERT_TRUE(m_doc.FileOpen(m_dir.Write("huge.tb", strFile)));
    m_view.OnInitialUpdate();
    EXPECT_FALSE(m_view.GetRenderer()->IsLaidOut());
    EXPECT_EQ(m_view.GetScrollRange(), QSize(0, 0));
    EXPECT_EQ(m_view.verticalScrollBar()->maximum(), 0);
    const QImage shown = Shown(m_view);
    EXPECT_GT(Darkness(shown, shown.rect()), 0.001) << "the view holds the message";
}

TEST_F(GridViewTest, AfterNewTheViewIsBlank) {
    OpenAndSolve(kCat);
    EXPECT_GT(Darkness(Shown(m_view), m_view.viewport()->rect()), 0.01);
    m_doc.FileNew();
    m_view.OnInitialUpdate();
    EXPECT_EQ(Darkness(Shown(m_view), m_view.viewport()->rect()), 0.0);
    EXPECT_NE(m_doc.GetPicture(), nullptr) << "the old picture stays, as New leaves it";
}

} // namespace
