#include "joblistgate.h"

#include <QApplication>
#include <QEvent>

JobListGate::Hold::Hold(JobListGate& gate, bool blockInput)
    : m_gate(gate), m_blockInput(blockInput) {
    ++m_gate.m_depth;
    if (m_blockInput && m_gate.m_blocking++ == 0) {
        qApp->installEventFilter(&m_gate);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

JobListGate::Hold::~Hold() {
    --m_gate.m_depth;
    if (m_blockInput && --m_gate.m_blocking == 0) {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(&m_gate);
    }
}

bool JobListGate::Guards(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    for (const QPointer<QWidget>& window : m_windows)
        if (window && widget && (widget == window || window->isAncestorOf(widget)))
            return true;
    return false;
}

bool JobListGate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return Guards(watched);
    default:
        return false;
    }
}
