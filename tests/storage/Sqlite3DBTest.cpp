#include "storage/Sqlite3DB.h"
#include "storage/Sqlite3Error.h"
#include "storage/SqliteVersion.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdexcept>

namespace {
class Sqlite3DBTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_path = QDir(m_dir.path()).filePath(QStringLiteral("test.db"));
        m_db.openFile(m_path, Sqlite3DB::OpenReadWriteCreate);
        m_db.execute("create table t(id integer primary key, name text, n integer, r real, b blob)");
    }

    qint64 count(const char* table = "t")
    {
        return m_db.queryInt64(QStringLiteral("select count(*) from %1").arg(table));
    }

    QTemporaryDir m_dir;
    QString m_path;
    Sqlite3DB m_db;
};
} // namespace

TEST(SqliteVersionTest, AccessLayerInterfaceIsEight)
{
    EXPECT_EQ(sqlite_qt_version(), 8);
}

TEST_F(Sqlite3DBTest, ParametersBindByTypeAndReadBack)
{
    Sqlite3Sql insert("insert into t(name, n, r, b) values(?, ?, ?, ?)");
    insert.addTextParam(QStringLiteral("日本"))
        .addInt64Param(Q_INT64_C(5000000000))
        .addDoubleParam(1.5)
        .addBlobParam(QByteArray("\0\1\2", 3));
    m_db.execute(insert);
    EXPECT_EQ(m_db.lastInsertId(), 1);

    Sqlite3Cursor cursor = m_db.query("select * from t");
    ASSERT_TRUE(cursor.moveNext());
    EXPECT_EQ(cursor.getText("name"), QStringLiteral("日本"));
    EXPECT_EQ(cursor.getInt64("N"), Q_INT64_C(5000000000)); // names ignore case
    EXPECT_DOUBLE_EQ(cursor.getDouble("r"), 1.5);
    EXPECT_EQ(cursor.getBlob("b"), QByteArray("\0\1\2", 3));
    EXPECT_FALSE(cursor.moveNext());
    EXPECT_FALSE(cursor.moveNext());
}

TEST_F(Sqlite3DBTest, TextBytesBindAsTextWithoutReencoding)
{
    const QByteArray broken("ab\xf4\x8f\xbf\xbf\xef\xbf\xbd\xff", 10); // not valid UTF-8 at the end
    m_db.execute(Sqlite3Sql("insert into t(name, b) values(?, ?)")
                     .addTextBytesParam(broken)
                     .addBlobParam(QByteArray()));
    Sqlite3Cursor cursor = m_db.query("select name, typeof(name) as tn, typeof(b) as tb from t");
    ASSERT_TRUE(cursor.moveNext());
    EXPECT_EQ(cursor.getTextBytes("name"), broken);
    EXPECT_EQ(cursor.getText("tn"), QStringLiteral("text"));
    EXPECT_EQ(cursor.getText("tb"), QStringLiteral("blob")); // an empty blob stays a blob, not NULL
}

TEST_F(Sqlite3DBTest, NullAndMissingColumnsReadAsEmpty)
{
    m_db.execute("insert into t(id) values(7)");
    Sqlite3Cursor cursor = m_db.query("select * from t");
    ASSERT_TRUE(cursor.moveNext());
    EXPECT_TRUE(cursor.isNull("name"));
    EXPECT_EQ(cursor.getText("name"), QString());
    EXPECT_EQ(cursor.getInt("n", -1), -1);
    EXPECT_EQ(cursor.getInt64("nope"), 0);
    EXPECT_EQ(cursor.getBlob("nope"), QByteArray());
    EXPECT_FALSE(cursor.hasColumn("nope"));
    EXPECT_TRUE(cursor.hasColumn("NAME"));
    EXPECT_EQ(cursor.getInt64(0), 7);
    EXPECT_EQ(cursor.getInt64(99), 0);
}

TEST_F(Sqlite3DBTest, WrongParameterCountAndBadSqlThrows)
{
    EXPECT_THROW(m_db.execute(Sqlite3Sql("insert into t(name) values(?)")), Sqlite3Error);
    EXPECT_THROW(m_db.execute(Sqlite3Sql("insert into t(name) values(?)").addIntParam(1).addIntParam(2)),
                 Sqlite3Error);
    EXPECT_THROW(m_db.query("select * from missing_table"), Sqlite3Error);
    EXPECT_EQ(count(), 0);
}

TEST_F(Sqlite3DBTest, RepeatedStatementsAndOverlappingCursorsOfTheSameSql)
{
    for (int i = 0; i < 100; ++i)
        m_db.execute(Sqlite3Sql("insert into t(n) values(?)").addIntParam(i));
    Sqlite3Cursor outer = m_db.query("select n from t order by n");
    int rows = 0;
    while (outer.moveNext()) {
        // the same text again while the first cursor is still stepping
        Sqlite3Cursor inner = m_db.query("select n from t order by n");
        ASSERT_TRUE(inner.moveNext());
        EXPECT_EQ(inner.getInt("n"), 0);
        EXPECT_EQ(outer.getInt("n"), rows);
        ++rows;
    }
    EXPECT_EQ(rows, 100);
}

TEST_F(Sqlite3DBTest, NestedTransactionsCommitOnceAndGuardRollsBack)
{
    m_db.beginTran();
    m_db.beginTran();
    m_db.execute("insert into t(n) values(1)");
    m_db.commitTran();
    EXPECT_TRUE(m_db.inTransaction());
    m_db.commitTran();
    EXPECT_FALSE(m_db.inTransaction());
    EXPECT_EQ(count(), 1);

    try {
        Sqlite3Transaction transaction(m_db);
        m_db.execute("insert into t(n) values(2)");
        m_db.execute("insert into nope values(1)");
        transaction.commit();
    } catch (const Sqlite3Error&) {
    }
    EXPECT_FALSE(m_db.inTransaction());
    EXPECT_EQ(count(), 1);
}

TEST_F(Sqlite3DBTest, TableColumnsAndScripts)
{
    const QList<_SqliteCol> cols = m_db.tbCols(QStringLiteral("t"));
    ASSERT_EQ(cols.size(), 5);
    EXPECT_EQ(cols[0].name, QStringLiteral("id"));
    EXPECT_EQ(cols[0].primaryKey, 1);
    EXPECT_EQ(cols[1].type, QStringLiteral("TEXT"));
    EXPECT_TRUE(m_db.tbCols(QStringLiteral("missing")).isEmpty());

    QString error;
    EXPECT_EQ(
        m_db.exec(QStringLiteral("create table a(x); create table b(y); insert into a values(1);"), &error),
        0);
    EXPECT_EQ(count("a"), 1);
    EXPECT_NE(m_db.exec(QStringLiteral("insert into a values(2); bogus statement;"), &error), 0);
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(Sqlite3DBTest, CursorOutlivingTheDatabaseIsHarmless)
{
    m_db.execute("insert into t(n) values(1)");
    auto db = std::make_unique<Sqlite3DB>();
    db->openFile(m_path, Sqlite3DB::OpenReadWrite);
    Sqlite3Cursor cursor = db->query("select n from t");
    db.reset();
    SUCCEED(); // destroying the cursor after its database must not crash (checked under sanitizers)
}

TEST_F(Sqlite3DBTest, FunctionsSeeSqliteValuesAndTheirFailuresFailTheStatement)
{
    m_db.execute("insert into t(name, n) values('a', 7), (null, null), ('12', 3)");
    m_db.addFunction(QStringLiteral("describe"), 2, [](const Sqlite3FunctionArgs& args) {
        if (args.text(0) == QStringLiteral("12"))
            throw std::runtime_error("twelve refused");
        const QString name = args.isNull(0) ? QStringLiteral("-") : args.text(0);
        return Sqlite3Param{name + QString::number(args.int64(1) * 2)};
    });
    Sqlite3Cursor cursor = m_db.query("select describe(name, n) from t where id < 3 order by id");
    ASSERT_TRUE(cursor.moveNext());
    EXPECT_EQ(cursor.textAt(0), QStringLiteral("a14"));
    ASSERT_TRUE(cursor.moveNext());
    EXPECT_EQ(cursor.textAt(0), QStringLiteral("-0"));
    cursor = {};
    try {
        m_db.execute("delete from t where describe(name, n) <> ''");
        FAIL() << "the function's failure did not fail the statement";
    } catch (const Sqlite3Error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("twelve refused"))) << e.what();
    }
    EXPECT_EQ(count(), 3); // the failed statement changed nothing
}

TEST_F(Sqlite3DBTest, CopyIntoReplacesTheDestinationWithTheWholeDatabase)
{
    m_db.execute("insert into t(name) values('kept')");
    const QString copyPath = QDir(m_dir.path()).filePath(QStringLiteral("copy.db"));
    {
        Sqlite3DB copy;
        copy.openFile(copyPath, Sqlite3DB::OpenReadWriteCreate);
        copy.execute("create table old(x)");
        m_db.copyInto(copy);
        EXPECT_EQ(copy.queryInt64("select count(*) from sqlite_master where name='old'"), 0);
        EXPECT_EQ(copy.queryInt64("select count(*) from t where name='kept'"), 1);
    }
    // A destination that cannot be written fails with SQLite's reason and keeps its content.
    Sqlite3DB readOnly;
    readOnly.openFile(copyPath, Sqlite3DB::OpenReadOnly);
    m_db.execute("insert into t(name) values('new')");
    try {
        m_db.copyInto(readOnly);
        FAIL() << "copied into a read-only database";
    } catch (const Sqlite3Error& e) {
        EXPECT_EQ(e.code() & 0xff, SQLITE_READONLY) << e.what();
    }
    EXPECT_EQ(readOnly.queryInt64("select count(*) from t"), 1);
}

TEST(Sqlite3DBOpenTest, ForeignFileFailsAtOpenWithAClearText)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("not-a-db.sqlite"));
    writeFileBytes(path, QByteArray(4096, 'x'));
    Sqlite3DB db;
    try {
        db.openFile(path, Sqlite3DB::OpenReadWrite);
        FAIL() << "opened a file that is not a database";
    } catch (const Sqlite3Error& e) {
        EXPECT_EQ(e.code() & 0xff, SQLITE_NOTADB);
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("not a database"))) << e.what();
    }
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(readFileBytes(path), QByteArray(4096, 'x'));

    // A temporary file standing for the user's file: the error names the user's.
    try {
        db.openFile(path, Sqlite3DB::OpenReadWrite, QDir(dir.path()).filePath(QStringLiteral("Manifest.db")));
        FAIL() << "opened a file that is not a database";
    } catch (const Sqlite3Error& e) {
        const QString text = QString::fromUtf8(e.what());
        EXPECT_TRUE(text.contains(QStringLiteral("[Manifest.db]"))) << e.what();
        EXPECT_FALSE(text.contains(QStringLiteral("not-a-db"))) << e.what();
    }
}

TEST(Sqlite3DBOpenTest, MissingFileWithoutCreateFailsAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("missing.db"));
    Sqlite3DB db;
    EXPECT_THROW(db.openFile(path, Sqlite3DB::OpenReadWrite), Sqlite3Error);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_THROW(db.execute("select 1"), Sqlite3Error);
}

TEST(Sqlite3DBOpenTest, LockedDatabaseReportsItIsInUse)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("locked.db"));
    Sqlite3DB writer;
    writer.openFile(path, Sqlite3DB::OpenReadWriteCreate);
    writer.execute("create table t(x)");
    writer.execute("begin exclusive");

    Sqlite3DB other;
    try {
        other.openFile(path, Sqlite3DB::OpenReadWrite);
        other.execute("insert into t values(1)");
        FAIL() << "wrote into an exclusively locked database";
    } catch (const Sqlite3Error& e) {
        EXPECT_EQ(e.code() & 0xff, SQLITE_BUSY);
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("in use"))) << e.what();
    }
}

TEST_F(Sqlite3DBTest, ImagesOpenInMemoryGrowAndWriteOutWithoutTouchingTheDisk)
{
    Sqlite3Transaction fill(m_db);
    for (int i = 0; i < 300; ++i)
        m_db.execute(Sqlite3Sql("insert into t(name) values(?)")
                         .addTextParam(QString(200, QLatin1Char('a' + i % 26))));
    fill.commit();
    m_db.close();
    const QByteArray image = readFileBytes(m_path);
    const QStringList filesBefore = QDir(m_dir.path()).entryList(QDir::Files);

    Sqlite3DB memory;
    memory.openImage(image);
    EXPECT_TRUE(memory.path().isEmpty());
    EXPECT_EQ(memory.queryInt64("select count(*) from t"), 300);
    memory.execute("delete from t where id % 2 = 0");
    for (int i = 0; i < 2000; ++i) // well past the image's own size
        memory.execute(Sqlite3Sql("insert into t(b) values(?)").addBlobParam(QByteArray(500, 'z')));
    memory.execute("vacuum");
    const QByteArray changed = memory.memoryImage().toByteArray();
    memory.close();
    EXPECT_EQ(readFileBytes(m_path), image); // the file it came from is untouched
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), filesBefore);
    EXPECT_TRUE(changed.startsWith("SQLite format 3"));
    EXPECT_GT(changed.size(), image.size());

    Sqlite3DB again;
    again.openImage(changed);
    EXPECT_EQ(again.queryInt64("select count(*) from t"), 2150);
    m_db.openFile(m_path, Sqlite3DB::OpenReadOnly);
    EXPECT_THROW(m_db.memoryImage(), Sqlite3Error); // a database in a file has no image in memory

    Sqlite3DB empty;
    empty.openImage(QByteArray());
    empty.execute("create table e(x)");
    EXPECT_TRUE(empty.memoryImage().startsWith("SQLite format 3"));
    Sqlite3DB foreign;
    EXPECT_THROW(foreign.openImage(QByteArray(4096, 'x')), Sqlite3Error);
    EXPECT_FALSE(foreign.isOpen());
}
