#pragma once

#include "render/PicturePrint.h"
#include "render/PictureView.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRgb>

class QPrinter;

// The grid view: a scrolling window that shows the document's picture. It
// rebuilds, clears and paints the picture through the update hints and
// repaints at once, also while the solver runs on the window's thread.
//
// Zoom changes only how the picture is shown, never the picture: at 100 %
// on a screen of one device pixel per pixel the picture is copied as it
// is; larger (zoomed in, or on a high-density screen) it is drawn as
// shapes at the screen's resolution; smaller it is averaged down.
class CTabulonView2 : public QAbstractScrollArea, public CPictureView {
    Q_OBJECT
  public:
    CTabulonView2(CTabulonDoc& doc, QWidget* pParent = nullptr);

    // Hint 0 (after every New and Open): before a picture is laid out the
    // scroll range is 100 x 100, and without a puzzle the view is blank.
    void OnInitialUpdate();
    // Prints the picture one printer pixel per picture pixel, its corner half
    // an inch from the paper's corner, or at the printable corner when the
    // printer's own margin is wider.
    void Print(QPrinter& printer);
    void Print(QPrinter& printer, PrintSize size);
    // The scroll range of the picture at 100 %.
    QSize GetScrollRange() const { return m_scrollRange; }

    static QPoint PrintOrigin(int nDpiX, int nDpiY, int nMarginX, int nMarginY) {
        return ::PrintOrigin(nDpiX, nDpiY, nMarginX, nMarginY);
    }

    // --- zoom: 1 is 100 % ---
    double GetZoom() const { return m_dZoom; }
    bool IsFitting() const { return m_bFitting; }
    // Keeps the picture's point at the middle of the view where it is.
    void SetZoom(double dZoom);
    // Keeps the picture's point under `anchor` (viewport pixels) where it is.
    void ZoomAround(double dZoom, QPointF anchor);
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    // The whole picture in the view; it stays so as the view changes size,
    // until another zoom is chosen.
    void FitToWindow();
    static constexpr double kMinZoom = 1.0 / 64;
    static constexpr double kMaxZoom = 16.0;

    // The frame drawn around each cell where the two solutions a search
    // found differ.
    static constexpr QRgb kDifferFrame = 0xffd00000;

    // --- design mode: the grid is the picture being drawn ---
    // The mouse draws: the left button fills cells, the right one empties
    // them, a drag goes on along the pointer's path, and with Shift a drag
    // draws a straight line from where it began. The view only reports the
    // cells; what they mean is the editor's business.
    void SetDesignInput(bool bOn);
    // The cell under a point of the viewport, or (-1, -1).
    QPoint CellAt(QPointF viewportPoint) const;
    // The verdict band's colours: line logic, unique, not unique, not checked or stopped.
    static QColor VerdictColour(int nKind);

  signals:
    void zoomChanged(double dZoom);
    // Cells (x column, y row) the user drew with one button: filled or emptied.
    void cellsDrawn(const QList<QPoint>& cells, bool bFill);
    // The button went up: what was drawn since it went down is one edit.
    void strokeEnded();

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void RedrawNow() override;
    void PictureRebuilt() override;

  private:
    void PaintPicture(QPainter& painter, const QRect& exposed) const;
    void PaintMessage(QPainter& painter, const QString& strText) const;
    void FrameCellsThatDiffer(QPainter& painter, const QRect& exposed) const;
    void PaintDesignOverlay(QPainter& painter, const QRect& exposed) const;
    void SetScrollSizes(QSize total);
    void UpdateScrollBars();
    void ApplyZoom(double dZoom, QPointF anchor, bool bFitting);
    double FittingZoom() const;
    double NextZoomStep(int nDirection) const;

    QSize m_scrollRange{100, 100};
    double m_dZoom = 1.0;
    bool m_bFitting = false;
    int m_nWheelZoom = 0; // wheel turns toward the next zoom step, in eighths of a degree

    // Design input: the stroke under way.
    bool m_bDesignInput = false;
    bool m_bStroke = false;
    bool m_bStrokeFills = false;
    bool m_bLine = false;         // Shift: a straight line from m_strokeStart
    QPoint m_strokeStart{-1, -1}; // (column, row)
    QPoint m_strokeLast{-1, -1};
};
