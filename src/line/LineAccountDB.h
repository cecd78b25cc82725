#pragma once

#include "line/LineAccount.h"
#include "storage/Sqlite3DB.h"

#include <QList>
#include <QString>

// The registry of LINE accounts seen in loaded data: "bk_line_account.db" in the application data folder,
// one row per mid. It only grows.
class LineAccountDB : public Sqlite3DB
{
public:
    static inline const QString FileName = QStringLiteral("bk_line_account.db");

    // The registry in the application data folder.
    LineAccountDB();
    // A registry at another path (tests).
    explicit LineAccountDB(const QString& path);

    const QString& filePath() const { return m_path; }

    // Records or replaces the account (nothing for an empty uid). Never throws: a failure is logged and
    // the caller goes on.
    void saveAccount(const LineAccount& account);

    // Every recorded account, ordered by uid. Failures throw.
    QList<LineAccount> accounts();

private:
    void openRegistry();

    QString m_path;
};
