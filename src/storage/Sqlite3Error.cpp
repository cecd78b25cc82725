#include "storage/Sqlite3Error.h"

#include <sqlite3.h>

Sqlite3Error::Sqlite3Error(int code, const QString& message)
    : std::runtime_error(message.toUtf8().toStdString()), m_code(code)
{
}

QString sqliteErrorText(int code, const char* sqliteMessage)
{
    const QString own = QString::fromUtf8(sqliteMessage ? sqliteMessage : sqlite3_errstr(code));
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return QStringLiteral("The file is not a database or is damaged (%1).").arg(own);
    case SQLITE_CORRUPT:
        return QStringLiteral("The database is damaged (%1).").arg(own);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The database is in use by another program (%1). Close it and try again.")
            .arg(own);
    case SQLITE_CANTOPEN:
        return QStringLiteral("The database cannot be opened (%1).").arg(own);
    case SQLITE_FULL:
        return QStringLiteral("The disk is full (%1).").arg(own);
    case SQLITE_READONLY:
        return QStringLiteral("The database is read-only (%1).").arg(own);
    default:
        return own;
    }
}
