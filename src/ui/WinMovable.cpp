#include "ui/WinMovable.h"

#include <QMouseEvent>
#include <QWidget>

WinMovable::WinMovable(QWidget* widget) : QObject(widget), m_widget(widget)
{
    widget->installEventFilter(this);
}

bool WinMovable::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_widget)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_pressPosition = mouse->position().toPoint();
        m_dragging = mouse->button() == Qt::LeftButton;
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A press exactly on the corner counts as no press at all, as it always has.
        if (m_dragging && !m_pressPosition.isNull())
            m_widget->move(draggedPosition(m_widget->pos(), mouse->position().toPoint(), m_pressPosition));
        break;
    }
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
    return false;
}
