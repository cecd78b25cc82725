#include "backup/ManifestPruner.h"

#include "backup/BackupFileOps.h"
#include "backup/ContentCipher.h"
#include "backup/ManifestDatabase.h"

#include <QFileInfo>

namespace {

constexpr qint64 FlagsFile = 1;
constexpr qint64 FlagsDirectory = 2;

} // namespace

const QSet<QString>& ManifestPruner::fixedFileIds()
{
    static const QSet<QString> ids = {
        QStringLiteral("70765829101933f25994c71bbee6dfd685535bff"), // HomeDomain root
        QStringLiteral("c159d5c126017800b79c85665222fbe894c3dd77"), // HomeDomain Library
        QStringLiteral("5f5e43af7970eafdc1329b189f273793e709c809"), // HomeDomain Library/Preferences
        QStringLiteral("80fa782261261e54bb73c0253e5b6beefb6a2f39"), // setup assistant preferences
    };
    return ids;
}

bool ManifestPruner::keep(const Context& context, const QString& fileId, bool fileIdIsNull,
                          const QString& domain, bool domainIsNull, qint64 flags)
{
    if (fileIdIsNull || domainIsNull || fileId.size() <= 2)
        return true;
    const bool qualifies =
        fixedFileIds().contains(fileId.toLower()) || context.wantedDomains.contains(domain) ||
        (context.keepOtherDomains && (!domain.startsWith(QLatin1String("AppDomain"), Qt::CaseInsensitive) ||
                                      domain.contains(QLatin1String("com.apple."), Qt::CaseInsensitive)));
    if (!qualifies)
        return false;
    if (flags == FlagsDirectory)
        return true;
    if (flags != FlagsFile)
        return false;
    // A file stays only when its content is in the backup, at xx/fileID.
    if (fileId.contains(QLatin1Char('/')) || fileId.contains(QLatin1Char('\\')) ||
        fileId.contains(QLatin1String("..")))
        return false;
    return QFileInfo(context.backupFolder.filePath(fileId.left(2) + QLatin1Char('/') + fileId)).isFile();
}

namespace {

void reduce(ManifestDatabase& db, const ManifestPruner::Context& context,
            const std::function<void(Sqlite3DB&)>& extraStep)
{
    db.removeFilesNotKept([&context](const QString& fileId, bool fileIdIsNull, const QString& domain,
                                     bool domainIsNull, qint64 flags) {
        return ManifestPruner::keep(context, fileId, fileIdIsNull, domain, domainIsNull, flags);
    });
    if (extraStep)
        extraStep(db);
    db.vacuum();
}

} // namespace

void ManifestPruner::prune(const QString& source, const QString& destination, const Context& context,
                           const std::function<void(Sqlite3DB&)>& extraStep)
{
    BackupFileOps::TemporaryFile plain(destination + QStringLiteral(".tmp"));
    BackupFileOps::copyDatabase(source, plain.path(), destination);
    {
        ManifestDatabase db;
        db.openFile(plain.path(), Sqlite3DB::OpenReadWrite, destination);
        reduce(db, context, extraStep);
        db.close();
    }
    BackupFileOps::replaceFile(plain.path(), destination);
    plain.release();
}

void ManifestPruner::pruneEncrypted(ManifestDatabase& decrypted, const QString& destination,
                                    const Context& context, const QByteArray& manifestKey,
                                    const std::function<void(Sqlite3DB&)>& extraStep)
{
    reduce(decrypted, context, extraStep);
    ContentCipher::encryptBytes(decrypted.memoryImage(), destination, manifestKey);
    decrypted.close();
}
