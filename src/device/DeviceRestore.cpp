#include "device/DeviceRestore.h"

#include "app/JobControl.h"

#include <QFileInfo>
#include <exception>

DeviceRestore::DeviceRestore(PDeviceInfo device, const QDir& root, bool compact)
    : m_device(std::move(device)), m_root(root.absolutePath()), m_compact(compact),
      m_engine(m_device->udid, m_root)
{
}

Backup2Options DeviceRestore::options() const
{
    Backup2Options options(Backup2Options::Restore);
    options.compact = m_compact;
    options.restoreSystemFiles = m_restoreSystemFiles;
    options.password = m_password;
    return options;
}

void DeviceRestore::run(JobControl& control)
{
    control.setStatus(tr("Transferring data to Device..."), 0);
    m_engine.setManifestDbSubstitute(m_manifestDbSubstitute);
    try {
        m_engine.run(options(), control);
    } catch (const std::exception& failure) {
        QDir folder = backupFolder();
        if (QString::fromUtf8(failure.what())
                .contains(QLatin1String("MBErrorDomain/205"), Qt::CaseInsensitive) &&
            QFileInfo::exists(folder.filePath(QStringLiteral("dname.sqlite"))))
            folder.removeRecursively();
        throw;
    }
}
