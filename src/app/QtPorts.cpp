#include "app/QtPorts.h"

#include <QCoreApplication>
#include <QEventLoop>

void CQtEventWait::AfterProgressUpdate() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
