#include "plist/KeyedArchive.h"
#include "plist/PlistLimits.h"

#include <gtest/gtest.h>

namespace {

PlistCFType uidList(std::initializer_list<quint32> refs)
{
    PlistCFType list = PlistCFType::newArray();
    for (quint32 ref : refs)
        list.append(PlistCFType::newUID(ref));
    return list;
}

// An archive with the given objects ("$objects") and root reference.
PlistCFType archiveOf(const QList<PlistCFType>& objects, const PlistCFType& root)
{
    PlistCFType archive = PlistCFType::newDict();
    archive.setValue("$archiver", PlistCFType::newString("NSKeyedArchiver"));
    PlistCFType list = PlistCFType::newArray();
    for (const PlistCFType& object : objects)
        list.append(object);
    archive.setValue("$objects", list);
    PlistCFType top = PlistCFType::newDict();
    top.setValue("root", root);
    archive.setValue("$top", top);
    archive.setValue("$version", PlistCFType::newUInt(100000));
    return archive;
}

// An MBFile-like record: a plain keyed object whose values are numbers or references.
PlistCFType fileRecordArchive()
{
    PlistCFType file = PlistCFType::newDict();
    file.setValue("$class", PlistCFType::newUID(4));
    file.setValue("Mode", PlistCFType::newUInt(0100644));
    file.setValue("RelativePath", PlistCFType::newUID(2));
    file.setValue("Digest", PlistCFType::newUID(3));
    file.setValue("Size", PlistCFType::newUInt(1234));
    PlistCFType description = PlistCFType::newDict();
    PlistCFType classes = PlistCFType::newArray();
    classes.append(PlistCFType::newString("MBFile"));
    classes.append(PlistCFType::newString("NSObject"));
    description.setValue("$classes", classes);
    description.setValue("$classname", PlistCFType::newString("MBFile"));
    return archiveOf({PlistCFType::newString("$null"), file, PlistCFType::newString("Library/Line.sqlite"),
                      PlistCFType::newData(QByteArray(20, '\x11')), description},
                     PlistCFType::newUID(1));
}

QStringList keyTexts(const PlistCFType& dict)
{
    QStringList texts;
    for (const PlistCFType& key : dict.keys())
        texts.append(key.getString());
    return texts;
}

TEST(KeyedArchiveTest, DecodeKeyedObjectResolvesReferencesOneLevel)
{
    const PlistCFMap record = decodeKeyedObject(fileRecordArchive());
    ASSERT_EQ(record.size(), 5);
    EXPECT_EQ(record.value("RelativePath").getString(), "Library/Line.sqlite");
    EXPECT_EQ(record.value("Digest").getData(), QByteArray(20, '\x11'));
    EXPECT_EQ(static_cast<quint16>(record.value("Mode").getInt16()), 0100644);
    EXPECT_EQ(record.value("Size").getInt64(), 1234);
    EXPECT_EQ(record.value("$class").value("$classname").getString(), "MBFile");
}

TEST(KeyedArchiveTest, DecodedValuesOutliveTheArchiveWrapper)
{
    PlistCFMap record;
    {
        const PlistCFType archive =
            PlistCFType::fromData(fileRecordArchive().serialize(PlistCFType::FormatBinary));
        record = decodeKeyedObject(archive);
    }
    EXPECT_EQ(record.value("RelativePath").getString(), "Library/Line.sqlite");
}

TEST(KeyedArchiveTest, DecodeKeyedObjectRejectsOtherLayouts)
{
    EXPECT_TRUE(decodeKeyedObject(PlistCFType()).isEmpty());
    EXPECT_TRUE(decodeKeyedObject(PlistCFType::newArray()).isEmpty());
    PlistCFType noObjects = PlistCFType::newDict();
    noObjects.setValue("$objects", PlistCFType::newDict());
    EXPECT_TRUE(decodeKeyedObject(noObjects).isEmpty());
    // A root that is no UID reads object 0, the "$null" string: no map.
    PlistCFType archive = fileRecordArchive();
    PlistCFType(archive.value("$top")).setValue("root", PlistCFType::newInt(1));
    EXPECT_TRUE(decodeKeyedObject(archive).isEmpty());
    PlistCFType(archive.value("$top")).setValue("root", PlistCFType::newUID(99));
    EXPECT_TRUE(decodeKeyedObject(archive).isEmpty());
}

TEST(KeyedArchiveTest, OutOfRangeReferenceDecodesToNull)
{
    PlistCFType object = PlistCFType::newDict();
    object.setValue("far", PlistCFType::newUID(1000));
    object.setValue("plain", PlistCFType::newString("v"));
    const PlistCFMap map =
        decodeKeyedObject(archiveOf({PlistCFType::newString("$null"), object}, PlistCFType::newUID(1)));
    ASSERT_TRUE(map.contains("far"));
    EXPECT_TRUE(map.value("far").isNull());
    EXPECT_EQ(map.value("plain").getString(), "v");
}

TEST(KeyedArchiveTest, EncodeEmptyMap)
{
    const PlistCFType archive = encodeKeyedDictionary(PlistCFMap(), false);
    EXPECT_EQ(keyTexts(archive), QStringList({"$archiver", "$objects", "$top", "$version"}));
    EXPECT_EQ(archive.value("$archiver").getString(), "NSKeyedArchiver");
    EXPECT_EQ(archive.value("$version").getInt64(), 100000);
    EXPECT_EQ(archive.value("$top").value("root").getUID(), 1u);
    const PlistCFType objects = archive.value("$objects");
    ASSERT_EQ(objects.count(), 3);
    EXPECT_EQ(objects.at(0).getString(), "$null");
    EXPECT_EQ(objects.at(1).value("$class").getUID(), 2u);
    EXPECT_EQ(objects.at(1).value("NS.keys").count(), 0);
    EXPECT_EQ(objects.at(2).value("$classname").getString(), "NSDictionary");
    EXPECT_EQ(objects.at(2).value("$classes").toString(), "[NSDictionary, NSObject]");
    EXPECT_TRUE(decodeKeyedDictionary(archive).isEmpty());
}

TEST(KeyedArchiveTest, EncodeLaysOutReferencesInKeyOrder)
{
    const PlistCFEntries entries = {{"b", PlistCFType::newInt(1)},
                                    {"a", PlistCFType::newString("text")},
                                    {"c", PlistCFType::newData("raw")}};
    const PlistCFType archive = encodeKeyedDictionary(entries, true);
    const PlistCFType objects = archive.value("$objects");
    ASSERT_EQ(objects.count(), 9);
    const PlistCFType dictionary = objects.at(1);
    EXPECT_EQ(keyTexts(dictionary), QStringList({"NS.keys", "NS.objects", "$class"}));
    EXPECT_EQ(dictionary.value("NS.keys").toString(), "[2, 3, 4]");
    EXPECT_EQ(dictionary.value("NS.objects").toString(), "[5, 6, 7]");
    EXPECT_EQ(dictionary.value("$class").getUID(), 8u);
    EXPECT_EQ(objects.at(2).getString(), "b");
    EXPECT_EQ(objects.at(4).getString(), "c");
    EXPECT_EQ(objects.at(5).getInt(), 1);
    EXPECT_EQ(objects.at(7).getData(), "raw");
    EXPECT_EQ(objects.at(8).value("$classname").getString(), "NSMutableDictionary");
    EXPECT_EQ(objects.at(8).value("$classes").toString(), "[NSMutableDictionary, NSDictionary, NSObject]");
}

TEST(KeyedArchiveTest, EncodeInsertsTheValueWrappersThemselves)
{
    PlistCFType value = PlistCFType::newArray();
    PlistCFType archive = encodeKeyedDictionary(PlistCFEntries{{"list", value}}, false);
    EXPECT_EQ(archive.value("$objects").at(3).node(), value.node());
    value.append(PlistCFType::newString("late"));
    EXPECT_EQ(decodeKeyedDictionary(archive).value("list").toString(), "[late]");
}

TEST(KeyedArchiveTest, EncodeDuplicateAndNullEntries)
{
    const PlistCFEntries entries = {{"k", PlistCFType::newInt(1)},
                                    {"gone", PlistCFType()},
                                    {"x", PlistCFType::newInt(2)},
                                    {"k", PlistCFType::newInt(3)}};
    const PlistCFType archive = encodeKeyedDictionary(entries, false);
    EXPECT_EQ(archive.value("$objects").at(1).value("NS.keys").toString(), "[2, 3]");
    EXPECT_EQ(archive.value("$objects").at(2).getString(), "k");
    const PlistCFMap decoded = decodeKeyedDictionary(archive);
    EXPECT_EQ(decoded.size(), 2);
    EXPECT_EQ(decoded.value("k").getInt(), 3);
    EXPECT_EQ(decoded.value("x").getInt(), 2);
}

TEST(KeyedArchiveTest, EncodeSerializeParseDecodeRoundTrip)
{
    PlistCFType nested = PlistCFType::newDict();
    nested.setValue("inner", PlistCFType::newBool(true));
    PlistCFMap map;
    map.insert("text", PlistCFType::newString(QString::fromUtf8("こんにちは")));
    map.insert("number", PlistCFType::newInt(-5));
    map.insert("data", PlistCFType::newData(QByteArray("\x00\xff", 2)));
    map.insert("nested", nested);
    map.insert(QString::fromUtf8("キー"), PlistCFType::newUInt(7));
    const PlistCFType archive = encodeKeyedDictionary(map, true);

    for (const int format : {int(PlistCFType::FormatBinary), int(PlistCFType::FormatXml)}) {
        const PlistCFType parsed = PlistCFType::fromData(archive.serialize(format));
        ASSERT_TRUE(parsed.isDict()) << format;
        const PlistCFMap decoded = decodeKeyedDictionary(parsed);
        ASSERT_EQ(decoded.size(), map.size()) << format;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            EXPECT_EQ(decoded.value(it.key()).toString(), it.value().toString()) << format;
        // Decoded values are copies: roots of their own.
        EXPECT_EQ(plist_get_parent(decoded.value("nested").node()), nullptr);
    }
}

TEST(KeyedArchiveTest, MapEncodingIsDeterministic)
{
    PlistCFMap map;
    for (int i = 0; i < 50; ++i)
        map.insert(QString("key%1").arg(i), PlistCFType::newInt(i));
    const QByteArray first = encodeKeyedDictionary(map, false).serialize(PlistCFType::FormatBinary);
    PlistCFMap again;
    for (int i = 49; i >= 0; --i)
        again.insert(QString("key%1").arg(i), PlistCFType::newInt(i));
    EXPECT_EQ(encodeKeyedDictionary(again, false).serialize(PlistCFType::FormatBinary), first);
    EXPECT_EQ(encodeKeyedDictionary(map, false).value("$objects").at(2).getString(), "key0");
}

TEST(KeyedArchiveTest, ReEncodingDecodedObjectValuesCopiesThem)
{
    const PlistCFType source = fileRecordArchive();
    const QString before = source.toString();
    const PlistCFMap record = decodeKeyedObject(source);
    const PlistCFType archive = encodeKeyedDictionary(record, false);
    EXPECT_EQ(source.toString(), before);
    EXPECT_EQ(decodeKeyedDictionary(archive).value("RelativePath").getString(), "Library/Line.sqlite");
}

TEST(KeyedArchiveTest, DecodeDictionaryUsesTheShorterReferenceList)
{
    PlistCFType dictionary = PlistCFType::newDict();
    dictionary.setValue("NS.keys", uidList({2, 3, 4}));
    dictionary.setValue("NS.objects", uidList({5, 6}));
    const QList<PlistCFType> objects = {PlistCFType::newString("$null"), dictionary,
                                        PlistCFType::newString("a"),     PlistCFType::newString("b"),
                                        PlistCFType::newString("c"),     PlistCFType::newInt(1),
                                        PlistCFType::newInt(2)};
    const PlistCFMap map = decodeKeyedDictionary(archiveOf(objects, PlistCFType::newUID(1)));
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.value("a").getInt(), 1);
    EXPECT_EQ(map.value("b").getInt(), 2);
}

TEST(KeyedArchiveTest, DecodeDictionaryEdgeCases)
{
    PlistCFType dictionary = PlistCFType::newDict();
    dictionary.setValue("NS.keys", uidList({2, 2, 99, 3}));
    dictionary.setValue("NS.objects", uidList({3, 4, 3, 99}));
    const QList<PlistCFType> objects = {PlistCFType::newString("$null"), dictionary,
                                        PlistCFType::newString("k"), PlistCFType::newInt(10),
                                        PlistCFType::newInt(20)};
    const PlistCFMap map = decodeKeyedDictionary(archiveOf(objects, PlistCFType::newUID(1)));
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.value("k").getInt(), 20); // the later equal key wins
    // A key reference out of range and a key that is no string both give the empty text; the last of
    // them refers to a value out of range, a null wrapper.
    ASSERT_TRUE(map.contains(""));
    EXPECT_TRUE(map.value("").isNull());
    // A root reference of 0 is no dictionary.
    EXPECT_TRUE(decodeKeyedDictionary(archiveOf(objects, PlistCFType::newUID(0))).isEmpty());
    EXPECT_TRUE(decodeKeyedDictionary(archiveOf(objects, PlistCFType::newString("1"))).isEmpty());
}

TEST(KeyedArchiveTest, ManyKeysSharingOneLargeValueAreRefused)
{
    PlistCFType big = PlistCFType::newArray();
    for (int i = 0; i < 5000; ++i)
        big.append(PlistCFType::newInt(i));
    const int keyCount = static_cast<int>(PlistLimits::MaxNodes / 5000) + 10;
    QList<PlistCFType> objects = {PlistCFType::newString("$null"), PlistCFType(), big};
    PlistCFType keyRefs = PlistCFType::newArray();
    PlistCFType valueRefs = PlistCFType::newArray();
    for (int i = 0; i < keyCount; ++i) {
        objects.append(PlistCFType::newString(QString("k%1").arg(i)));
        keyRefs.append(PlistCFType::newUID(static_cast<quint32>(objects.size() - 1)));
        valueRefs.append(PlistCFType::newUID(2));
    }
    PlistCFType dictionary = PlistCFType::newDict();
    dictionary.setValue("NS.keys", keyRefs);
    dictionary.setValue("NS.objects", valueRefs);
    objects[1] = dictionary;
    EXPECT_TRUE(decodeKeyedDictionary(archiveOf(objects, PlistCFType::newUID(1))).isEmpty());
}

} // namespace
