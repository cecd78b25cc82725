#include "storage/Sqlite3Row.h"
#include "storage/Sqlite3DB.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Sqlite3RowTest, InsertSqlBindsEachVariantByItsType)
{
    QTemporaryDir dir;
    Sqlite3DB db;
    db.openFile(dir.filePath(QStringLiteral("row.db")), Sqlite3DB::OpenReadWriteCreate);
    db.execute("create table m(a, b, c, d, e, f, g)");

    Sqlite3Row row;
    row[QStringLiteral("a")] = QStringLiteral("text");
    row[QStringLiteral("b")] = qint64(1) << 40;
    row[QStringLiteral("c")] = 2.25;
    row[QStringLiteral("d")] = QByteArray("blob");
    row[QStringLiteral("e")] = QVariant::fromValue(Sqlite3Row::TypeTextBytes{QByteArray("bytes")});
    row[QStringLiteral("f")] = true;
    row[QStringLiteral("g")] = QVariant();
    const Sqlite3Sql sql = row.insertSql(QStringLiteral("m"));
    EXPECT_EQ(sql.sql(), QByteArray("insert into m(a,b,c,d,e,f,g) values(?,?,?,?,?,?,?)"));
    db.execute(sql);

    Sqlite3Cursor cursor = db.query("select typeof(a) ta, typeof(b) tb, typeof(c) tc, typeof(d) td, "
                                    "typeof(e) te, typeof(f) tf, typeof(g) tg, "
                                    "b, e, f from m");
    ASSERT_TRUE(cursor.moveNext());
    EXPECT_EQ(cursor.getText("ta"), QStringLiteral("text"));
    EXPECT_EQ(cursor.getText("tb"), QStringLiteral("integer"));
    EXPECT_EQ(cursor.getText("tc"), QStringLiteral("real"));
    EXPECT_EQ(cursor.getText("td"), QStringLiteral("blob"));
    EXPECT_EQ(cursor.getText("te"), QStringLiteral("text"));
    EXPECT_EQ(cursor.getText("tf"), QStringLiteral("integer"));
    EXPECT_EQ(cursor.getText("tg"), QStringLiteral("null"));
    EXPECT_EQ(cursor.getInt64("b"), qint64(1) << 40);
    EXPECT_EQ(cursor.getText("e"), QStringLiteral("bytes"));
    EXPECT_EQ(cursor.getInt("f"), 1);
    EXPECT_EQ(QMetaType::fromName("Sqlite3Row::TypeTextBytes").id(),
              qMetaTypeId<Sqlite3Row::TypeTextBytes>());
}

TEST(Sqlite3RowTest, ColumnSetRestrictsTheStatement)
{
    Sqlite3Row row;
    row[QStringLiteral("x")] = 1;
    row[QStringLiteral("y")] = 2;
    EXPECT_EQ(row.insertSql(QStringLiteral("t"), {QStringLiteral("y")}).sql(),
              QByteArray("insert into t(y) values(?)"));
}
