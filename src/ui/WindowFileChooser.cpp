#include "ui/WindowFileChooser.h"

#include <QFileDialog>

WindowFileChooser::Choice WindowFileChooser::saveFile(QWidget* parent, const QString& title,
                                                      const QString& start, const QStringList& filters)
{
    QFileDialog chooser(parent, title, start);
    chooser.setObjectName(QStringLiteral("exportFileDialog"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setNameFilters(filters);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return {chooser.selectedFiles().first(), chooser.selectedNameFilter()};
}

QString WindowFileChooser::folder(QWidget* parent, const QString& title, const QString& start)
{
    QFileDialog chooser(parent, title, start);
    chooser.setObjectName(QStringLiteral("extractFolderDialog"));
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().first();
}
