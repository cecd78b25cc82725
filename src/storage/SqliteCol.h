#pragma once

#include <QString>

// One column of a table, as PRAGMA table_info describes it.
struct _SqliteCol
{
    int cid = 0;
    QString name;
    QString type;
    bool notNull = false;
    QString defaultValue;
    int primaryKey = 0;
};
