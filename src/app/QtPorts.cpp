#include "app/QtPorts.h"

#include "doc/TabulonDoc.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>

void CQtEventWait::AfterProgressUpdate() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

CSolveInputGuard::CSolveInputGuard(CTabulonDoc& doc) : m_doc(doc) {
    QCoreApplication::instance()->installEventFilter(this);
}

CSolveInputGuard::~CSolveInputGuard() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool CSolveInputGuard::eventFilter(QObject*, QEvent* pEvent) {
    switch (pEvent->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape)
            m_doc.RequestStop();
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}
