#include "ui/MyTreeView.h"
#include "ui/WinMovable.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <gtest/gtest.h>

namespace {
void sendMouse(QWidget& widget, QEvent::Type type, const QPoint& position, Qt::MouseButton button)
{
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(position), widget.mapToGlobal(QPointF(position)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}
} // namespace

TEST(WinMovableTest, DraggedPositionKeepsThePressedPointUnderTheCursor)
{
    EXPECT_EQ(WinMovable::draggedPosition({100, 100}, {30, 25}, {10, 10}), QPoint(120, 115));
    EXPECT_EQ(WinMovable::draggedPosition({100, 100}, {-5, 0}, {10, 10}), QPoint(85, 90));
}

TEST(WinMovableTest, LeftButtonDragMovesTheWindow)
{
    QWidget window;
    window.resize(200, 150);
    window.move(100, 100);
    WinMovable::attach(&window);
    const QPoint start = window.pos();

    sendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    sendMouse(window, QEvent::MouseMove, {30, 25}, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(20, 15));

    sendMouse(window, QEvent::MouseButtonRelease, {30, 25}, Qt::LeftButton);
    sendMouse(window, QEvent::MouseMove, {60, 60}, Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(20, 15)); // released: no more moving
}

TEST(WinMovableTest, DragsThroughChildrenThatIgnoreTheMouse)
{
    QWidget window;
    window.resize(200, 150);
    window.move(50, 50);
    auto* label = new QLabel(QStringLiteral("drag me"), &window);
    label->setGeometry(20, 20, 100, 30);
    WinMovable::attach(&window);
    window.show();
    const QPoint start = window.pos();
    // the label does not take the press: it reaches the window in the window's coordinates
    sendMouse(*label, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    sendMouse(*label, QEvent::MouseMove, {15, 5}, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(10, 0));
}

TEST(WinMovableTest, OtherButtonsAndACornerPressDoNotDrag)
{
    QWidget window;
    window.move(100, 100);
    WinMovable::attach(&window);
    const QPoint start = window.pos();
    sendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
    sendMouse(window, QEvent::MouseMove, {40, 40}, Qt::RightButton);
    EXPECT_EQ(window.pos(), start);
    sendMouse(window, QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton);
    sendMouse(window, QEvent::MouseMove, {40, 40}, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start);
}

TEST(MyTreeViewTest, ReportsSelectionChangesAndContextMenuRequests)
{
    QStandardItemModel model;
    model.appendRow(new QStandardItem(QStringLiteral("one")));
    model.appendRow(new QStandardItem(QStringLiteral("two")));
    MyTreeView view;
    view.setModel(&model);
    QSignalSpy selections(&view, &MyTreeView::onSelectionChanged);
    QSignalSpy menus(&view, &MyTreeView::createContextMenu);

    view.selectionModel()->select(model.index(1, 0), QItemSelectionModel::ClearAndSelect);
    ASSERT_EQ(selections.count(), 1);
    const auto selected = selections.at(0).at(0).value<QItemSelection>();
    EXPECT_TRUE(selected.contains(model.index(1, 0)));
    EXPECT_TRUE(view.selectionModel()->isSelected(model.index(1, 0))); // the base class still did its part

    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            view.viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view.viewport(), &event);
    EXPECT_EQ(menus.count(), 1);
}
