#include "plist/PlistCFType.h"
#include "plist/PlistLimits.h"

#include <gtest/gtest.h>

namespace {

TEST(PlistCFTypeTest, NullWrapperReportsNoneAndDefaults)
{
    const PlistCFType null;
    EXPECT_EQ(null.typeId(), 16);
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.node(), nullptr);
    EXPECT_EQ(null.toString(), "NULL");
    EXPECT_EQ(null.getString(), "");
    EXPECT_TRUE(null.getData().isEmpty());
    EXPECT_TRUE(null.getBool(true));
    EXPECT_EQ(null.getInt64(-7), -7);
    EXPECT_EQ(null.getUID(), 0u);
    EXPECT_FALSE(null.getDate(0).isValid());
    EXPECT_EQ(null.count(), 0);
    EXPECT_TRUE(null.at(0).isNull());
    EXPECT_TRUE(null.value("a").isNull());
    EXPECT_TRUE(null.keys().isEmpty());
    EXPECT_TRUE(null.serialize(PlistCFType::FormatBinary).isEmpty());
    EXPECT_TRUE(null.copy().isNull());
    EXPECT_EQ(PlistCFType(nullptr, true).typeId(), 16);
}

TEST(PlistCFTypeTest, FactoriesHaveTheDocumentedTypeCodes)
{
    EXPECT_EQ(PlistCFType::newString("x").typeId(), 7);
    EXPECT_EQ(PlistCFType::newDict().typeId(), 18);
    EXPECT_EQ(PlistCFType::newArray().typeId(), 19);
    EXPECT_EQ(PlistCFType::newData("x").typeId(), 20);
    EXPECT_EQ(PlistCFType::newBool(false).typeId(), 21);
    EXPECT_EQ(PlistCFType::newUInt(1).typeId(), 22);
    EXPECT_EQ(PlistCFType::newInt(-1).typeId(), 22);
    EXPECT_EQ(PlistCFType::newSmallInt(3).typeId(), 22);
    EXPECT_EQ(PlistCFType(plist_new_real(1.5), true).typeId(), 22);
    EXPECT_EQ(PlistCFType::newUID(4).typeId(), 35);
    EXPECT_EQ(PlistCFType::newDate(QDateTime(QDate(2020, 1, 1), QTime(0, 0))).typeId(), 37);
    EXPECT_TRUE(PlistCFType::newArray().isArray());
    EXPECT_TRUE(PlistCFType::newDict().isDict());
    EXPECT_TRUE(PlistCFType::newData("").isData());
}

TEST(PlistCFTypeTest, IntegersAreSignExtendedAndTruncatedToTheGetterWidth)
{
    EXPECT_EQ(PlistCFType::newInt(-1).getInt64(), -1);
    EXPECT_EQ(PlistCFType::newInt(-1).toString(), "-1");
    EXPECT_EQ(PlistCFType::newSmallInt(-2).getInt64(), -2);
    EXPECT_EQ(PlistCFType::newSmallInt(127).getInt(), 127);
    const PlistCFType big = PlistCFType::newUInt(0x100000005ULL);
    EXPECT_EQ(big.getInt64(), 0x100000005LL);
    EXPECT_EQ(big.getInt(), 5);
    // A regular file's mode 0100644 does not fit a signed 16-bit value but keeps its bits.
    EXPECT_EQ(static_cast<quint16>(PlistCFType::newUInt(0100644).getInt16()), 0100644);
    EXPECT_EQ(PlistCFType::newUInt(0x12345).getInt16(), 0x2345);
}

TEST(PlistCFTypeTest, GettersReturnTheDefaultForOtherKinds)
{
    const PlistCFType real(plist_new_real(2.5), true);
    const PlistCFType integer = PlistCFType::newUInt(9);
    EXPECT_DOUBLE_EQ(real.getDouble(-1), 2.5);
    EXPECT_DOUBLE_EQ(integer.getDouble(-1), -1); // an integer is not read as a real
    EXPECT_EQ(real.getInt64(-3), -3);            // nor a real as an integer
    EXPECT_EQ(integer.getBool(true), true);
    EXPECT_EQ(PlistCFType::newBool(false).getBool(true), false);
    EXPECT_EQ(PlistCFType::newString("7").getInt64(1), 1);
    EXPECT_EQ(integer.getUID(), 0u);
    EXPECT_EQ(PlistCFType::newUID(0xFFFFFFFFu).getUID(), 0xFFFFFFFFu);
    EXPECT_EQ(integer.getString(), "");
    EXPECT_TRUE(PlistCFType::newString("x").getData().isEmpty());
    EXPECT_FALSE(integer.getDate().isValid());
}

TEST(PlistCFTypeTest, StringsAndDataKeepTheirContent)
{
    const QString text = QString::fromUtf8("LINE トーク 😀 \"<&>\"");
    EXPECT_EQ(PlistCFType::newString(text).getString(), text);
    EXPECT_EQ(PlistCFType::newString("").getString(), "");
    const QByteArray bytes("\x00\x01\xff\x80zz", 6);
    EXPECT_EQ(PlistCFType::newData(bytes).getData(), bytes);
    EXPECT_TRUE(PlistCFType::newData(QByteArray()).getData().isEmpty());
}

TEST(PlistCFTypeTest, ToStringFollowsTheTextRules)
{
    EXPECT_EQ(PlistCFType::newBool(true).toString(), "1");
    EXPECT_EQ(PlistCFType::newBool(false).toString(), "0");
    EXPECT_EQ(PlistCFType::newUInt(18446744073709551615ULL).toString(), "-1"); // two's complement
    EXPECT_EQ(PlistCFType(plist_new_real(3.14159265), true).toString(), "3.14159");
    EXPECT_EQ(PlistCFType(plist_new_real(1e20), true).toString(), "1e+20");
    EXPECT_EQ(PlistCFType::newData("hello").toString(), "aGVsbG8=");
    EXPECT_EQ(PlistCFType::newUID(42).toString(), "42");
    EXPECT_EQ(PlistCFType::newArray().toString(), "[]");
    EXPECT_EQ(PlistCFType::newDict().toString(), "{}");

    PlistCFType dict = PlistCFType::newDict();
    dict.setValue("b", PlistCFType::newString("x"));
    PlistCFType list = PlistCFType::newArray();
    list.append(PlistCFType::newUInt(1));
    list.append(PlistCFType::newDict());
    list.append(PlistCFType::newString("%1 : %2"));
    dict.setValue("a", list);
    EXPECT_EQ(dict.toString(), "{b : x, a : [1, {}, %1 : %2]}");
}

TEST(PlistCFTypeTest, ArrayAccess)
{
    PlistCFType list = PlistCFType::newArray();
    for (int i = 0; i < 150; ++i)
        ASSERT_TRUE(list.append(PlistCFType::newInt(i)));
    EXPECT_EQ(list.count(), 150);
    EXPECT_EQ(list.at(0).getInt(), 0);
    EXPECT_EQ(list.at(149).getInt(), 149);
    EXPECT_TRUE(list.at(150).isNull());
    EXPECT_TRUE(list.at(-1).isNull());
    const QList<PlistCFType> items = list.items();
    ASSERT_EQ(items.size(), 150);
    EXPECT_EQ(items.at(77).getInt(), 77);
    EXPECT_FALSE(list.append(PlistCFType()));
    EXPECT_FALSE(PlistCFType::newDict().append(PlistCFType::newInt(1)));
    EXPECT_EQ(list.count(), 150);
}

TEST(PlistCFTypeTest, DictionaryAccessKeepsInsertionOrderAndReplacesInPlace)
{
    PlistCFType dict = PlistCFType::newDict();
    EXPECT_TRUE(dict.keys().isEmpty());
    ASSERT_TRUE(dict.setValue("zeta", PlistCFType::newInt(1)));
    ASSERT_TRUE(dict.setValue("alpha", PlistCFType::newInt(2)));
    ASSERT_TRUE(dict.setValue(QString::fromUtf8("キー"), PlistCFType::newInt(3)));
    ASSERT_TRUE(dict.setValue("zeta", PlistCFType::newString("again")));

    const QList<PlistCFType> keys = dict.keys();
    ASSERT_EQ(keys.size(), 3);
    EXPECT_EQ(keys.at(0).getString(), "zeta");
    EXPECT_EQ(keys.at(0).typeId(), 7);
    EXPECT_EQ(keys.at(1).toString(), "alpha");
    EXPECT_EQ(keys.at(2).getString(), QString::fromUtf8("キー"));
    EXPECT_EQ(dict.value("zeta").getString(), "again");
    EXPECT_EQ(dict.value(QString::fromUtf8("キー")).getInt(), 3);
    EXPECT_TRUE(dict.value("missing").isNull());

    const auto entries = dict.entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.at(1).first, "alpha");
    EXPECT_EQ(entries.at(1).second.getInt(), 2);

    // The key-wrapper form uses the key's text.
    ASSERT_TRUE(dict.setValue(PlistCFType::newString("beta"), PlistCFType::newBool(true)));
    EXPECT_TRUE(dict.value("beta").getBool());
    ASSERT_TRUE(dict.setValue(keys.at(1), PlistCFType::newInt(20)));
    EXPECT_EQ(dict.value("alpha").getInt(), 20);

    EXPECT_FALSE(dict.setValue("nothing", PlistCFType()));
    EXPECT_TRUE(dict.value("nothing").isNull());
    EXPECT_FALSE(PlistCFType::newArray().setValue("a", PlistCFType::newInt(1)));
    EXPECT_TRUE(PlistCFType::newArray().value("a").isNull());
}

TEST(PlistCFTypeTest, LargeDictionaryLookups)
{
    PlistCFType dict = PlistCFType::newDict();
    for (int i = 0; i < 2000; ++i)
        dict.setValue(QString("k%1").arg(i), PlistCFType::newInt(i));
    for (int i = 0; i < 2000; i += 97)
        EXPECT_EQ(dict.value(QString("k%1").arg(i)).getInt(-1), i);
    dict.setValue("k5", PlistCFType::newInt(-5));
    EXPECT_EQ(dict.value("k5").getInt(), -5);
    EXPECT_EQ(dict.keys().size(), 2000);
}

TEST(PlistCFTypeTest, CopyIsDeepAndIndependent)
{
    PlistCFType dict = PlistCFType::newDict();
    PlistCFType inner = PlistCFType::newArray();
    inner.append(PlistCFType::newString("a"));
    dict.setValue("list", inner);
    PlistCFType copy = dict.copy();
    ASSERT_NE(copy.node(), dict.node());
    EXPECT_EQ(copy.toString(), dict.toString());
    PlistCFType copiedList = copy.value("list");
    copiedList.append(PlistCFType::newString("b"));
    EXPECT_EQ(copy.toString(), "{list : [a, b]}");
    EXPECT_EQ(dict.toString(), "{list : [a]}");
    // A child copies to a root of its own.
    const PlistCFType childCopy = dict.value("list").copy();
    EXPECT_EQ(plist_get_parent(childCopy.node()), nullptr);
    EXPECT_EQ(childCopy.toString(), "[a]");
}

TEST(PlistCFTypeTest, WrapperCopiesShareTheNode)
{
    PlistCFType list = PlistCFType::newArray();
    PlistCFType alias = list;
    alias.append(PlistCFType::newInt(1));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(alias.node(), list.node());
    PlistCFType moved = std::move(alias);
    EXPECT_EQ(moved.count(), 1);
}

TEST(PlistCFTypeTest, NestingIsLimitedOnInsertion)
{
    PlistCFType root = PlistCFType::newArray();
    PlistCFType current = root;
    for (int depth = 2; depth <= PlistLimits::MaxDepth; ++depth) {
        PlistCFType next = PlistCFType::newArray();
        ASSERT_TRUE(current.append(next)) << depth;
        current = next;
    }
    // current sits at the deepest allowed level: nothing more may go below it.
    EXPECT_FALSE(current.append(PlistCFType::newInt(1)));
    EXPECT_EQ(current.count(), 0);
    // A two-level item fits one level higher only.
    PlistCFType pair = PlistCFType::newArray();
    pair.append(PlistCFType::newInt(1));
    const PlistCFType parent(plist_get_parent(current.node()), false);
    EXPECT_FALSE(PlistCFType(parent).append(pair));

    EXPECT_FALSE(root.serialize(PlistCFType::FormatBinary).isEmpty());
    const PlistCFType parsed = PlistCFType::fromData(root.serialize(PlistCFType::FormatXml));
    EXPECT_EQ(parsed.toString(), root.toString());
    EXPECT_EQ(root.copy().toString(), root.toString());
}

TEST(PlistCFTypeTest, ForeignTreesDeeperThanTheLimitAreNotCopiedOrWritten)
{
    // Built directly with libplist, as a tree received from another library could be.
    plist_t root = plist_new_array();
    plist_t current = root;
    for (int i = 0; i < 2000; ++i) {
        plist_t next = plist_new_array();
        plist_array_append_item(current, next);
        current = next;
    }
    const PlistCFType deep(root, true);
    EXPECT_TRUE(deep.copy().isNull());
    EXPECT_TRUE(deep.serialize(PlistCFType::FormatXml).isEmpty());
    EXPECT_TRUE(deep.serialize(PlistCFType::FormatBinary).isEmpty());
    const QString text = deep.toString(); // no recursion
    EXPECT_EQ(text.size(), 2 * 2001);
    EXPECT_TRUE(text.startsWith("[[[[") && text.endsWith("]]]]"));
    PlistCFType holder = PlistCFType::newArray();
    EXPECT_FALSE(holder.append(deep));
}

} // namespace
