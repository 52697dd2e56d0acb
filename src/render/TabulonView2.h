#pragma once

#include "render/PictureView.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRgb>

class QPrinter;

// The grid view: a scrolling window that shows the document's picture. It
// rebuilds, clears and paints the picture through the update hints and
// repaints at once, also while the solver runs on the window's thread.
class CTabulonView2 : public QAbstractScrollArea, public CPictureView {
    Q_OBJECT
  public:
    CTabulonView2(CTabulonDoc& doc, QWidget* pParent = nullptr);

    // Hint 0 (after every New and Open): before a picture is laid out the
    // scroll range is 100 x 100.
    void OnInitialUpdate();
    // Prints the picture one printer pixel per picture pixel, its corner half
    // an inch from the paper's corner, or at the printable corner when the
    // printer's own margin is wider.
    void Print(QPrinter& printer);
    QSize GetScrollRange() const { return m_scrollRange; }

    // Where the picture's corner goes on a page: half an inch, or the
    // unprintable margin when that is wider (all in device pixels).
    static QPoint PrintOrigin(int nDpiX, int nDpiY, int nMarginX, int nMarginY);

    // The frame drawn around each cell where the two solutions a search
    // found differ.
    static constexpr QRgb kDifferFrame = 0xffd00000;

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void RedrawNow() override;
    void PictureRebuilt() override;

  private:
    void FrameCellsThatDiffer(QPainter& painter, const QRect& exposed) const;
    void SetScrollSizes(QSize total);
    void UpdateScrollBars();

    QSize m_scrollRange{100, 100};
};
