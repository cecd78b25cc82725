#include "platform/FixedDrives.h"

#include <QDir>

#include <windows.h>

QStringList fixedDriveRoots()
{
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives()) {
        const QString root = drive.absolutePath();
        // The drive's root with its backslash ("C:\\"), which GetDriveTypeW requires.
        const std::wstring letter = (root.left(2) + QLatin1Char('\\')).toStdWString();
        if (GetDriveTypeW(letter.c_str()) == DRIVE_FIXED)
            roots.append(root);
    }
    return roots;
}
