#include "line/LineAccountDB.h"

#include "app/AppDirs.h"
#include "line/LineError.h"

#include <QFileInfo>
#include <QtDebug>

namespace {
const char kCreateTable[] = "CREATE TABLE line_account(uid VARCHAR PRIMARY KEY, name VARCHAR, tel VARCHAR);";
}

LineAccountDB::LineAccountDB() : m_path(appDataDir().filePath(FileName))
{
}

LineAccountDB::LineAccountDB(const QString& path) : m_path(path)
{
}

void LineAccountDB::openRegistryThrow()
{
    if (isOpen())
        return;
    const QFileInfo file(m_path);
    if (file.isFile() && file.size() > 0) {
        openThrow(m_path, OpenReadWrite);
        return;
    }
    openThrow(m_path, OpenReadWriteCreate);
    QString error;
    if (exec(QString::fromLatin1(kCreateTable), &error) != 0) {
        close();
        throwLineError(QString::fromLatin1(kCreateTable) + QLatin1Char('\n') + error);
    }
}

void LineAccountDB::saveAccount(const LineAccount& account)
{
    try {
        openRegistryThrow();
        if (account.uid.isEmpty())
            return;
        executeThrow(Sqlite3Sql("replace into line_account(uid, name, tel) values(?, ?, ?)")
                         .addTextParam(account.uid)
                         .addTextParam(account.name)
                         .addTextParam(account.tel));
    } catch (const std::exception& error) {
        qWarning("LineAccountDB::saveAccount error: %s", error.what());
    }
}

QList<LineAccount> LineAccountDB::accountsThrow()
{
    openRegistryThrow();
    QList<LineAccount> accounts;
    Sqlite3Cursor cursor = queryThrow("select uid, name, tel from line_account order by uid");
    while (cursor.moveNext())
        accounts.append({cursor.getText(QStringLiteral("uid")), cursor.getText(QStringLiteral("name")),
                         cursor.getText(QStringLiteral("tel"))});
    return accounts;
}
