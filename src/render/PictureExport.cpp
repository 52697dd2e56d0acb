#include "render/PictureExport.h"

#include "io/BmpFile.h"
#include "render/GridRenderer.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QtMath>

namespace {

constexpr int kScreenDpi = 96; // a picture pixel in the vector formats

bool EncodeBmp(const CGridRenderer& renderer, std::string& strBytes, std::string& strError) {
    int nWidth = 0, nHeight = 0;
    std::vector<uint8_t> pixels;
    if (!renderer.GetPixels(nWidth, nHeight, pixels, strError))
        return false;
    strBytes = EncodeBmp24(nWidth, nHeight, pixels);
    return true;
}

bool EncodePng(const CGridRenderer& renderer, QBuffer& buffer, std::string& strError) {
    QImageWriter writer(&buffer, "png");
    if (writer.write(renderer.GetImage()))
        return true;
    strError = "cannot encode the picture as PNG: " + writer.errorString().toStdString();
    return false;
}

void DrawShapes(QPaintDevice& device, const CGridRenderer& renderer) {
    QPainter painter(&device);
    renderer.PaintShapes(painter, renderer.GetImage().rect());
}

void EncodeSvg(const CGridRenderer& renderer, QBuffer& buffer) {
    const QSize size = renderer.GetImage().size();
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(kScreenDpi);
    generator.setTitle(QStringLiteral("Tabulon puzzle"));
    DrawShapes(generator, renderer);
}

void EncodePdf(const CGridRenderer& renderer, QBuffer& buffer) {
    const QSize size = renderer.GetImage().size();
    QPdfWriter writer(&buffer);
    writer.setResolution(kScreenDpi);
    // PDF pages are whole points: rounded up, so nothing of the picture is
    // cut (a white sliver of under a point may remain at the right and bottom).
    const QSize points(qCeil(size.width() * 72.0 / kScreenDpi), qCeil(size.height() * 72.0 / kScreenDpi));
    writer.setPageSize(QPageSize(points, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Tabulon"));
    DrawShapes(writer, renderer);
}

} // namespace

bool EncodePicture(const CGridRenderer& renderer, PictureFormat format, std::string& strBytes, std::string& strError) {
    if (!renderer.GetError().empty()) { // the puzzle could not be drawn: its picture does not exist
        strError = renderer.GetError();
        return false;
    }
    if (format == PictureFormat::Bmp)
        return EncodeBmp(renderer, strBytes, strError);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case PictureFormat::Png:
        if (!EncodePng(renderer, buffer, strError))
            return false;
        break;
    case PictureFormat::Svg:
        EncodeSvg(renderer, buffer);
        break;
    case PictureFormat::Pdf:
        EncodePdf(renderer, buffer);
        break;
    case PictureFormat::Bmp:
        break;
    }
    strBytes.assign(buffer.data().constData(), static_cast<size_t>(buffer.data().size()));
    return true;
}

SaveResult ExportPicture(const CGridRenderer& renderer, const std::string& strPath, PictureFormat format) {
    std::string strBytes, strError;
    if (!EncodePicture(renderer, format, strBytes, strError))
        return SaveResult{false, "cannot write " + strPath + ": " + strError};
    return WriteFileAtomically(strPath, strBytes);
}
