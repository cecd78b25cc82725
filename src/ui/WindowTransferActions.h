#pragma once

#include "jobs/LineTransferFlow.h"
#include "ui/DataSourceSelForm.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QStringList>

class QWidget;

// The window's transfers: each asks what only the window knows (the target iPhone, the target backup,
// the local database's name) and then runs the flow of LineTransferFlow with the window's dialogs.
class WindowTransferActions
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // passwords: the window's remembered backup passwords, by backup folder.
    WindowTransferActions(QWidget* parent, QHash<QString, QString>& passwords);

    // Merges the messages into the iPhone the user picks among targets (the source's own iPhone is left
    // out). True when the transfer was done.
    bool toDevice(const LineTransferSource& source, const QList<DataSourceEntry>& targets);
    // Merges the messages into the iTunes backup the user picks. True when done.
    bool toBackup(const LineTransferSource& source);
    // Backs an iTunes backup's LINE messages up into a local database: the user picks the backup and the
    // database's name (proposed: defaultName, else the backup's device name + "_Backup"). The name of
    // the local database written, or empty when nothing was written.
    QString importBackup(const QString& defaultName, const QStringList& localDbNames);

private:
    QWidget* m_parent;
    QHash<QString, QString>& m_passwords;
};
