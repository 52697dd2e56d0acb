#include "render/TabulonView2.h"

#include "doc/TabulonDoc.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The zoom steps of Zoom In and Zoom Out.
constexpr double kZoomSteps[] = {1.0 / 64, 1.0 / 48, 1.0 / 32, 1.0 / 24, 1.0 / 16, 1.0 / 12, 1.0 / 8,
                                 1.0 / 6,  1.0 / 4,  1.0 / 3,  1.0 / 2,  2.0 / 3,  1.0,      1.5,
                                 2.0,      3.0,      4.0,      6.0,      8.0,      12.0,     16.0};

constexpr int kWheelStep = 120; // eighths of a degree: one notch of a common wheel

// A rectangle of picture pixels as the view shows it at `dZoom`: grown to
// whole pixels, so nothing of it is lost.
QRect Zoomed(const QRect& rect, double dZoom) {
    return {QPoint(qFloor(rect.left() * dZoom), qFloor(rect.top() * dZoom)),
            QPoint(qCeil((rect.right() + 1) * dZoom) - 1, qCeil((rect.bottom() + 1) * dZoom) - 1)};
}

// The picture pixels under a rectangle of the view at `dZoom`.
QRect Unzoomed(const QRect& rect, double dZoom) {
    return {QPoint(qFloor(rect.left() / dZoom), qFloor(rect.top() / dZoom)),
            QPoint(qCeil((rect.right() + 1) / dZoom), qCeil((rect.bottom() + 1) / dZoom))};
}

} // namespace

CTabulonView2::CTabulonView2(CTabulonDoc& doc, QWidget* pParent) : QAbstractScrollArea(pParent), CPictureView(doc) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Puzzle picture"));
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateScrollBars();
}

void CTabulonView2::OnInitialUpdate() {
    OnUpdate(0);
    if (!GetRenderer() || !m_doc.GetPuzzle())
        SetScrollSizes(QSize(100, 100));
    viewport()->update();
}

void CTabulonView2::PictureRebuilt() {
    if (GetRenderer()->IsLaidOut())
        SetScrollSizes(GetRenderer()->GetScrollSize());
    else if (!GetRenderer()->GetError().empty())
        SetScrollSizes(QSize(0, 0)); // nothing to scroll: the view says why
    if (m_bFitting)
        ApplyZoom(FittingZoom(), QPointF(), true);
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

// Fitted, the picture is as wide or as high as the view but for rounding:
// no scroll bar may appear then, or its width would shrink the view, refit
// the picture smaller, hide the bar again and so on without end.
void CTabulonView2::UpdateScrollBars() {
    const QSize view = viewport()->size();
    const auto configure = [this](QScrollBar* pBar, int nTotal, int nVisible) {
        pBar->setRange(0, m_bFitting ? 0 : std::max(0, nTotal - nVisible));
        pBar->setPageStep(std::max(1, nTotal / 10));
        pBar->setSingleStep(std::max(1, nTotal / 100));
    };
    configure(horizontalScrollBar(), qCeil(m_scrollRange.width() * m_dZoom), view.width());
    configure(verticalScrollBar(), qCeil(m_scrollRange.height() * m_dZoom), view.height());
}

void CTabulonView2::resizeEvent(QResizeEvent* pEvent) {
    QAbstractScrollArea::resizeEvent(pEvent);
    UpdateScrollBars();
    if (m_bFitting)
        ApplyZoom(FittingZoom(), QPointF(), true);
}

// --- zoom ---

void CTabulonView2::ApplyZoom(double dZoom, QPointF anchor, bool bFitting) {
    dZoom = std::clamp(dZoom, kMinZoom, kMaxZoom);
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QPointF pictureAnchor = (scroll + anchor) / m_dZoom;
    const bool bChanged = dZoom != m_dZoom;
    m_dZoom = dZoom;
    m_bFitting = bFitting;
    UpdateScrollBars();
    const QPointF newScroll = pictureAnchor * m_dZoom - anchor;
    horizontalScrollBar()->setValue(qRound(newScroll.x()));
    verticalScrollBar()->setValue(qRound(newScroll.y()));
    viewport()->update();
    if (bChanged)
        emit zoomChanged(m_dZoom);
}

void CTabulonView2::SetZoom(double dZoom) {
    ApplyZoom(dZoom, QRectF(viewport()->rect()).center(), false);
}

void CTabulonView2::ZoomAround(double dZoom, QPointF anchor) {
    ApplyZoom(dZoom, anchor, false);
}

double CTabulonView2::NextZoomStep(int nDirection) const {
    if (nDirection > 0) {
        const auto* pNext = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), m_dZoom * 1.0001);
        return pNext == std::end(kZoomSteps) ? kMaxZoom : *pNext;
    }
    const auto* pNext = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), m_dZoom * 0.9999);
    return pNext == std::begin(kZoomSteps) ? kMinZoom : *(pNext - 1);
}

void CTabulonView2::ZoomIn() {
    SetZoom(NextZoomStep(+1));
}

void CTabulonView2::ZoomOut() {
    SetZoom(NextZoomStep(-1));
}

void CTabulonView2::ActualSize() {
    SetZoom(1.0);
}

void CTabulonView2::FitToWindow() {
    ApplyZoom(FittingZoom(), QPointF(), true);
}

double CTabulonView2::FittingZoom() const {
    if (m_scrollRange.isEmpty())
        return 1.0;
    const QSize view = viewport()->size();
    return std::min(double(view.width()) / m_scrollRange.width(), double(view.height()) / m_scrollRange.height());
}

// --- input ---

// Ctrl and the wheel zoom around the pointer; Shift and the wheel scroll
// across; the wheel alone scrolls down and up.
void CTabulonView2::wheelEvent(QWheelEvent* pEvent) {
    const int nDelta = pEvent->angleDelta().y();
    if (pEvent->modifiers() & Qt::ControlModifier) {
        m_nWheelZoom += nDelta;
        for (; m_nWheelZoom >= kWheelStep; m_nWheelZoom -= kWheelStep)
            ZoomAround(NextZoomStep(+1), pEvent->position());
        for (; m_nWheelZoom <= -kWheelStep; m_nWheelZoom += kWheelStep)
            ZoomAround(NextZoomStep(-1), pEvent->position());
        pEvent->accept();
        return;
    }
    if ((pEvent->modifiers() & Qt::ShiftModifier) && nDelta != 0) {
        QScrollBar* pBar = horizontalScrollBar();
        const double dLines = double(nDelta) / kWheelStep * QApplication::wheelScrollLines();
        pBar->setValue(pBar->value() - qRound(dLines * pBar->singleStep()));
        pEvent->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(pEvent);
}

// The arrows and Page Up and Down scroll as in any scrolling window; Home
// goes to the picture's top left corner and End to its bottom right.
void CTabulonView2::keyPressEvent(QKeyEvent* pEvent) {
    if (pEvent->key() == Qt::Key_Home || pEvent->key() == Qt::Key_End) {
        const bool bHome = pEvent->key() == Qt::Key_Home;
        for (QScrollBar* pBar : {horizontalScrollBar(), verticalScrollBar()})
            pBar->setValue(bHome ? pBar->minimum() : pBar->maximum());
        pEvent->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(pEvent);
}

// --- painting ---

void CTabulonView2::paintEvent(QPaintEvent* pEvent) {
    // After New the view is blank: the old picture stays (Save ALL as BMP
    // may read it) but belongs to no puzzle.
    if (!GetRenderer() || !m_doc.GetPuzzle())
        return;
    QPainter painter(viewport());
    if (!GetRenderer()->IsLaidOut()) {
        if (!GetRenderer()->GetError().empty())
            PaintMessage(painter, QStringLiteral("This puzzle cannot be shown: %1.")
                                      .arg(QString::fromStdString(GetRenderer()->GetError())));
        return;
    }
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scroll);
    const QRect exposed = pEvent->rect().translated(scroll);
    PaintPicture(painter, exposed);
    if (m_doc.IsDesigning())
        PaintDesignOverlay(painter, exposed);
    FrameCellsThatDiffer(painter, exposed);
}

// `exposed` in view pixels from the picture's corner.
void CTabulonView2::PaintPicture(QPainter& painter, const QRect& exposed) const {
    const CGridRenderer& renderer = *GetRenderer();
    const QRect region = Unzoomed(exposed, m_dZoom).intersected(renderer.GetImage().rect());
    if (region.isEmpty())
        return;
    const double dDeviceScale = m_dZoom * viewport()->devicePixelRatioF();
    painter.save();
    painter.scale(m_dZoom, m_dZoom);
    if (qFuzzyCompare(dDeviceScale, 1.0)) {
        painter.drawImage(region.topLeft(), renderer.GetImage(), region); // the picture itself, pixel for pixel
    } else if (dDeviceScale > 1.0) {
        renderer.PaintShapes(painter, region);
    } else {
        // The picture halved until it is at most twice the size shown, then
        // scaled smoothly the rest of the way: averaging keeps thin lines
        // and small numbers visible as grey instead of dropping them.
        const int nLevel = static_cast<int>(std::floor(std::log2(1.0 / dDeviceScale) + 1e-9));
        const QImage& reduced = renderer.Reduced(nLevel);
        // Each level halves with the odd pixel rounded up: a level pixel
        // covers 2^level picture pixels exactly (fewer levels on a tiny picture).
        const int nMade = qRound(std::log2(double(renderer.GetImage().width()) / reduced.width()));
        const double dFactor = std::ldexp(1.0, nMade);
        painter.scale(dFactor, dFactor);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRect source = Unzoomed(region, dFactor).intersected(reduced.rect());
        painter.drawImage(source.topLeft(), reduced, source);
    }
    painter.restore();
}

void CTabulonView2::PaintMessage(QPainter& painter, const QString& strText) const {
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(12, 12, -12, -12), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     strText);
}

// When a search found two solutions, the cells where they differ are framed
// on the screen only: the picture itself, saved or printed, stays as it is.
// The frames keep their width in view pixels at any zoom.
void CTabulonView2::FrameCellsThatDiffer(QPainter& painter, const QRect& exposed) const {
    const CPuzzle* pPuzzle = m_doc.GetPuzzle();
    if (!pPuzzle || pPuzzle->GetWidth() <= 0)
        return;
    constexpr int kThick = 2; // over the grid lines around the cell
    const QColor frame(kDifferFrame);
    const int nColumns = pPuzzle->GetWidth();
    for (int nCell : m_doc.GetCellsThatDiffer()) {
        const QRect inner = Zoomed(GetRenderer()->CellRect(nCell / nColumns, nCell % nColumns), m_dZoom);
        const QRect outer = inner.adjusted(-kThick, -kThick, kThick, kThick);
        if (!outer.intersects(exposed))
            continue;
        painter.fillRect(outer.left(), outer.top(), outer.width(), kThick, frame);
        painter.fillRect(outer.left(), inner.bottom() + 1, outer.width(), kThick, frame);
        painter.fillRect(outer.left(), inner.top(), kThick, inner.height(), frame);
        painter.fillRect(inner.right() + 1, inner.top(), kThick, inner.height(), frame);
    }
}

// --- design mode ---

void CTabulonView2::SetDesignInput(bool bOn) {
    m_bDesignInput = bOn;
    m_bStroke = false;
    viewport()->setCursor(bOn ? Qt::CrossCursor : Qt::ArrowCursor);
    viewport()->update();
}

QPoint CTabulonView2::CellAt(QPointF viewportPoint) const {
    const CPuzzle* pPuzzle = m_doc.GetPuzzle();
    const CGridRenderer* pRenderer = GetRenderer();
    if (!pPuzzle || !pRenderer || !pRenderer->IsLaidOut())
        return {-1, -1};
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QPointF at = (viewportPoint + scroll) / m_dZoom;
    // A cell's pitch begins at its left and top grid lines: the lines belong
    // to the cell after them.
    const QRect first = pRenderer->CellRect(0, 0), second = pRenderer->CellRect(1, 1);
    const double dPitchX = second.left() - first.left(), dPitchY = second.top() - first.top();
    const int nCol = static_cast<int>(std::floor((at.x() - (pRenderer->GetGridLeft() + 1)) / dPitchX));
    const int nRow = static_cast<int>(std::floor((at.y() - (pRenderer->GetGridTop() + 1)) / dPitchY));
    if (nRow < 0 || nRow >= pPuzzle->GetHeight() || nCol < 0 || nCol >= pPuzzle->GetWidth())
        return {-1, -1};
    return {nCol, nRow};
}

void CTabulonView2::mousePressEvent(QMouseEvent* pEvent) {
    const bool bButton = pEvent->button() == Qt::LeftButton || pEvent->button() == Qt::RightButton;
    const QPoint cell = CellAt(pEvent->position());
    if (!m_bDesignInput || !bButton || m_bStroke || cell.x() < 0) {
        QAbstractScrollArea::mousePressEvent(pEvent);
        return;
    }
    m_bStroke = true;
    m_bStrokeFills = pEvent->button() == Qt::LeftButton;
    m_bLine = pEvent->modifiers() & Qt::ShiftModifier;
    m_strokeStart = m_strokeLast = cell;
    if (!m_bLine)
        emit cellsDrawn({cell}, m_bStrokeFills);
    viewport()->update();
    pEvent->accept();
}

void CTabulonView2::mouseMoveEvent(QMouseEvent* pEvent) {
    if (!m_bStroke) {
        QAbstractScrollArea::mouseMoveEvent(pEvent);
        return;
    }
    const QPoint cell = CellAt(pEvent->position());
    if (cell.x() < 0 || cell == m_strokeLast)
        return;
    if (!m_bLine) { // every cell between the last one and this, so a fast drag leaves no gap
        QList<QPoint> cells;
        for (const auto& [nRow, nCol] : CDesign::LineCells(m_strokeLast.y(), m_strokeLast.x(), cell.y(), cell.x()))
            if (QPoint(nCol, nRow) != m_strokeLast)
                cells.append(QPoint(nCol, nRow));
        emit cellsDrawn(cells, m_bStrokeFills);
    }
    m_strokeLast = cell;
    viewport()->update();
}

void CTabulonView2::mouseReleaseEvent(QMouseEvent* pEvent) {
    const bool bMine = (pEvent->button() == Qt::LeftButton) == m_bStrokeFills;
    if (!m_bStroke || !bMine) {
        QAbstractScrollArea::mouseReleaseEvent(pEvent);
        return;
    }
    m_bStroke = false;
    if (m_bLine) {
        QList<QPoint> cells;
        for (const auto& [nRow, nCol] :
             CDesign::LineCells(m_strokeStart.y(), m_strokeStart.x(), m_strokeLast.y(), m_strokeLast.x()))
            cells.append(QPoint(nCol, nRow));
        emit cellsDrawn(cells, m_bStrokeFills);
    }
    emit strokeEnded();
    viewport()->update();
}

QColor CTabulonView2::VerdictColour(int nKind) {
    switch (static_cast<DesignVerdict::Kind>(nKind)) {
    case DesignVerdict::Kind::LineLogic:
        return QColor(0x2e, 0x9d, 0x3a); // green: fair by reasoning alone
    case DesignVerdict::Kind::Unique:
        return QColor(0xe0, 0xa0, 0x10); // amber: fair, but hard
    case DesignVerdict::Kind::NotUnique:
        return QColor(0xd0, 0x00, 0x00); // red, as the frames of the cells that differ
    default:
        return QColor(0x90, 0x90, 0x90); // grey: not known
    }
}

// On the screen only: the cells line logic leaves undecided shaded, a band
// in the verdict's colour around the grid, and the line a Shift-drag draws.
void CTabulonView2::PaintDesignOverlay(QPainter& painter, const QRect& exposed) const {
    const CPuzzle* pPuzzle = m_doc.GetPuzzle();
    const CGridRenderer* pRenderer = GetRenderer();
    const DesignVerdict& verdict = m_doc.GetDesignVerdict();
    const int nRows = pPuzzle->GetHeight(), nCols = pPuzzle->GetWidth();
    if (nRows <= 0 || nCols <= 0)
        return;
    const QColor shade(0x60, 0x80, 0xc0, 90);
    if (verdict.lineCells.size() == static_cast<size_t>(nRows) * static_cast<size_t>(nCols)) {
        for (int r = 0; r < nRows; ++r)
            for (int c = 0; c < nCols; ++c)
                if (verdict.lineCells[static_cast<size_t>(r) * nCols + c] == CELL_UNKNOWN) {
                    const QRect cell = Zoomed(pRenderer->CellRect(r, c), m_dZoom);
                    if (cell.intersects(exposed))
                        painter.fillRect(cell, shade);
                }
    }
    const QRect grid = Zoomed(pRenderer->CellRect(0, 0).united(pRenderer->CellRect(nRows - 1, nCols - 1)), m_dZoom)
                           .adjusted(-6, -6, 6, 6);
    painter.save();
    painter.setPen(QPen(VerdictColour(static_cast<int>(verdict.kind)), 4));
    painter.drawRect(grid);
    if (m_bStroke && m_bLine) {
        painter.setPen(QPen(QColor(0x20, 0x60, 0xd0), 2));
        const QRect from = Zoomed(pRenderer->CellRect(m_strokeStart.y(), m_strokeStart.x()), m_dZoom);
        const QRect to = Zoomed(pRenderer->CellRect(m_strokeLast.y(), m_strokeLast.x()), m_dZoom);
        painter.drawLine(from.center(), to.center());
    }
    painter.restore();
}

// --- printing ---

void CTabulonView2::Print(QPrinter& printer) {
    Print(printer, PrintSize::PrinterDots);
}

void CTabulonView2::Print(QPrinter& printer, PrintSize size) {
    std::string strError;
    if (!PrintPicture(printer, GetRenderer(), size, strError))
        m_doc.ReportError(strError);
}
