#pragma once

#include <QDir>
#include <QSet>
#include <QString>
#include <functional>

class ManifestDatabase;
class Sqlite3DB;

// Writes a reduced copy of a backup's Manifest.db that keeps only the records a restore should carry:
// the four fixed HomeDomain records, the wanted domains and, with keepOtherDomains, every system domain
// and Apple's own app domains; files only when their content is in the backup folder.
class ManifestPruner
{
public:
    // The SQL function "fvalid"(fileID, domain, flags) sees these.
    struct Context
    {
        QDir backupFolder;
        bool keepOtherDomains = false;
        QSet<QString> wantedDomains;
    };

    // The decision of "fvalid": true keeps the row.
    static bool keep(const Context& context, const QString& fileId, bool fileIdIsNull, const QString& domain,
                     bool domainIsNull, qint64 flags);

    // The lower-case file IDs always kept.
    static const QSet<QString>& fixedFileIds();

    // source: a plaintext manifest database file. Writes the reduced database to a temporary file beside
    // destination and renames it over destination. The temporary file is removed whatever happens; on
    // failure destination is untouched.
    static void prune(const QString& source, const QString& destination, const Context& context,
                      const std::function<void(Sqlite3DB&)>& extraStep);
    // decrypted: an encrypted manifest database opened decrypted in memory. Reduces it there and writes
    // only its encryption under manifestKey to destination (staged and renamed), so no plain text reaches
    // the disk; on failure destination is untouched.
    static void pruneEncrypted(ManifestDatabase& decrypted, const QString& destination,
                               const Context& context, const QByteArray& manifestKey,
                               const std::function<void(Sqlite3DB&)>& extraStep);
};
