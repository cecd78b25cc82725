#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

class BackupManifest;
class JobControl;
struct BackupTreeNode;

// Mirrors LINE's data out of a device backup into a cache folder, decrypting on the way: the app
// container's "Documents" and "Library" and the app group's "Library" are copied into
// <cache>/jp.naver.line (whose old "Documents" and "Library" go first), where LINE's store is then looked
// for. The backup stays as it was.
class LineBackupLoader
{
    Q_DECLARE_TR_FUNCTIONS(IOSLoadLineFromiTunesThread)

public:
    LineBackupLoader(BackupManifest& backup, const QString& cacheFolder);

    // A backup without LINE's containers: an error (the default) or simply "not found".
    void setMissingIsNotFound(bool notFound) { m_missingIsNotFound = notFound; }

    // True when LINE's message store is in the app folder afterwards (present and not empty). Throws the
    // backup's errors (a file that does not decrypt, say) and JobCancelled.
    bool run(JobControl& control);

    // <cache>/jp.naver.line
    QString appFolder() const { return m_appFolder; }

private:
    void copyNode(const BackupTreeNode& node, const QDir& folder, JobControl& control);

    BackupManifest& m_backup;
    QString m_appFolder;
    bool m_missingIsNotFound = false;
};
