#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Reads a backup in the Manifest.db layout back without any code of src/backup: the keybag is unlocked,
// the manifest, class and file keys are unwrapped and contents decrypted by tools/backupcrypto (OpenSSL),
// the MBFile archives are walked by hand. Tests check the program's writer against it. Every failure
// (a wrong password, a key that does not unwrap, a class prefix that names another class than the
// record, a missing file) throws std::runtime_error.
namespace backupfixture {

struct StoredRecord
{
    quint32 protectionClass = 0;
    QByteArray encryptionKey; // class prefix + wrapped key; empty in plain backups
    quint64 size = 0;
};

class FixtureBackupReader
{
public:
    // password is ignored for a plain backup.
    FixtureBackupReader(const QString& folder, const QString& password);

    bool isEncrypted() const { return m_encrypted; }
    StoredRecord record(const QString& domain, const QString& relativePath) const;
    // The content as the backup stores it.
    QByteArray storedContent(const QString& domain, const QString& relativePath) const;
    // The content decrypted with the record's own key (as stored in a plain backup).
    QByteArray content(const QString& domain, const QString& relativePath) const;
    // The unwrapped key of a file.
    QByteArray fileKey(const QString& domain, const QString& relativePath) const;

private:
    QString m_folder;
    bool m_encrypted = false;
    QMap<quint32, QByteArray> m_classKeys;
    QByteArray m_manifestImage; // plain Manifest.db
};

} // namespace backupfixture
