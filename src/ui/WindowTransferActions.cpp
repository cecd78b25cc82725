#include "ui/WindowTransferActions.h"

#include "app/FolderUtils.h"
#include "device/DeviceInfo.h"
#include "jobs/BackupLineLoad.h"
#include "ui/LoadItunesBackupDlg.h"
#include "ui/LocalDbSelForm.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowTransferDialogs.h"

#include <QScopeGuard>

WindowTransferActions::WindowTransferActions(QWidget* parent, QHash<QString, QString>& passwords)
    : m_parent(parent), m_passwords(passwords)
{
}

bool WindowTransferActions::toDevice(const LineTransferSource& source, const QList<DataSourceEntry>& targets)
{
    QList<DataSourceEntry> offered;
    for (const DataSourceEntry& target : targets)
        if (target.id != source.udid)
            offered << target;
    if (offered.isEmpty()) {
        showTips(tr("Attach the iPhone the messages should go to, then try again."), m_parent);
        return false;
    }
    const std::optional<DataSourceEntry> target =
        DataSourceSelForm::choose(tr("IDS_SEL_ONE_IOS_DEVICE"), offered, m_parent);
    if (!target)
        return false;
    WindowTransferDialogs dialogs(m_parent, m_passwords);
    LineTransferFlow flow(dialogs);
    return flow.transferToDevice(source, target->id) == LineTransferFlow::Result::Done;
}

bool WindowTransferActions::toBackup(const LineTransferSource& source)
{
    LoadItunesBackupDlg chooser(m_parent);
    if (chooser.exec() != QDialog::Accepted || !chooser.selectedBackup())
        return false;
    const QString folder = chooser.selectedBackup()->path();
    WindowTransferDialogs dialogs(m_parent, m_passwords);
    LineTransferFlow flow(dialogs);
    return flow.exportToBackup(source, folder) == LineTransferFlow::Result::Done;
}

QString WindowTransferActions::importBackup(const QString& defaultName, const QStringList& localDbNames)
{
    LoadItunesBackupDlg chooser(m_parent);
    if (chooser.exec() != QDialog::Accepted || !chooser.selectedBackup())
        return {};
    const PBackupManifest backup = chooser.selectedBackup();
    const QString proposed =
        defaultName.isEmpty() ? backup->deviceName() + QStringLiteral("_Backup") : defaultName;
    const QString name = LocalDbSelForm::choose(localDbNames, proposed, m_parent).trimmed();
    if (name.isEmpty())
        return {};
    // The decrypted mirror of LINE's data is only needed until its messages are in the local database.
    const QString mirror = deviceCacheDir(*BackupLineLoad::virtualDevice(*backup)).path();
    const auto removeMirror = qScopeGuard([&mirror] { removeTree(mirror); });
    WindowTransferDialogs dialogs(m_parent, m_passwords);
    LineTransferFlow flow(dialogs);
    if (flow.importFromBackup(backup->path(), name) != LineTransferFlow::Result::Done)
        return {};
    return name;
}
