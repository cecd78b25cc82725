#include "line/TinyKv.h"

#include <QDateTime>
#include <QtEndian>
#include <gtest/gtest.h>
#include <limits>

namespace {

QByteArray u32(quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray sized(const QByteArray& bytes)
{
    return u32(quint32(bytes.size())) + bytes;
}

QByteArray entry(const QByteArray& key, const QByteArray& value)
{
    return sized(key) + value;
}

QVariantHash nestedHashes(int levels)
{
    QVariantHash hash;
    for (int i = 0; i < levels; ++i) {
        QVariantHash outer;
        outer.insert(QStringLiteral("k"), hash);
        hash = outer;
    }
    return hash;
}

QVariantHash decodeOk(const QByteArray& blob)
{
    bool ok = false;
    const QVariantHash hash = TinyKv::decode(blob, &ok);
    EXPECT_TRUE(ok);
    return hash;
}

void expectFailure(const QByteArray& blob)
{
    bool ok = true;
    EXPECT_TRUE(TinyKv::decode(blob, &ok).isEmpty());
    EXPECT_FALSE(ok);
}

} // namespace

TEST(TinyKvLayout, MagicAloneIsAnEmptyHash)
{
    EXPECT_TRUE(decodeOk("tinykv").isEmpty());
    EXPECT_EQ(TinyKv::encode({}), QByteArray("tinykv"));
}

TEST(TinyKvLayout, BytesOfEachTag)
{
    EXPECT_EQ(TinyKv::encode({{"a", 1}}), "tinykv" + entry("a", "i" + u32(1)));
    EXPECT_EQ(TinyKv::encode({{"n", -2}}), "tinykv" + entry("n", "i" + u32(0xFFFFFFFE)));
    EXPECT_EQ(TinyKv::encode({{"l", qlonglong(0x0102030405060708)}}),
              "tinykv" + entry("l", QByteArray("l\x08\x07\x06\x05\x04\x03\x02\x01", 9)));
    EXPECT_EQ(TinyKv::encode({{"d", 1.0}}), "tinykv" + entry("d", QByteArray("d\0\0\0\0\0\0\xF0\x3F", 9)));
    EXPECT_EQ(TinyKv::encode({{"s", QStringLiteral("é")}}), "tinykv" + entry("s", "s" + sized("\xC3\xA9")));
    EXPECT_EQ(TinyKv::encode({{"v", QByteArray("\0x", 2)}}),
              "tinykv" + entry("v", "v" + sized(QByteArray("\0x", 2))));
    EXPECT_EQ(TinyKv::encode({{"z", QVariant()}}), "tinykv" + entry("z", "n"));
    EXPECT_EQ(TinyKv::encode({{"L", QVariantList{7}}}),
              "tinykv" + entry("L", "[" + sized(u32(1) + "i" + u32(7))));
    EXPECT_EQ(TinyKv::encode({{"h", QVariantHash{{"x", 2}}}}),
              "tinykv" + entry("h", "{" + sized("tinykv" + entry("x", "i" + u32(2)))));
}

TEST(TinyKvLayout, KeysAreWrittenInSortedOrder)
{
    QVariantHash hash;
    for (const char* key : {"width", "height", "size", "file_name", "a"})
        hash.insert(QString::fromLatin1(key), 1);
    EXPECT_EQ(TinyKv::encode(hash), "tinykv" + entry("a", "i" + u32(1)) + entry("file_name", "i" + u32(1)) +
                                        entry("height", "i" + u32(1)) + entry("size", "i" + u32(1)) +
                                        entry("width", "i" + u32(1)));
}

TEST(TinyKvRoundTrip, EveryValueType)
{
    QVariantHash atta;
    atta.insert("contact_name", QStringLiteral("山田 \U0001F600"));
    atta.insert("size", qlonglong(1) << 40);
    atta.insert("width", 640);
    atta.insert("loc_lat", 35.681236);
    atta.insert("raw", QByteArray("\0\xFF\x01", 3));
    atta.insert("empty", QString());
    atta.insert("list", QVariantList{1, QStringLiteral("two"), QVariantList{3.5}, QVariantHash{{"k", 4}}});
    atta.insert("nested", QVariantHash{{"inner", QVariantHash{{"deep", qlonglong(-5)}}}});
    atta.insert("null", QVariant());
    const QVariantHash back = decodeOk(TinyKv::encode(atta));
    ASSERT_EQ(back.size(), atta.size());
    EXPECT_EQ(back.value("contact_name"), atta.value("contact_name"));
    EXPECT_EQ(back.value("size").typeId(), QMetaType::LongLong);
    EXPECT_EQ(back.value("size").toLongLong(), qlonglong(1) << 40);
    EXPECT_EQ(back.value("width").typeId(), QMetaType::Int);
    EXPECT_EQ(back.value("loc_lat").toDouble(), 35.681236);
    EXPECT_EQ(back.value("raw").toByteArray(), QByteArray("\0\xFF\x01", 3));
    EXPECT_EQ(back.value("empty").toString(), QString());
    EXPECT_EQ(back.value("list"), atta.value("list"));
    EXPECT_EQ(back.value("nested").toHash().value("inner").toHash().value("deep").toLongLong(), -5);
    EXPECT_FALSE(back.value("null").isValid());
}

TEST(TinyKvRoundTrip, ConvertedTypes)
{
    QVariantHash hash;
    hash.insert("bool", true);
    hash.insert("uint", std::numeric_limits<uint>::max());
    hash.insert("char", QChar(0x3042));
    hash.insert("u64", std::numeric_limits<qulonglong>::max());
    hash.insert("date", QDateTime::currentDateTime());
    hash.insert("map", QVariantMap{{"m", 1}});
    hash.insert("strings", QStringList{"a", "b"});
    const QVariantHash back = decodeOk(TinyKv::encode(hash));
    EXPECT_EQ(back.value("bool"), QVariant(1));
    EXPECT_EQ(back.value("uint"), QVariant(-1));
    EXPECT_EQ(back.value("char"), QVariant(0x3042));
    EXPECT_FALSE(back.value("u64").isValid());
    EXPECT_TRUE(back.contains("u64"));
    EXPECT_FALSE(back.value("date").isValid());
    EXPECT_EQ(back.value("map"), QVariant(QVariantHash{{"m", 1}}));
    EXPECT_EQ(back.value("strings"), QVariant(QVariantList{"a", "b"}));
}

TEST(TinyKvDecode, EndOfDataInsideAKeyEndsTheBlob)
{
    const QByteArray good = "tinykv" + entry("a", "i" + u32(5));
    EXPECT_EQ(decodeOk(good + QByteArray("\x03\x00", 2)), (QVariantHash{{"a", 5}}));
    EXPECT_EQ(decodeOk(good + u32(100) + "abc"), (QVariantHash{{"a", 5}}));
    EXPECT_EQ(decodeOk(good + u32(0xFFFFFFFF)), (QVariantHash{{"a", 5}}));
}

TEST(TinyKvDecode, LaterDuplicateKeyWins)
{
    EXPECT_EQ(decodeOk("tinykv" + entry("a", "i" + u32(1)) + entry("a", "i" + u32(2))),
              (QVariantHash{{"a", 2}}));
}

TEST(TinyKvDecode, BadBlobsDecodeEmpty)
{
    expectFailure({});
    expectFailure("tinyk");
    expectFailure("TINYKV");
    expectFailure("xtinykv");
    const QByteArray prefix = "tinykv" + entry("ok", "i" + u32(1));
    expectFailure(prefix + entry("a", "")); // key without a value
    expectFailure(prefix + entry("a", "i\x01\x02"));
    expectFailure(prefix + entry("a", "l" + u32(1)));
    expectFailure(prefix + entry("a", "d" + u32(1)));
    expectFailure(prefix + entry("a", "s" + u32(4) + "abc"));
    expectFailure(prefix + entry("a", "s" + u32(0xFFFFFFFF) + "abc"));
    expectFailure(prefix + entry("a", "v" + u32(0x7FFFFFFF)));
    expectFailure(prefix + entry("a", "?"));
    expectFailure(prefix + entry("a", QByteArray(1, '\0')));
}

TEST(TinyKvDecode, HostileListsAndNestedBlobs)
{
    // A huge declared element count with nothing behind it.
    expectFailure("tinykv" + entry("a", "[" + sized(u32(0xFFFFFFFF) + "n")));
    // Fewer elements than declared.
    expectFailure("tinykv" + entry("a", "[" + sized(u32(3) + "nn")));
    // List body shorter than its count field.
    expectFailure("tinykv" + entry("a", "[" + sized("\x01")));
    // A list length reaching past the end.
    expectFailure("tinykv" + entry("a", "[" + u32(1000) + u32(0)));
    // A nested blob without its magic, or with a broken value.
    expectFailure("tinykv" + entry("a", "{" + sized("tinyk")));
    expectFailure("tinykv" + entry("a", "{" + sized("tinykv" + entry("b", "i"))));
    // Bytes after the declared elements inside the list body are ignored.
    EXPECT_EQ(decodeOk("tinykv" + entry("a", "[" + sized(u32(1) + "n" + "junk"))).value("a").toList().size(),
              1);
    // An element's string may not reach past the list body into the bytes after it.
    expectFailure("tinykv" + entry("a", "[" + sized(u32(1) + "s" + u32(4) + "ab")) + "cd");
}

TEST(TinyKvDecode, NestingDepthIsBounded)
{
    EXPECT_EQ(decodeOk(TinyKv::encode(nestedHashes(TinyKv::MaxDepth))), nestedHashes(TinyKv::MaxDepth));
    expectFailure(TinyKv::encode(nestedHashes(TinyKv::MaxDepth + 1)));

    // Hand-made blobs far deeper than any stack allows recursion for.
    QByteArray lists = "n";
    QByteArray hashes = "tinykv";
    for (int i = 0; i < 5000; ++i) {
        lists = "[" + sized(u32(1) + lists);
        if (i < 2000)
            hashes = "tinykv" + entry("k", "{" + sized(hashes));
    }
    expectFailure("tinykv" + entry("deep", lists));
    expectFailure(hashes);
}
