#include "line/LineAccountDB.h"

#include "line/LineError.h"
#include "platform/AppDataDir.h"

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

void LineAccountDB::openRegistry()
{
    if (isOpen())
        return;
    const QFileInfo file(m_path);
    if (file.isFile() && file.size() > 0) {
        openFile(m_path, OpenReadWrite);
        return;
    }
    openFile(m_path, OpenReadWriteCreate);
    QString error;
    if (exec(QString::fromLatin1(kCreateTable), &error) != 0) {
        close();
        throwLineError(QString::fromLatin1(kCreateTable) + QLatin1Char('\n') + error);
    }
}

void LineAccountDB::saveAccount(const LineAccount& account)
{
    try {
        openRegistry();
        if (account.uid.isEmpty())
            return;
        execute(Sqlite3Sql("replace into line_account(uid, name, tel) values(?, ?, ?)")
                    .addTextParam(account.uid)
                    .addTextParam(account.name)
                    .addTextParam(account.tel));
    } catch (const std::exception& error) {
        qWarning("LineAccountDB::saveAccount error: %s", error.what());
    }
}

QList<LineAccount> LineAccountDB::accounts()
{
    openRegistry();
    QList<LineAccount> accounts;
    Sqlite3Cursor cursor = query("select uid, name, tel from line_account order by uid");
    while (cursor.moveNext())
        accounts.append({cursor.getText(QStringLiteral("uid")), cursor.getText(QStringLiteral("name")),
                         cursor.getText(QStringLiteral("tel"))});
    return accounts;
}
