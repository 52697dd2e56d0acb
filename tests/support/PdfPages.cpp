#include "support/PdfPages.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

std::vector<QImage> RenderPdfPages(const std::string& strPdf, int nDpi, const QRect& crop) {
    QTemporaryDir folder;
    QStringList arguments = {QStringLiteral("-r"), QString::number(nDpi), QStringLiteral("-gray"),
                             QStringLiteral("-png")};
    if (!crop.isNull())
        arguments << QStringLiteral("-x") << QString::number(crop.x()) << QStringLiteral("-y")
                  << QString::number(crop.y()) << QStringLiteral("-W") << QString::number(crop.width())
                  << QStringLiteral("-H") << QString::number(crop.height());
    arguments << QString::fromStdString(strPdf) << folder.filePath(QStringLiteral("page"));
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"), arguments);
    std::vector<QImage> pages;
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0)
        return pages;
    // page-1.png, page-2.png ... (zero-padded when there are ten or more)
    const QStringList names = QDir(folder.path()).entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
    for (const QString& strName : names)
        pages.push_back(QImage(folder.filePath(strName)).convertToFormat(QImage::Format_Grayscale8));
    return pages;
}

QRect InkBounds(const QImage& page) {
    QRect bounds;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* pRow = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x)
            if (pRow[x] < 160)
                bounds |= QRect(x, y, 1, 1);
    }
    return bounds;
}
