#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Asks the user for the paths the window's actions write to. The program shows file dialogs; a test
// gives the answers itself (a dialog answered from a timer races with its own start-up).
class WindowFileChooser
{
public:
    virtual ~WindowFileChooser() = default;

    // A file to save: its path and the filter chosen (one of filters); an empty path when cancelled.
    struct Choice
    {
        QString path;
        QString filter;
    };
    virtual Choice saveFile(QWidget* parent, const QString& title, const QString& start,
                            const QStringList& filters);
    // An existing folder; empty when cancelled.
    virtual QString folder(QWidget* parent, const QString& title, const QString& start);
};
