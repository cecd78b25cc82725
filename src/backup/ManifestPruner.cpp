#include "backup/ManifestPruner.h"

#include "backup/BackupFileOps.h"
#include "backup/ContentCipher.h"
#include "storage/Sqlite3DB.h"
#include "storage/Sqlite3Error.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

constexpr qint64 FlagsFile = 1;
constexpr qint64 FlagsDirectory = 2;

QString textArgument(sqlite3_value* value, bool& isNull)
{
    isNull = sqlite3_value_type(value) == SQLITE_NULL;
    if (isNull)
        return {};
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(value));
}

void fvalidFunction(sqlite3_context* sqlContext, int argc, sqlite3_value** argv)
{
    if (argc != 3) {
        sqlite3_result_error(sqlContext, "fvalid takes 3 arguments", -1);
        return;
    }
    const auto* context = static_cast<const ManifestPruner::Context*>(sqlite3_user_data(sqlContext));
    bool fileIdIsNull = false;
    bool domainIsNull = false;
    const QString fileId = textArgument(argv[0], fileIdIsNull);
    const QString domain = textArgument(argv[1], domainIsNull);
    const qint64 flags = sqlite3_value_int64(argv[2]);
    sqlite3_result_int(sqlContext,
                       ManifestPruner::keep(*context, fileId, fileIdIsNull, domain, domainIsNull, flags));
}

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

void ManifestPruner::prune(const QString& source, const QString& destination, const Context& context,
                           const QByteArray& manifestKey, const std::function<void(Sqlite3DB&)>& extraStep)
{
    BackupFileOps::TemporaryFile plain(destination + QStringLiteral(".tmp"));
    BackupFileOps::copyDatabase(source, plain.path(), destination);
    {
        Sqlite3DB db;
        db.openFile(plain.path(), Sqlite3DB::OpenReadWrite, destination);
        const int rc =
            sqlite3_create_function_v2(db.handle(), "fvalid", 3, SQLITE_UTF8, const_cast<Context*>(&context),
                                       fvalidFunction, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throw Sqlite3Error(rc, sqliteErrorText(rc, sqlite3_errmsg(db.handle())));
        db.execute("delete from files where not fvalid(fileid, domain, flags)");
        if (extraStep)
            extraStep(db);
        db.execute("vacuum");
        db.close();
    }
    if (manifestKey.isEmpty()) {
        BackupFileOps::replaceFile(plain.path(), destination);
        plain.release();
        return;
    }
    // Encrypted like Manifest.db itself; the plaintext never takes the destination's name.
    BackupFileOps::TemporaryFile decrypted(destination + QStringLiteral("-decrypt"));
    BackupFileOps::replaceFile(plain.path(), decrypted.path());
    plain.release();
    ContentCipher::encryptFile(decrypted.path(), destination, manifestKey);
}
