#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets a frameless window be dragged by any point of its body that does not take the mouse itself
// (labels and backgrounds do; buttons and edit fields keep their clicks). It filters the widget's
// events without ever consuming one.
class WinMovable : public QObject
{
    Q_OBJECT

public:
    // The filter is owned by the widget and installed on it.
    explicit WinMovable(QWidget* widget);

    static WinMovable* attach(QWidget* widget) { return new WinMovable(widget); }

    // Where a drag moves the widget: the pressed point stays under the cursor.
    static QPoint draggedPosition(const QPoint& widgetPosition, const QPoint& eventPosition,
                                  const QPoint& pressPosition)
    {
        return widgetPosition + eventPosition - pressPosition;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_widget;
    QPoint m_pressPosition;
    bool m_dragging = false;
};
