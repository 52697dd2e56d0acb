#include "support/PdfPages.h"
#include "support/Programs.h"

#include <QDir>
#include <QTemporaryDir>

std::vector<QImage> RenderPdfPages(const std::string& strPdf, int nDpi, const QRect& crop) {
    QTemporaryDir folder;
    std::vector<std::string> arguments = {"-r", std::to_string(nDpi), "-gray", "-png"};
    if (!crop.isNull())
        arguments.insert(arguments.end(), {"-x", std::to_string(crop.x()), "-y", std::to_string(crop.y()), "-W",
                                           std::to_string(crop.width()), "-H", std::to_string(crop.height())});
    arguments.insert(arguments.end(), {strPdf, folder.filePath(QStringLiteral("page")).toStdString()});
    std::vector<QImage> pages;
    if (RunProgram("pdftoppm", arguments) != 0)
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
