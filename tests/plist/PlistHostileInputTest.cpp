// Outside bytes that must give a null wrapper (or a bounded tree), never a crash, a hang or an
// allocation out of proportion to the input.
#include "BinaryPlistBuilder.h"
#include "plist/BinaryPlistScan.h"
#include "plist/KeyedArchive.h"
#include "plist/PlistCFType.h"
#include "plist/PlistHashLoad.h"
#include "plist/PlistLimits.h"
#include "plist/XmlPlistScan.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// Chain of nested arrays: object i holds object i + 1; the last one is empty.
QByteArray nestedBinaryArrays(int levels)
{
    BinaryPlistBuilder builder(4);
    for (int i = 0; i < levels - 1; ++i)
        builder.add(builder.array({static_cast<quint64>(i + 1)}));
    builder.add(builder.array({}));
    return builder.build(0);
}

QByteArray nestedXmlArrays(int levels, const QByteArray& between = QByteArray())
{
    QByteArray xml("<plist>");
    for (int i = 0; i < levels; ++i)
        xml += "<array>" + between;
    for (int i = 0; i < levels; ++i)
        xml += "</array>";
    return xml + "</plist>";
}

void walk(const PlistCFType& plist)
{
    (void)plist.toString();
    (void)plist.copy();
    (void)plist.serialize(PlistCFType::FormatXml);
    (void)plist.serialize(PlistCFType::FormatBinary);
    (void)decodeKeyedObject(plist);
    (void)decodeKeyedDictionary(plist);
}

TEST(PlistHostileInputTest, BinaryNestingUpToTheLimitParses)
{
    const PlistCFType plist = PlistCFType::fromData(nestedBinaryArrays(PlistLimits::MaxDepth));
    ASSERT_TRUE(plist.isArray());
    walk(plist);
    EXPECT_EQ(BinaryPlistScan::check(nestedBinaryArrays(PlistLimits::MaxDepth + 1)),
              PlistScanVerdict::TooDeep);
    EXPECT_TRUE(PlistCFType::fromData(nestedBinaryArrays(PlistLimits::MaxDepth + 1)).isNull());
}

TEST(PlistHostileInputTest, DeepBinaryNestingIsRefused)
{
    // libplist 2.2 would recurse once per level (and scan every ancestor at each one).
    EXPECT_TRUE(PlistCFType::fromData(nestedBinaryArrays(200000)).isNull());
}

TEST(PlistHostileInputTest, XmlNestingUpToTheLimitParses)
{
    const PlistCFType plist = PlistCFType::fromData(nestedXmlArrays(PlistLimits::MaxDepth));
    ASSERT_TRUE(plist.isArray());
    walk(plist);
    EXPECT_TRUE(PlistCFType::fromData(nestedXmlArrays(PlistLimits::MaxDepth + 1)).isNull());
    // A scalar below the deepest container is one level more.
    QByteArray withLeaf = nestedXmlArrays(PlistLimits::MaxDepth);
    withLeaf.replace("<array></array>", "<array><true/></array>");
    EXPECT_TRUE(PlistCFType::fromData(withLeaf).isNull());
}

TEST(PlistHostileInputTest, DeepXmlNestingIsRefused)
{
    // libplist 2.2 parses this without recursion but would free the result recursively.
    EXPECT_TRUE(PlistCFType::fromData(nestedXmlArrays(300000)).isNull());
    // Unclosed: libplist frees the partial tree on its error path.
    EXPECT_TRUE(PlistCFType::fromData(QByteArray("<array>").repeated(300000)).isNull());
}

TEST(PlistHostileInputTest, ClosingTagsLibplistIgnoresDoNotHideNesting)
{
    const int levels = PlistLimits::MaxDepth + 1;
    EXPECT_EQ(XmlPlistScan::check(nestedXmlArrays(levels, "<!-- </array> -->")), PlistScanVerdict::TooDeep);
    EXPECT_EQ(XmlPlistScan::check(nestedXmlArrays(levels, "<?pi \"?>\" </array> ?>")),
              PlistScanVerdict::TooDeep);
    EXPECT_EQ(XmlPlistScan::check(nestedXmlArrays(levels, "<string><![CDATA[</array>]]></string>")),
              PlistScanVerdict::TooDeep);
    // Empty elements written with a quoted '/' attribute are not empty for libplist.
    QByteArray quoted("<plist>");
    for (int i = 0; i < levels; ++i)
        quoted += "<array a=\"/>\">";
    EXPECT_EQ(XmlPlistScan::check(quoted), PlistScanVerdict::TooDeep);
    // A NUL inside the name still names the element for libplist, which compares C strings.
    QByteArray nul("<plist>");
    for (int i = 0; i < levels; ++i)
        nul += QByteArray("<array\0x>", 9);
    EXPECT_EQ(XmlPlistScan::check(nul), PlistScanVerdict::TooDeep);
}

TEST(PlistHostileInputTest, SharedBinaryObjectsCannotExpandWithoutBound)
{
    // Object i is [i+1, i+1]: 40 levels would expand into 2^40 nodes.
    BinaryPlistBuilder builder;
    for (int i = 0; i < 40; ++i)
        builder.add(builder.array({static_cast<quint64>(i + 1), static_cast<quint64>(i + 1)}));
    builder.add(BinaryPlistBuilder::ascii("leaf"));
    EXPECT_EQ(BinaryPlistScan::check(builder.build(0)), PlistScanVerdict::TooLarge);
    EXPECT_TRUE(PlistCFType::fromData(builder.build(0)).isNull());

    // One megabyte of data referenced from 200 places: 200 MB once expanded.
    BinaryPlistBuilder wide;
    const quint64 blob = wide.add(BinaryPlistBuilder::data(QByteArray(1 << 20, 'x')));
    const quint64 list = wide.add(wide.array(QList<quint64>(200, blob)));
    EXPECT_EQ(BinaryPlistScan::check(wide.build(list)), PlistScanVerdict::TooLarge);

    // Modest sharing, as Apple's writer does for repeated strings, is fine.
    BinaryPlistBuilder shared;
    const quint64 word = shared.add(BinaryPlistBuilder::ascii("same"));
    const quint64 words = shared.add(shared.array(QList<quint64>(100, word)));
    const PlistCFType plist = PlistCFType::fromData(shared.build(words));
    ASSERT_EQ(plist.count(), 100);
    EXPECT_EQ(plist.at(99).getString(), "same");
}

TEST(PlistHostileInputTest, HugeDeclaredCountsFailFast)
{
    BinaryPlistBuilder builder;
    builder.add(BinaryPlistBuilder::marker(0xA0, 0xFFFFFFFFFFULL)); // array claiming 2^40 items
    EXPECT_EQ(BinaryPlistScan::check(builder.build(0)), PlistScanVerdict::Malformed);
    BinaryPlistBuilder dict;
    dict.add(BinaryPlistBuilder::marker(0xD0, 0x7FFFFFFFULL));
    EXPECT_TRUE(PlistCFType::fromData(dict.build(0)).isNull());
    BinaryPlistBuilder data;
    data.add(BinaryPlistBuilder::marker(0x40, 0xFFFFFFFFFFFFFFFFULL));
    EXPECT_TRUE(PlistCFType::fromData(data.build(0)).isNull());
    BinaryPlistBuilder unicode;
    unicode.add(BinaryPlistBuilder::marker(0x60, 0x8000000000000001ULL)); // doubling overflows
    EXPECT_TRUE(PlistCFType::fromData(unicode.build(0)).isNull());
    // A trailer claiming more objects than its offset table holds.
    BinaryPlistBuilder many;
    many.add(BinaryPlistBuilder::ascii("x"));
    EXPECT_TRUE(PlistCFType::fromData(many.build(0, 1000000000)).isNull());
}

TEST(PlistHostileInputTest, CyclesAndBadReferences)
{
    BinaryPlistBuilder cycle;
    cycle.add(cycle.array({1}));
    cycle.add(cycle.array({0}));
    EXPECT_EQ(BinaryPlistScan::check(cycle.build(0)), PlistScanVerdict::Malformed);
    EXPECT_TRUE(PlistCFType::fromData(cycle.build(0)).isNull());

    BinaryPlistBuilder self;
    self.add(self.dict({1}, {0}));
    self.add(BinaryPlistBuilder::ascii("k"));
    EXPECT_TRUE(PlistCFType::fromData(self.build(0)).isNull());

    BinaryPlistBuilder outOfRange;
    outOfRange.add(outOfRange.array({7}));
    EXPECT_TRUE(PlistCFType::fromData(outOfRange.build(0)).isNull());
    EXPECT_TRUE(PlistCFType::fromData(outOfRange.build(3)).isNull()); // root beyond the table

    BinaryPlistBuilder keyNotString;
    keyNotString.add(keyNotString.dict({1}, {1}));
    keyNotString.add(BinaryPlistBuilder::integer(5));
    EXPECT_TRUE(PlistCFType::fromData(keyNotString.build(0)).isNull());

    BinaryPlistBuilder wideUid;
    wideUid.add(QByteArray("\x87\x01\x00\x00\x00\x00\x00\x00\x00", 9)); // 8-byte UID above 32 bits
    EXPECT_TRUE(PlistCFType::fromData(wideUid.build(0)).isNull());
}

TEST(PlistHostileInputTest, NulCharactersInsideStringsAreRefused)
{
    // libplist would keep these strings with a length beyond the NUL and read past their copies.
    BinaryPlistBuilder unicode;
    unicode.add(BinaryPlistBuilder::marker(0x60, 3) + QByteArray::fromHex("004100000042"));
    EXPECT_EQ(BinaryPlistScan::check(unicode.build(0)), PlistScanVerdict::NulInString);
    EXPECT_TRUE(PlistCFType::fromData(unicode.build(0)).isNull());
    BinaryPlistBuilder unicodeKey;
    const quint64 key = unicodeKey.add(BinaryPlistBuilder::marker(0x60, 1) + QByteArray(2, '\0'));
    const quint64 value = unicodeKey.add(BinaryPlistBuilder::integer(1));
    unicodeKey.add(unicodeKey.dict({key}, {value}));
    EXPECT_EQ(BinaryPlistScan::check(unicodeKey.build(2)), PlistScanVerdict::NulInString);
    EXPECT_EQ(XmlPlistScan::check(QByteArray("<string>a\0b</string>", 21)), PlistScanVerdict::NulInString);
    EXPECT_EQ(XmlPlistScan::check(QByteArray("<array><key>\0</key></array>", 27)),
              PlistScanVerdict::NulInString);

    // Elsewhere a NUL does no harm: an ASCII string ends at it, and bytes after the root are not read.
    BinaryPlistBuilder ascii;
    ascii.add(BinaryPlistBuilder::ascii(QByteArray("ab\0cd", 5)));
    EXPECT_EQ(PlistCFType::fromData(ascii.build(0)).getString(), "ab");
    EXPECT_EQ(PlistCFType::fromData(QByteArray("<plist><true/></plist>\0", 23)).getBool(), true);
    BinaryPlistBuilder unicodeText;
    unicodeText.add(BinaryPlistBuilder::marker(0x60, 2) + QByteArray("\x30\x42\x30\x44", 4));
    const PlistCFType text = PlistCFType::fromData(unicodeText.build(0));
    EXPECT_EQ(text.getString(), QString::fromUtf8("あい"));
    EXPECT_EQ(text.copy().getString(), QString::fromUtf8("あい"));
}

// 2^blocks distinct texts with one djb2 hash: "ba" and "c@" add the same amount at every position.
QList<QByteArray> collidingTexts(int blocks)
{
    QList<QByteArray> texts;
    for (int i = 0; i < (1 << blocks); ++i) {
        QByteArray text;
        for (int block = 0; block < blocks; ++block)
            text += (i >> block) & 1 ? "c@" : "ba";
        texts.append(text);
    }
    return texts;
}

QByteArray xmlDictionary(const QList<QByteArray>& keys)
{
    QByteArray xml("<plist><dict>");
    for (const QByteArray& key : keys)
        xml += "<key>" + key + "</key><true/>";
    return xml + "</dict></plist>";
}

TEST(PlistHostileInputTest, DictionaryKeysChosenToCollideAreRefused)
{
    const QList<QByteArray> colliding = collidingTexts(15);
    ASSERT_EQ(PlistHashLoad::dictKeyHash(colliding.first()), PlistHashLoad::dictKeyHash(colliding.last()));
    // libplist would spend minutes inserting these keys into its table.
    EXPECT_EQ(XmlPlistScan::check(xmlDictionary(colliding)), PlistScanVerdict::TooLarge);

    QList<QByteArray> spread;
    for (int i = 0; i < colliding.size(); ++i)
        spread.append("key" + QByteArray::number(i));
    const PlistCFType plist = PlistCFType::fromData(xmlDictionary(spread));
    ASSERT_TRUE(plist.isDict());
    EXPECT_EQ(plist.value("key12345").getBool(), true);

    // Keys whose text the scan cannot know exactly are assumed to collide with every other key.
    QList<QByteArray> escaped;
    for (int i = 0; i < 20000; ++i)
        escaped.append("&amp;" + QByteArray::number(i));
    EXPECT_EQ(XmlPlistScan::check(xmlDictionary(escaped)), PlistScanVerdict::TooLarge);
    EXPECT_EQ(XmlPlistScan::check(xmlDictionary(escaped.mid(0, 2000))), PlistScanVerdict::Accept);
}

TEST(PlistHostileInputTest, ValuesChosenToCollideAreNotWrittenAsBinary)
{
    PlistCFType colliding = PlistCFType::newArray();
    PlistCFType spread = PlistCFType::newArray();
    int i = 0;
    for (const QByteArray& text : collidingTexts(15)) {
        colliding.append(PlistCFType::newString(QString::fromLatin1(text)));
        spread.append(PlistCFType::newString(QString::number(i++)));
    }
    EXPECT_TRUE(colliding.serialize(PlistCFType::FormatBinary).isEmpty());
    EXPECT_FALSE(colliding.serialize(PlistCFType::FormatXml).isEmpty()); // the XML writer does not hash
    const PlistCFType parsed = PlistCFType::fromData(spread.serialize(PlistCFType::FormatBinary));
    EXPECT_EQ(parsed.count(), spread.count());
    // Repeated values share one table entry and cost nothing.
    PlistCFType repeated = PlistCFType::newArray();
    for (int n = 0; n < 40000; ++n)
        repeated.append(PlistCFType::newString("same"));
    EXPECT_FALSE(repeated.serialize(PlistCFType::FormatBinary).isEmpty());
}

TEST(PlistHostileInputTest, ArchiveWithSelfReferenceDecodesOneLevel)
{
    BinaryPlistBuilder builder;
    const quint64 null = builder.add(BinaryPlistBuilder::ascii("$null"));
    const quint64 keySelf = builder.add(BinaryPlistBuilder::ascii("self"));
    const quint64 selfRef = builder.add(BinaryPlistBuilder::uid(4));
    const quint64 keyObjects = builder.add(BinaryPlistBuilder::ascii("$objects"));
    const quint64 object = builder.add(builder.dict({keySelf}, {selfRef})); // index 4 refers to itself
    const quint64 keyTop = builder.add(BinaryPlistBuilder::ascii("$top"));
    const quint64 keyRoot = builder.add(BinaryPlistBuilder::ascii("root"));
    const quint64 top = builder.add(builder.dict({keyRoot}, {selfRef}));
    const quint64 objects = builder.add(builder.array({null, null, null, null, object}));
    const quint64 archive = builder.add(builder.dict({keyObjects, keyTop}, {objects, top}));
    const PlistCFType plist = PlistCFType::fromData(builder.build(archive));
    ASSERT_TRUE(plist.isDict());
    const PlistCFMap decoded = decodeKeyedObject(plist);
    ASSERT_EQ(decoded.size(), 1);
    EXPECT_EQ(decoded.value("self").toString(), "{self : 4}");
    walk(plist);
}

TEST(PlistHostileInputTest, InputSizeIsCapped)
{
    // Only the size is looked at: the view is never read.
    static const char byte = 'b';
    const QByteArrayView huge(&byte, PlistLimits::MaxInputBytes + 1);
    EXPECT_EQ(BinaryPlistScan::check(huge), PlistScanVerdict::TooLarge);
    EXPECT_EQ(XmlPlistScan::check(huge), PlistScanVerdict::TooLarge);
}

TEST(PlistHostileInputTest, TooManyXmlNodesAreRefused)
{
    QByteArray xml("<array>");
    xml += QByteArray("<true/>").repeated(PlistLimits::MaxNodes);
    xml += "</array>";
    EXPECT_EQ(XmlPlistScan::check(xml), PlistScanVerdict::TooLarge);
}

TEST(PlistHostileInputTest, EveryTruncationOfValidListsIsHandled)
{
    PlistCFType dict = PlistCFType::newDict();
    PlistCFType list = PlistCFType::newArray();
    list.append(PlistCFType::newString(QString::fromUtf8("ü")));
    list.append(PlistCFType::newData("abc"));
    list.append(PlistCFType::newDate(QDateTime(QDate(2020, 1, 1), QTime(1, 2, 3))));
    dict.setValue("list", list);
    dict.setValue("n", PlistCFType::newUInt(1ULL << 40));
    dict.setValue("u", PlistCFType::newUID(3));
    for (const int format : {int(PlistCFType::FormatBinary), int(PlistCFType::FormatXml)}) {
        const QByteArray bytes = dict.serialize(format);
        for (int length = 0; length < bytes.size(); ++length) {
            const PlistCFType plist = PlistCFType::fromData(bytes.left(length));
            walk(plist);
        }
    }
}

TEST(PlistHostileInputTest, RandomMutationsOfValidListsAreHandled)
{
    PlistCFType dict = PlistCFType::newDict();
    for (int i = 0; i < 20; ++i) {
        PlistCFType list = PlistCFType::newArray();
        list.append(PlistCFType::newString(QString("item %1").arg(i)));
        list.append(PlistCFType::newUID(static_cast<quint32>(i)));
        list.append(PlistCFType::newInt(-i));
        dict.setValue(QString("k%1").arg(i), list);
    }
    QRandomGenerator random(12345);
    for (const int format : {int(PlistCFType::FormatBinary), int(PlistCFType::FormatXml)}) {
        const QByteArray bytes = dict.serialize(format);
        for (int round = 0; round < 3000; ++round) {
            QByteArray mutated = bytes;
            const int changes = 1 + random.bounded(4);
            for (int c = 0; c < changes; ++c)
                mutated[random.bounded(mutated.size())] = static_cast<char>(random.bounded(256));
            walk(PlistCFType::fromData(mutated));
        }
    }
}

TEST(PlistHostileInputTest, MalformedXmlGivesNull)
{
    const char* const inputs[] = {
        "<",
        "<plist",
        "<plist/>",
        "</plist>",
        "<plist></plist>",
        "<dict><string>no key</string></dict>",
        "<array></dict>",
        "<?xml",
        "<!-- unterminated",
        "<!DOCTYPE [ <x>",
        "<string>&#0;</string>",
        "<string>&#x110000;</string>",
        "<string>&unknown;</string>",
        "<string>&amp</string>",
        "<unknown/>",
        "text",
        "<array><string>unclosed</array>",
    };
    for (const char* input : inputs) {
        const PlistCFType plist = PlistCFType::fromData(QByteArray(input));
        EXPECT_TRUE(plist.isNull()) << input;
        walk(plist);
    }
    EXPECT_TRUE(PlistCFType::fromData(QByteArray("\0\1\2", 3)).isNull());
}

TEST(PlistHostileInputTest, OddXmlThatLibplistAcceptsStaysUsable)
{
    EXPECT_EQ(PlistCFType::fromData("<dict><key>a</key></dict>").toString(), "{}");
    EXPECT_EQ(PlistCFType::fromData("<dict/><key>a</key><true/>").toString(), "{a : 1}");
    EXPECT_EQ(PlistCFType::fromData("<integer>99999999999999999999999</integer>").typeId(), 22);
    EXPECT_TRUE(PlistCFType::fromData("<data>!!!!</data>").getData().isEmpty());
    EXPECT_EQ(PlistCFType::fromData("<real>nan</real>").toString(), "nan");
    EXPECT_EQ(PlistCFType::fromData("<real>1e999</real>").toString(), "inf");
    for (const char* date : {"<date>garbage</date>", "<date>9999999-99-99T99:99:99Z</date>"}) {
        const PlistCFType plist = PlistCFType::fromData(QByteArray(date));
        EXPECT_EQ(plist.typeId(), 37) << date;
        walk(plist);
    }
}

} // namespace
