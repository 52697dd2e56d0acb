#include "render/TabulonView2.h"

#include "doc/TabulonDoc.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

CTabulonView2::CTabulonView2(CTabulonDoc& doc, QWidget* pParent) : QAbstractScrollArea(pParent), CPictureView(doc) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateScrollBars();
}

void CTabulonView2::OnInitialUpdate() {
    OnUpdate(0);
    if (!GetRenderer() || !m_doc.GetPuzzle())
        SetScrollSizes(QSize(100, 100));
}

void CTabulonView2::PictureRebuilt() {
    if (GetRenderer()->IsLaidOut())
        SetScrollSizes(GetRenderer()->GetScrollSize());
    viewport()->update();
}

void CTabulonView2::RedrawNow() {
    viewport()->repaint();
}

// A page of scrolling is a tenth of the range, a line a tenth of a page.
void CTabulonView2::SetScrollSizes(QSize total) {
    m_scrollRange = total;
    UpdateScrollBars();
}

void CTabulonView2::UpdateScrollBars() {
    const QSize view = viewport()->size();
    const auto configure = [](QScrollBar* pBar, int nTotal, int nVisible) {
        pBar->setRange(0, std::max(0, nTotal - nVisible));
        pBar->setPageStep(std::max(1, nTotal / 10));
        pBar->setSingleStep(std::max(1, nTotal / 100));
    };
    configure(horizontalScrollBar(), m_scrollRange.width(), view.width());
    configure(verticalScrollBar(), m_scrollRange.height(), view.height());
}

void CTabulonView2::resizeEvent(QResizeEvent* pEvent) {
    QAbstractScrollArea::resizeEvent(pEvent);
    UpdateScrollBars();
}

// A repaint only copies the finished picture, shifted by the scroll position.
void CTabulonView2::paintEvent(QPaintEvent* pEvent) {
    if (!GetRenderer() || !GetRenderer()->IsLaidOut())
        return;
    QPainter painter(viewport());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scroll);
    GetRenderer()->Paint(painter);
    FrameCellsThatDiffer(painter, pEvent->rect().translated(scroll));
}

// When a search found two solutions, the cells where they differ are framed
// on the screen only: the picture itself, saved or printed, stays as it is.
void CTabulonView2::FrameCellsThatDiffer(QPainter& painter, const QRect& exposed) const {
    const CPuzzle* pPuzzle = m_doc.GetPuzzle();
    if (!pPuzzle || pPuzzle->GetWidth() <= 0)
        return;
    constexpr int kThick = 2; // over the grid lines around the cell
    const QColor frame(kDifferFrame);
    const int nColumns = pPuzzle->GetWidth();
    for (int nCell : m_doc.GetCellsThatDiffer()) {
        const QRect inner = GetRenderer()->CellRect(nCell / nColumns, nCell % nColumns);
        const QRect outer = inner.adjusted(-kThick, -kThick, kThick, kThick);
        if (!outer.intersects(exposed))
            continue;
        painter.fillRect(outer.left(), outer.top(), outer.width(), kThick, frame);
        painter.fillRect(outer.left(), inner.bottom() + 1, outer.width(), kThick, frame);
        painter.fillRect(outer.left(), inner.top(), kThick, inner.height(), frame);
        painter.fillRect(inner.right() + 1, inner.top(), kThick, inner.height(), frame);
    }
}

QPoint CTabulonView2::PrintOrigin(int nDpiX, int nDpiY, int nMarginX, int nMarginY) {
    return {std::max(nDpiX / 2, nMarginX), std::max(nDpiY / 2, nMarginY)};
}

void CTabulonView2::Print(QPrinter& printer) {
    // Coordinates from the paper's corner, so the half inch is measured from
    // the paper; the printer's unprintable margin is its minimum margin.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_doc.ReportError("Cannot print: the printer could not be started.");
        return;
    }
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    const QMarginsF margins = layout.minimumMargins();
    const int nDpiX = printer.logicalDpiX(), nDpiY = printer.logicalDpiY();
    painter.translate(PrintOrigin(nDpiX, nDpiY, static_cast<int>(margins.left() * nDpiX / 72.0),
                                  static_cast<int>(margins.top() * nDpiY / 72.0)));
    if (GetRenderer())
        GetRenderer()->Paint(painter);
}
