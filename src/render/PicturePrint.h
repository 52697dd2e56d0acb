#pragma once

#include <QMarginsF>
#include <QPoint>
#include <QSize>

#include <string>

class CGridRenderer;
class QPrinter;

// How large the picture prints.
enum class PrintSize {
    AsOnScreen,  // a picture pixel is 1/96 inch, as on a screen at 100 %; over as many pages as it needs
    FitToPage,   // as large as the printable part of one page holds, the sides in proportion
    PrinterDots, // a picture pixel is a printer dot: tiny on a fine printer, but every pixel exact
};

inline constexpr PrintSize kPrintSizes[] = {PrintSize::AsOnScreen, PrintSize::FitToPage, PrintSize::PrinterDots};
const char* PrintSizeText(PrintSize size);

// Where the picture goes on the pages: its corner half an inch from the
// paper's (or at the printable corner when the printer's own margin is
// wider), the pages cut from it left to right, then top to bottom.
struct PrintPlan {
    QPoint origin;      // the picture's corner on every page, in printer dots
    QSize area;         // the part of a page the picture may cover, from the origin
    double dScaleX = 1; // printer dots per picture pixel
    double dScaleY = 1;
    int nColumns = 1; // pages across
    int nRows = 1;    // pages down
    int PageCount() const { return nColumns * nRows; }
};

// The picture's corner on a page: half an inch from the paper's (truncated
// toward zero), or the unprintable margin when that is wider; all in dots.
QPoint PrintOrigin(int nDpiX, int nDpiY, int nMarginX, int nMarginY);

// The plan for a picture of `picture` pixels on paper of `paper` dots at
// nDpiX x nDpiY, with the printer's unprintable margins in dots.
PrintPlan PlanPrint(QSize picture, QSize paper, int nDpiX, int nDpiY, const QMarginsF& minimum, PrintSize size);
PrintPlan PlanPrint(QSize picture, QPrinter& printer, PrintSize size);

// Prints the picture on `printer` (its page range, when one is set).
// False, with the reason, when the printer could not be started.
bool PrintPicture(QPrinter& printer, const CGridRenderer* pRenderer, PrintSize size, std::string& strError);
