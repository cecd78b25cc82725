#include "ui/MainWindow.h"

#include "app/StyleSheet.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(tr("Ferrowyn"));
    setStyleSheet(appStyleSheet());
    resize(1024, 700);
}
