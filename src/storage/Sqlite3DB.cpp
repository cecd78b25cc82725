#include "storage/Sqlite3DB.h"

#include "storage/Sqlite3Error.h"

#include <QFile>
#include <QFileInfo>
#include <QtDebug>
#include <algorithm>
#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <variant>

namespace {
constexpr int kBusyTimeoutMs = 3000;
// SQLite's own bound for an in-memory database is 1 GiB; an image may grow to twice its size.
constexpr sqlite3_int64 kMinImageLimit = sqlite3_int64(1) << 30;

int sqliteOpenFlags(int flags)
{
    const int threading = (flags & Sqlite3DB::OpenOneThread) ? SQLITE_OPEN_NOMUTEX : 0;
    switch (flags & ~Sqlite3DB::OpenOneThread) {
    case Sqlite3DB::OpenReadOnly:
        return SQLITE_OPEN_READONLY | threading;
    case Sqlite3DB::OpenReadWriteCreate:
        return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | threading;
    default:
        return SQLITE_OPEN_READWRITE | threading;
    }
}

// Ends a backup run that its owner did not finish (a failure on the way).
struct BackupFinisher
{
    void operator()(sqlite3_backup* backup) const { sqlite3_backup_finish(backup); }
};

void setFunctionResult(sqlite3_context* context, const Sqlite3Param& result)
{
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, Sqlite3Param::Null>) {
                sqlite3_result_null(context);
            } else if constexpr (std::is_same_v<T, qint64>) {
                sqlite3_result_int64(context, value);
            } else if constexpr (std::is_same_v<T, double>) {
                sqlite3_result_double(context, value);
            } else if constexpr (std::is_same_v<T, QString>) {
                const QByteArray utf8 = value.toUtf8();
                sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            } else if constexpr (std::is_same_v<T, Sqlite3Param::Blob>) {
                sqlite3_result_blob(context, value.bytes.constData(), int(value.bytes.size()),
                                    SQLITE_TRANSIENT);
            } else {
                sqlite3_result_text(context, value.bytes.constData(), int(value.bytes.size()),
                                    SQLITE_TRANSIENT);
            }
        },
        result.value);
}

void callFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    const auto* function = static_cast<const Sqlite3Function*>(sqlite3_user_data(context));
    try {
        setFunctionResult(context, (*function)(Sqlite3FunctionArgs(argc, argv)));
    } catch (const std::exception& error) {
        sqlite3_result_error(context, error.what(), -1);
    }
}

void deleteFunction(void* function)
{
    delete static_cast<Sqlite3Function*>(function);
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

Sqlite3DB::~Sqlite3DB()
{
    close();
}

sqlite3* Sqlite3DB::handle() const
{
    return m_connection ? m_connection->db() : nullptr;
}

QString Sqlite3DB::path() const
{
    return m_connection ? m_connection->path() : QString();
}

void Sqlite3DB::openFile(const QString& path, int flags, const QString& shownPath)
{
    close();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, sqliteOpenFlags(flags), nullptr);
    auto connection = std::make_shared<Sqlite3Connection>(db, path, shownPath);
    if (rc != SQLITE_OK)
        connection->throwError(rc);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // SQLite reads the header lazily; touch the schema so a foreign file fails now.
    connection->prepare(Sqlite3Sql("select count(*) from sqlite_master")).step();
    m_connection = std::move(connection);
}

void Sqlite3DB::openImage(const QByteArray& image)
{
    openImage(image.size(), [&image](char* buffer, qsizetype) {
        std::memcpy(buffer, image.constData(), static_cast<size_t>(image.size()));
        return image.size();
    });
}

void Sqlite3DB::openImage(qsizetype capacity, const std::function<qsizetype(char*, qsizetype)>& fill)
{
    close();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto connection = std::make_shared<Sqlite3Connection>(db, QString());
    if (rc != SQLITE_OK)
        connection->throwError(rc);
    const auto room = static_cast<sqlite3_int64>(std::max<qsizetype>(capacity, 1));
    std::unique_ptr<unsigned char, void (*)(void*)> buffer(
        static_cast<unsigned char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(room))), sqlite3_free);
    if (!buffer)
        connection->throwError(SQLITE_NOMEM);
    const auto size = static_cast<sqlite3_int64>(fill(reinterpret_cast<char*>(buffer.get()), capacity));
    if (size < 0 || size > room)
        connection->throwError(SQLITE_CORRUPT);
    // SQLite owns the buffer from here on, also when this fails.
    const int loaded = sqlite3_deserialize(db, "main", buffer.release(), size, room,
                                           SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
    if (loaded != SQLITE_OK)
        connection->throwError(loaded);
    sqlite3_int64 limit = std::max(kMinImageLimit, size * 2);
    sqlite3_file_control(db, "main", SQLITE_FCNTL_SIZE_LIMIT, &limit);
    sqlite3_extended_result_codes(db, 1);
    connection->prepare(Sqlite3Sql("select count(*) from sqlite_master")).step();
    m_connection = std::move(connection);
}

QByteArrayView Sqlite3DB::memoryImage() const
{
    if (!m_connection)
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    sqlite3_int64 size = 0;
    const unsigned char* pages = sqlite3_serialize(handle(), "main", &size, SQLITE_SERIALIZE_NOCOPY);
    if (!pages) {
        if (size == 0 && m_connection->path().isEmpty())
            return {};
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not held in memory."));
    }
    return QByteArrayView(reinterpret_cast<const char*>(pages), static_cast<qsizetype>(size));
}

void Sqlite3DB::close()
{
    if (!m_connection)
        return;
    if (m_tranDepth > 0 && handle())
        sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    m_tranDepth = 0;
    m_connection->close();
    m_connection.reset();
}

void Sqlite3DB::execute(const Sqlite3Sql& sql)
{
    if (!m_connection)
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    auto statement = m_connection->prepare(sql);
    while (statement.step()) {
    }
}

Sqlite3Cursor Sqlite3DB::query(const Sqlite3Sql& sql)
{
    if (!m_connection)
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    return Sqlite3Cursor(m_connection->prepare(sql));
}

qint64 Sqlite3DB::queryInt64(const Sqlite3Sql& sql, qint64 defaultValue)
{
    Sqlite3Cursor cursor = query(sql);
    return cursor.moveNext() ? cursor.getInt64(0) : defaultValue;
}

void Sqlite3DB::beginTran()
{
    if (m_tranDepth == 0)
        execute(Sqlite3Sql("BEGIN"));
    ++m_tranDepth;
}

void Sqlite3DB::commitTran()
{
    if (m_tranDepth <= 0)
        return;
    if (m_tranDepth == 1)
        execute(Sqlite3Sql("COMMIT"));
    --m_tranDepth;
}

void Sqlite3DB::rollbackTran()
{
    if (m_tranDepth <= 0)
        return;
    m_tranDepth = 0;
    if (handle() && !sqlite3_get_autocommit(handle()))
        sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

qint64 Sqlite3DB::lastInsertId() const
{
    return handle() ? sqlite3_last_insert_rowid(handle()) : 0;
}

int Sqlite3DB::changes() const
{
    return handle() ? sqlite3_changes(handle()) : 0;
}

qint64 Sqlite3DB::totalChanges() const
{
    return handle() ? sqlite3_total_changes64(handle()) : 0;
}

QList<_SqliteCol> Sqlite3DB::tbCols(const QString& table)
{
    QList<_SqliteCol> columns;
    Sqlite3Cursor cursor =
        query(Sqlite3Sql(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table))));
    while (cursor.moveNext()) {
        _SqliteCol col;
        col.cid = cursor.getInt(QStringLiteral("cid"));
        col.name = cursor.getText(QStringLiteral("name"));
        col.type = cursor.getText(QStringLiteral("type"));
        col.notNull = cursor.getInt(QStringLiteral("notnull")) != 0;
        col.defaultValue = cursor.getText(QStringLiteral("dflt_value"));
        col.primaryKey = cursor.getInt(QStringLiteral("pk"));
        columns << col;
    }
    return columns;
}

int Sqlite3DB::exec(const QString& text, QString* error)
{
    if (!handle()) {
        if (error)
            *error = QStringLiteral("The database is not open.");
        return SQLITE_MISUSE;
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(handle(), text.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK && error)
        *error = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    return rc;
}

void Sqlite3DB::addFunction(const QString& name, int argumentCount, Sqlite3Function function)
{
    if (!handle())
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    // SQLite owns the copy from here, and deletes it when the function is replaced, the connection
    // closes or the registration fails.
    auto* owned = new Sqlite3Function(std::move(function));
    const int rc = sqlite3_create_function_v2(handle(), name.toUtf8().constData(), argumentCount, SQLITE_UTF8,
                                              owned, callFunction, nullptr, nullptr, deleteFunction);
    if (rc != SQLITE_OK)
        throw Sqlite3Error(rc, sqliteErrorText(rc, sqlite3_errmsg(handle())));
}

void Sqlite3DB::copyInto(Sqlite3DB& destination)
{
    if (!handle() || !destination.handle())
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    std::unique_ptr<sqlite3_backup, BackupFinisher> backup(
        sqlite3_backup_init(destination.handle(), "main", handle(), "main"));
    if (!backup)
        throw Sqlite3Error(sqlite3_errcode(destination.handle()),
                           QString::fromUtf8(sqlite3_errmsg(destination.handle())));
    const int stepResult = sqlite3_backup_step(backup.get(), -1);
    const int finishResult = sqlite3_backup_finish(backup.release());
    if (stepResult != SQLITE_DONE || finishResult != SQLITE_OK) {
        const int rc = stepResult != SQLITE_DONE ? stepResult : finishResult;
        throw Sqlite3Error(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    }
}

Sqlite3Transaction::Sqlite3Transaction(Sqlite3DB& db) : m_db(db)
{
    m_db.beginTran();
}

Sqlite3Transaction::~Sqlite3Transaction()
{
    if (!m_done)
        m_db.rollbackTran();
}

void Sqlite3Transaction::commit()
{
    m_db.commitTran();
    m_done = true;
}
