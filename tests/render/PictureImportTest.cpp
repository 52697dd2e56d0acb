#include "render/PictureImport.h"
#include "support/TestPuzzles.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <fstream>

namespace {

// Black at the left to white at the right, 100 x 10.
QImage Gradient() {
    QImage image(100, 10, QImage::Format_RGB32);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 10; ++y)
            image.setPixel(x, y, qRgb(x * 255 / 99, x * 255 / 99, x * 255 / 99));
    return image;
}

TEST(PictureImport, AreaAveragingWeighsPixelsByTheShareEachCellCovers) {
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(255, 255, 255));
    image.setPixel(2, 0, qRgb(255, 255, 255));
    // Two cells over three pixels: each takes one and a half.
    const std::vector<double> greys = CellGreys(image, 1, 2);
    ASSERT_EQ(greys.size(), 2u);
    EXPECT_NEAR(greys[0], 255 * 0.5 / 1.5, 1e-9);
    EXPECT_NEAR(greys[1], 255.0, 1e-9);
    // More cells than pixels: each pixel spreads over the cells it covers.
    const std::vector<double> fine = CellGreys(image, 2, 6);
    EXPECT_EQ(fine, (std::vector<double>{0, 0, 255, 255, 255, 255, 0, 0, 255, 255, 255, 255}));
}

TEST(PictureImport, TheThresholdSplitsAGradientWhereOtsuOrTheUserPutsIt) {
    const QImage gradient = Gradient();
    EXPECT_EQ(DesignRows(DesignFromImage(gradient, {1, 10, -1, false})), (std::vector<std::string>{"XXXXX-----"}));
    EXPECT_EQ(DesignRows(DesignFromImage(gradient, {1, 10, 60, false})), (std::vector<std::string>{"XX--------"}));
    EXPECT_EQ(DesignRows(DesignFromImage(gradient, {1, 10, 0, false})), (std::vector<std::string>{"----------"}));
    EXPECT_EQ(DesignRows(DesignFromImage(gradient, {1, 10, -1, true})), (std::vector<std::string>{"-----XXXXX"}));
    const int nOtsu = OtsuThreshold(CellGreys(gradient, 1, 10));
    EXPECT_GT(nOtsu, 100);
    EXPECT_LT(nOtsu, 155);
    EXPECT_EQ(OtsuThreshold({200, 200, 200}), 128) << "one grey: no split to find";
}

TEST(PictureImport, ThePicturesTopLeftIsTheGridsWhateverTheSizes) {
    // Odd sides, wider or taller than the grid: the black third stays the top left cell.
    for (const QSize& size : {QSize(9, 15), QSize(33, 21), QSize(3, 45), QSize(1, 1)}) {
        SCOPED_TRACE(size.width() * 1000 + size.height());
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::transparent); // counts as white
        QPainter(&image).fillRect(QRect(0, 0, std::max(size.width() / 3, 1), std::max(size.height() / 3, 1)),
                                  Qt::black);
        if (size == QSize(1, 1)) { // one pixel over every cell
            EXPECT_EQ(DesignRows(DesignFromImage(image, {3, 3, 128, false})),
                      (std::vector<std::string>{"XXX", "XXX", "XXX"}));
            continue;
        }
        const CDesign design = DesignFromImage(image, {3, 3, 128, false});
        EXPECT_EQ(DesignRows(design), (std::vector<std::string>{"X--", "---", "---"}));
    }
}

TEST(PictureImport, AFileThatIsNoImageOrBadOptionsAreRefusedWithTheReason) {
    TempDir dir;
    const QString strBroken = QString::fromStdString(dir.Write("broken.png", "\x89PNG\r\n\x1a\nnot really"));
    const QString strText = QString::fromStdString(dir.Write("words.gif", "just words"));
    const QString strGood = QString::fromStdString((dir.Path() / "good.png").string());
    ASSERT_TRUE(Gradient().save(strGood));
    CDesign design;
    std::string strError;
    for (const QString& strPath : {strBroken, strText, QString::fromStdString((dir.Path() / "none.png").string())}) {
        SCOPED_TRACE(strPath.toStdString());
        EXPECT_FALSE(ImportPicture(strPath, {10, 10, -1, false}, design, strError));
        EXPECT_NE(strError.find(strPath.toStdString()), std::string::npos) << strError;
    }
    const ImportOptions bad[] = {{0, 10, -1, false}, {10, 40000, -1, false}, {10, 10, 256, false}, {10, 10, -2, false}};
    for (const ImportOptions& options : bad)
        EXPECT_FALSE(ImportPicture(strGood, options, design, strError));
    ASSERT_TRUE(ImportPicture(strGood, {2, 10, -1, false}, design, strError)) << strError;
    EXPECT_EQ(DesignRows(design), (std::vector<std::string>{"XXXXX-----", "XXXXX-----"}));
}

} // namespace
