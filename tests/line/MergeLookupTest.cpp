// The look-ups a merge builds from its one pass over a store: the message filter worked out in C++ must
// agree with SQLite on every row it decides, and the key index must find exactly the rows added.
#include "line/IOSMessageRowFilter.h"
#include "line/MessageKeyIndex.h"
#include "storage/Sqlite3DB.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

TEST(MessageRowFilter, AgreesWithSqlOnEveryRowItDecidesAndLeavesOddValuesToSql)
{
    // LINE's declared types, and none at all (where SQLite keeps every value as given).
    for (const char* types : {"ZCHAT INTEGER, ZID VARCHAR, ZCONTENTTYPE INTEGER, ZTIMESTAMP INTEGER",
                              "ZCHAT, ZID, ZCONTENTTYPE, ZTIMESTAMP"}) {
        SCOPED_TRACE(types);
        Sqlite3DB db;
        db.openImage(QByteArray());
        db.execute(
            QStringLiteral("create table ZMESSAGE (Z_PK INTEGER PRIMARY KEY, %1)").arg(QLatin1String(types)));
        const char* rows[] = {
            "1, 'a', 0, 1600000000000",
            "1, 'n', 106, 1600000000000",
            "null, 'c', 0, 1",
            "1, '', 0, 1",
            "1, null, 0, 1",
            "1, 'f', 0, 4000000000000",
            "1, 'g', 0, 3999999999999",
            "1, 'u', 999, 1",
            "1, 'h', 4294967296, 1",
            "1, 'i', 4294967403, 1",
            "1, 'j', null, 1",
            "1, 'k', 7, null",
            "'1', 'l', 100, 5",
            "1, 'm', 1.5, 5",
            "1, 'o', 106.0, 5",
            "1, 'p', '106', 5",
            "1, 'q', 'x', 5",
            "1, 'r', 0, '5'",
            "1, 's', 0, 2.5",
            "1, 't', 0, x'00'",
            "1, x'6162', 0, 5",
            "1, 12345, 0, 5",
            "1, 1.5, 106, 5",
            "2.5, 'v', 112, -5",
        };
        for (const char* row : rows)
            db.execute(
                QStringLiteral("insert into ZMESSAGE (ZCHAT, ZID, ZCONTENTTYPE, ZTIMESTAMP) values (%1)")
                    .arg(QLatin1String(row)));

        int decided = 0;
        int leftToSql = 0;
        int listed = 0;
        Sqlite3Cursor cursor = db.query("select m.Z_PK, m.ZCHAT, m.ZID, m.ZCONTENTTYPE, m.ZTIMESTAMP from "
                                        "ZMESSAGE as m order by m.Z_PK");
        while (cursor.moveNext()) {
            const qint64 pk = cursor.int64At(0);
            const std::optional<IOSMessageRowFilter::Flags> flags =
                IOSMessageRowFilter::decide(IOSMessageRowFilter::read(cursor, 1, 2, 3, 4));
            Sqlite3Cursor bySql = db.query(Sqlite3Sql(IOSMessageRowFilter::sqlForRow()).addInt64Param(pk));
            ASSERT_TRUE(bySql.moveNext());
            if (!flags) {
                ++leftToSql;
                continue;
            }
            ++decided;
            listed += flags->listed ? 1 : 0;
            EXPECT_EQ(flags->notice, bySql.int64At(0) != 0) << "row " << rows[pk - 1];
            EXPECT_EQ(flags->listed, bySql.int64At(1) != 0) << "row " << rows[pk - 1];
        }
        EXPECT_GE(decided, 13);
        EXPECT_GE(leftToSql, 5);
        EXPECT_GE(listed, 3);
    }
}

TEST(MessageKeyIndex, FindsEveryRowOfAHashLowestKeyFirstAndNothingElse)
{
    for (const int count : {0, 1, 40, 20000}) {
        SCOPED_TRACE(count);
        std::mt19937_64 random(count);
        MessageKeyIndex index;
        std::multimap<quint64, qint64> expected;
        std::vector<quint64> hashes;
        for (int i = 0; i < count; ++i) {
            // Every fifth row repeats an earlier hash (the same message twice, or two ids that collide).
            const quint64 hash =
                (i % 5 == 4 && !hashes.empty()) ? hashes[random() % hashes.size()] : random();
            const qint64 rowKey = qint64(random() % 1000000);
            hashes.push_back(hash);
            index.add(hash, rowKey);
            expected.emplace(hash, rowKey);
        }
        index.build();
        ASSERT_EQ(index.size(), size_t(count));
        for (const quint64 hash : hashes) {
            std::vector<qint64> want;
            for (auto [it, end] = expected.equal_range(hash); it != end; ++it)
                want.push_back(it->second);
            std::sort(want.begin(), want.end());
            std::vector<qint64> got;
            for (const MessageKeyIndex::Entry& entry : index.find(hash))
                got.push_back(entry.rowKey);
            ASSERT_EQ(got, want);
        }
        for (int i = 0; i < 100; ++i) {
            const quint64 absent = random();
            if (!expected.contains(absent)) {
                EXPECT_TRUE(index.find(absent).empty());
            }
        }
    }
}
