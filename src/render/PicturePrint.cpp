#include "render/PicturePrint.h"

#include "render/GridRenderer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

const char* PrintSizeText(PrintSize size) {
    switch (size) {
    case PrintSize::AsOnScreen:
        return "As on screen";
    case PrintSize::FitToPage:
        return "Fit to page";
    case PrintSize::PrinterDots:
        break;
    }
    return "One printer dot per pixel";
}

QPoint PrintOrigin(int nDpiX, int nDpiY, int nMarginX, int nMarginY) {
    return {std::max(nDpiX / 2, nMarginX), std::max(nDpiY / 2, nMarginY)};
}

PrintPlan PlanPrint(QSize picture, QSize paper, int nDpiX, int nDpiY, const QMarginsF& minimum, PrintSize size) {
    PrintPlan plan;
    plan.origin = PrintOrigin(nDpiX, nDpiY, static_cast<int>(minimum.left()), static_cast<int>(minimum.top()));
    const int nRight = std::max(nDpiX / 2, static_cast<int>(std::ceil(minimum.right())));
    const int nBottom = std::max(nDpiY / 2, static_cast<int>(std::ceil(minimum.bottom())));
    plan.area = QSize(std::max(paper.width() - plan.origin.x() - nRight, 1),
                      std::max(paper.height() - plan.origin.y() - nBottom, 1));
    const int nWidth = std::max(picture.width(), 1), nHeight = std::max(picture.height(), 1);
    switch (size) {
    case PrintSize::AsOnScreen:
        plan.dScaleX = nDpiX / 96.0;
        plan.dScaleY = nDpiY / 96.0;
        plan.nColumns = static_cast<int>(std::ceil(nWidth * plan.dScaleX / plan.area.width() - 1e-9));
        plan.nRows = static_cast<int>(std::ceil(nHeight * plan.dScaleY / plan.area.height() - 1e-9));
        plan.nColumns = std::max(plan.nColumns, 1);
        plan.nRows = std::max(plan.nRows, 1);
        break;
    case PrintSize::FitToPage: {
        // In inches, so that a printer with unequal resolutions keeps the proportions.
        const double dInches =
            std::min(plan.area.width() / double(nDpiX) / nWidth, plan.area.height() / double(nDpiY) / nHeight);
        plan.dScaleX = dInches * nDpiX;
        plan.dScaleY = dInches * nDpiY;
        break;
    }
    case PrintSize::PrinterDots:
        break; // one page, cut at the paper's edge as it falls
    }
    return plan;
}

PrintPlan PlanPrint(QSize picture, QPrinter& printer, PrintSize size) {
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    const QMarginsF margins = layout.minimumMargins();
    const int nDpiX = printer.logicalDpiX(), nDpiY = printer.logicalDpiY();
    const QMarginsF dots(margins.left() * nDpiX / 72.0, margins.top() * nDpiY / 72.0, margins.right() * nDpiX / 72.0,
                         margins.bottom() * nDpiY / 72.0);
    const QSize paper = printer.paperRect(QPrinter::DevicePixel).size().toSize();
    return PlanPrint(picture, paper, nDpiX, nDpiY, dots, size);
}

namespace {

void PrintPage(QPainter& painter, const CGridRenderer& renderer, const PrintPlan& plan, PrintSize size, int nPage) {
    const int nColumn = nPage % plan.nColumns, nRow = nPage / plan.nColumns;
    painter.save();
    painter.translate(plan.origin);
    if (size != PrintSize::PrinterDots) // the specified printing lets the paper's edge cut the picture
        painter.setClipRect(QRect(QPoint(0, 0), plan.area));
    painter.translate(-nColumn * plan.area.width(), -nRow * plan.area.height());
    painter.scale(plan.dScaleX, plan.dScaleY);
    if (size == PrintSize::PrinterDots) {
        renderer.Paint(painter);
    } else {
        // The part of the picture this page shows, a pixel more on each side.
        const QRect part(static_cast<int>(nColumn * plan.area.width() / plan.dScaleX) - 1,
                         static_cast<int>(nRow * plan.area.height() / plan.dScaleY) - 1,
                         static_cast<int>(plan.area.width() / plan.dScaleX) + 3,
                         static_cast<int>(plan.area.height() / plan.dScaleY) + 3);
        renderer.PaintShapes(painter, part.intersected(renderer.GetImage().rect()));
    }
    painter.restore();
}

} // namespace

bool PrintPicture(QPrinter& printer, const CGridRenderer* pRenderer, PrintSize size, std::string& strError) {
    // Coordinates from the paper's corner, so the half inch is measured from
    // the paper; the printer's unprintable margin is its minimum margin.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        strError = "Cannot print: the printer could not be started.";
        return false;
    }
    if (!pRenderer)
        return true;
    const PrintPlan plan = PlanPrint(pRenderer->GetImage().size(), printer, size);
    int nFirst = 1, nLast = plan.PageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        nFirst = std::max(printer.fromPage(), 1);
        nLast = std::min(printer.toPage() > 0 ? printer.toPage() : nLast, nLast);
    }
    for (int nPage = nFirst; nPage <= nLast; ++nPage) {
        if (nPage > nFirst)
            printer.newPage();
        PrintPage(painter, *pRenderer, plan, size, nPage - 1);
    }
    return true;
}
