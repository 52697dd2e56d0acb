#include "render/PictureExport.h"
#include "doc/TabulonDoc.h"
#include "render/PictureView.h"
#include "support/PdfPages.h"
#include "support/TestPuzzles.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class ExportTest : public ::testing::Test {
  protected:
    ExportTest() : m_view(m_doc) {
        m_doc.AddView(&m_view);
        std::vector<std::string> picture(12, std::string(10, '-'));
        for (int i = 0; i < 10; ++i)
            picture[i][i] = picture[i + 2][9 - i] = picture[5][i] = 'X';
        EXPECT_TRUE(m_doc.FileOpen(m_dir.Write("p.tb", ClueFileText(picture))));
        m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
        m_doc.OnSolve();
    }
    const CGridRenderer& Renderer() const { return *m_view.GetRenderer(); }
    QImage Picture() const { return Renderer().GetImage().convertToFormat(QImage::Format_Grayscale8); }
    // The share of the grid's pixels (clue bands left out) where two
    // pictures of the same size disagree by more than half the grey scale.
    double GridDifference(const QImage& image) const {
        const QImage picture = Picture();
        int nDiffer = 0, nAll = 0;
        for (int y = Renderer().GetGridTop(); y < picture.height(); ++y)
            for (int x = Renderer().GetGridLeft(); x < picture.width(); ++x, ++nAll)
                nDiffer += std::abs(qGray(image.pixel(x, y)) - qGray(picture.pixel(x, y))) > 128;
        return double(nDiffer) / nAll;
    }
    std::string Export(const char* pszName) {
        const std::string strPath = (m_dir.Path() / pszName).string();
        const SaveResult result = ExportPicture(Renderer(), strPath, *PictureFormatOf(strPath));
        EXPECT_TRUE(result.bOk) << result.strError;
        return strPath;
    }

    TempDir m_dir;
    CTabulonDoc m_doc;
    CPictureView m_view;
};

TEST_F(ExportTest, PngAndBmpHoldThePicturePixelForPixel) {
    for (const char* pszName : {"p.png", "p.bmp"}) {
        SCOPED_TRACE(pszName);
        const QImage read(QString::fromStdString(Export(pszName)));
        ASSERT_FALSE(read.isNull());
        EXPECT_EQ(read.convertToFormat(QImage::Format_Grayscale8), Picture());
    }
    // The BMP is the very file Save ALL as BMP writes.
    m_doc.OnSaveAllAsBmp();
    std::ifstream exported(m_dir.Path() / "p.bmp", std::ios::binary),
        saved(m_dir.Path() / "p.tb_all.bmp", std::ios::binary);
    std::stringstream a, b;
    a << exported.rdbuf();
    b << saved.rdbuf();
    EXPECT_EQ(a.str(), b.str());
}

TEST_F(ExportTest, SvgIsVectorShapesAndTextThatDrawThePicture) {
    const std::string strPath = Export("p.svg");
    std::ifstream in(strPath);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("<text"), std::string::npos) << "clue numbers stay text";
    EXPECT_EQ(text.str().find("<image"), std::string::npos) << "no bitmap inside";
    QSvgRenderer svg(QString::fromStdString(strPath));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), Picture().rect());
    QImage drawn(Picture().size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    svg.render(&painter);
    painter.end();
    EXPECT_LT(GridDifference(drawn), 0.01);
}

TEST_F(ExportTest, PdfIsOnePageThePictureFills) {
    const std::vector<QImage> pages = RenderPdfPages(Export("p.pdf"), 96);
    ASSERT_EQ(pages.size(), 1u);
    // Whole points: at most one more pixel at the right and bottom.
    EXPECT_NEAR(pages[0].width(), Picture().width(), 1);
    EXPECT_NEAR(pages[0].height(), Picture().height(), 1);
    EXPECT_LT(GridDifference(pages[0].copy(Picture().rect())), 0.02);
}

TEST_F(ExportTest, AFailedExportNamesTheFileAndTheReasonAndLeavesNothing) {
    std::filesystem::create_directory(m_dir.Path() / "taken.png");
    const struct {
        std::string strPath;
        const char* pszReason;
    } cases[] = {
        {(m_dir.Path() / "taken.png").string(), "Is a directory"},
        {(m_dir.Path() / "missing" / "p.png").string(), "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strPath);
        const SaveResult result = ExportPicture(Renderer(), c.strPath, PictureFormat::Png);
        EXPECT_FALSE(result.bOk);
        EXPECT_NE(result.strError.find(c.strPath), std::string::npos) << result.strError;
        EXPECT_NE(result.strError.find(c.pszReason), std::string::npos) << result.strError;
    }
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << "a partial file stayed: " << entry.path();
}

TEST(PictureFormat, IsToldByTheExtensionInAnyCase) {
    EXPECT_EQ(PictureFormatOf("a/b.PNG"), PictureFormat::Png);
    EXPECT_EQ(PictureFormatOf("b.svg"), PictureFormat::Svg);
    EXPECT_EQ(PictureFormatOf("b.Pdf"), PictureFormat::Pdf);
    EXPECT_EQ(PictureFormatOf("b.tb.bmp"), PictureFormat::Bmp);
    EXPECT_EQ(PictureFormatOf("b.jpg"), std::nullopt);
    EXPECT_EQ(PictureFormatOf("png"), std::nullopt);
    EXPECT_EQ(PictureFormatOf("dir.png/file"), std::nullopt);
}

} // namespace
