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

  signals:
    void zoomChanged(double dZoom);

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void RedrawNow() override;
    void PictureRebuilt() override;

  private:
    void PaintPicture(QPainter& painter, const QRect& exposed) const;
    void PaintMessage(QPainter& painter, const QString& strText) const;
    void FrameCellsThatDiffer(QPainter& painter, const QRect& exposed) const;
    void SetScrollSizes(QSize total);
    void UpdateScrollBars();
    void ApplyZoom(double dZoom, QPointF anchor, bool bFitting);
    double FittingZoom() const;
    double NextZoomStep(int nDirection) const;

    QSize m_scrollRange{100, 100};
    double m_dZoom = 1.0;
    bool m_bFitting = false;
    int m_nWheelZoom = 0; // wheel turns toward the next zoom step, in eighths of a degree
};
