#pragma once

#include "storage/Sqlite3Cursor.h"
#include "storage/Sqlite3Function.h"
#include "storage/Sqlite3Sql.h"
#include "storage/SqliteCol.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

struct sqlite3;

// One SQLite connection. Base of every database class of the program.
class Sqlite3DB
{
public:
    enum OpenFlags
    {
        OpenReadOnly = 1,
        OpenReadWrite = 2,
        OpenReadWriteCreate = 6,
        // Added to one of the above: the connection is never used by two threads at once, so SQLite takes
        // no lock around each call (a pass over a million rows makes tens of millions of them).
        OpenOneThread = 0x100,
    };

    Sqlite3DB() = default;
    virtual ~Sqlite3DB();
    Sqlite3DB(const Sqlite3DB&) = delete;
    Sqlite3DB& operator=(const Sqlite3DB&) = delete;

    // The raw handle, null when not open. The program goes through the operations below; only the test
    // tools and benchmarks reach SQLite directly.
    sqlite3* handle() const;
    bool isOpen() const { return handle() != nullptr; }
    QString path() const;

    // flags: OpenReadWrite (2) opens an existing file, OpenReadWriteCreate (6) creates it when missing.
    // A file that is not a database fails here, not at the first query. Errors name shownPath when given:
    // the user's file, when path is a temporary file that stands for it.
    void openFile(const QString& path, int flags, const QString& shownPath = QString());
    // Opens a private in-memory copy of image (the bytes of a database file): reads and writes never touch
    // the disk, and the copy grows as needed. An empty image is an empty database; bytes that are not a
    // database fail here.
    void openImage(const QByteArray& image);
    // The same for an image that fill writes straight into the database's own memory (at most capacity
    // bytes), returning its size: a large image is never held twice. What fill throws passes through.
    void openImage(qsizetype capacity,
                   const std::function<qsizetype(char* buffer, qsizetype capacity)>& fill);
    // The bytes a file would hold of a database opened with openImage, read straight from its memory: valid
    // until the database next changes or closes. Throws for a database in a file.
    QByteArrayView memoryImage() const;
    void close();

    void execute(const Sqlite3Sql& sql);
    Sqlite3Cursor query(const Sqlite3Sql& sql);
    // First column of the first row as an integer, or defaultValue when there is no row.
    qint64 queryInt64(const Sqlite3Sql& sql, qint64 defaultValue = 0);

    // Transactions nest: only the outermost begin and commit reach SQLite. A failing commit throws.
    void beginTran();
    void commitTran();
    // Rolls back the whole transaction, whatever the nesting depth.
    void rollbackTran();
    bool inTransaction() const { return m_tranDepth > 0; }

    qint64 lastInsertId() const;
    int changes() const;
    // Rows inserted, updated or deleted since the connection was opened (a statement that writes a value
    // equal to the one there counts as well).
    qint64 totalChanges() const;
    QList<_SqliteCol> tbCols(const QString& table);

    // Runs a script of several statements; returns non-zero and fills error instead of throwing.
    int exec(const QString& text, QString* error);

    // Adds a scalar SQL function to this connection until it closes. Throws when SQLite refuses it.
    void addFunction(const QString& name, int argumentCount, Sqlite3Function function);

    // Copies this whole database into destination through SQLite's online backup, so a journal or WAL
    // file beside this one is taken into account; destination's content is replaced. Throws Sqlite3Error
    // with SQLite's own text when the copy cannot start or fails.
    void copyInto(Sqlite3DB& destination);

private:
    std::shared_ptr<Sqlite3Connection> m_connection;
    int m_tranDepth = 0;
};

// Rolls back on destruction unless committed, so an exception leaves the database as it was.
class Sqlite3Transaction
{
public:
    explicit Sqlite3Transaction(Sqlite3DB& db);
    ~Sqlite3Transaction();
    Sqlite3Transaction(const Sqlite3Transaction&) = delete;
    Sqlite3Transaction& operator=(const Sqlite3Transaction&) = delete;

    void commit();

private:
    Sqlite3DB& m_db;
    bool m_done = false;
};
