#include "platform/PairingRecords.h"

#include <QDir>
#include <QFile>

#include <shlobj.h>
#include <windows.h>

void deletePairingRecord(const QString& udid)
{
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE))
        return;
    const QString lockdown = QDir(QString::fromWCharArray(folder)).filePath(QStringLiteral("Apple/Lockdown"));
    QFile::remove(QDir(lockdown).filePath(udid + QStringLiteral(".plist")));
}
