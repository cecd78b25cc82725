#pragma once

#include <QCoreApplication>
#include <QString>

// A working copy of a backup folder that costs little disk space: the files at the top (Info.plist,
// Status.plist, the manifests, dname.sqlite), which a merge or a restore may change in place, are copied;
// the content files below are hard links where the file system has them (a merge replaces a content file
// by renaming a new one over it, which leaves the original's other name as it was), copies otherwise.
class LinkedBackupCopy
{
    Q_DECLARE_TR_FUNCTIONS(LinkedBackupCopy)

public:
    // Replaces destination (removed first) by a copy of source. Throws std::runtime_error.
    static void make(const QString& source, const QString& destination);
};
