#pragma once

#include "render/PicturePrint.h"

#include <QSize>

#include <functional>

class QPrinter;
class QWidget;

// The print dialog and Print Preview with a "Picture size" choice. The
// dialog knows how many pages the choice makes; the preview redraws when it
// changes. `size` holds the choice in and out.
bool ExecPrintDialog(QWidget* pParent, QPrinter& printer, PrintSize& size, QSize picture);
void ExecPrintPreview(QWidget* pParent, QPrinter& printer, PrintSize& size,
                      const std::function<void(QPrinter&, PrintSize)>& fnPrint);
