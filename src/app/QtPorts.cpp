#include "app/QtPorts.h"

#include "doc/TabulonDoc.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>

void CQtEventWait::AfterProgressUpdate() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CQtEventWait::LetInputThrough() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

CEscapeStopsSolve::CEscapeStopsSolve(CTabulonDoc& doc) : m_doc(doc) {
    QCoreApplication::instance()->installEventFilter(this);
}

CEscapeStopsSolve::~CEscapeStopsSolve() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool CEscapeStopsSolve::eventFilter(QObject*, QEvent* pEvent) {
    if (pEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape &&
        !QApplication::activePopupWidget())
        m_doc.RequestStop();
    return false;
}
