#include "storage/Sqlite3Row.h"

#include <QStringList>

Sqlite3Param Sqlite3Row::toParam(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {Sqlite3Param::Null{}};
    const int type = value.metaType().id();
    if (type == qMetaTypeId<TypeTextBytes>())
        return {Sqlite3Param::TextBytes{value.value<TypeTextBytes>().bytes}};
    switch (type) {
    case QMetaType::QString:
        return {value.toString()};
    case QMetaType::QByteArray:
        return {Sqlite3Param::Blob{value.toByteArray()}};
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return {value.toLongLong()};
    case QMetaType::Double:
    case QMetaType::Float:
        return {value.toDouble()};
    default:
        return {value.toString()};
    }
}

Sqlite3Sql Sqlite3Row::insertSql(const QString& table, const QSet<QString>& columns) const
{
    QStringList names;
    QStringList marks;
    QList<Sqlite3Param> params;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        if (!columns.isEmpty() && !columns.contains(it.key()))
            continue;
        names << it.key();
        marks << QStringLiteral("?");
        params << toParam(it.value());
    }
    Sqlite3Sql sql(QStringLiteral("insert into %1(%2) values(%3)")
                       .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (const Sqlite3Param& param : params)
        sql.addParam(param);
    return sql;
}
