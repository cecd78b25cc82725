#include "BinaryPlistBuilder.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "plist/PlistCFType.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const char AppleXml[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>Device Name</key>
	<string>Taro&apos;s iPhone &amp; &#x1F600;</string>
	<key>Is Encrypted</key>
	<true/>
	<key>Product Version</key>
	<string>17.4.1</string>
	<!-- a comment with </dict> inside -->
	<key>Size</key>
	<integer>-42</integer>
	<key>Ratio</key>
	<real>0.25</real>
	<key>Data</key>
	<data>
	aGVs
	bG8=
	</data>
	<key>Empty</key>
	<string/>
	<key>Nested</key>
	<array>
		<dict/>
		<array><false/></array>
		<string><![CDATA[<not a tag>]]></string>
	</array>
</dict>
</plist>
)";

PlistCFType sampleTree()
{
    PlistCFType dict = PlistCFType::newDict();
    dict.setValue("text", PlistCFType::newString(QString::fromUtf8("日本語 and ASCII 😀")));
    dict.setValue("ascii", PlistCFType::newString("plain"));
    dict.setValue("empty", PlistCFType::newString(""));
    dict.setValue("negative", PlistCFType::newInt(-123456));
    dict.setValue("big", PlistCFType::newUInt(0x7FFFFFFFFFFFFFFFULL));
    dict.setValue("real", PlistCFType(plist_new_real(1.0 / 3.0), true));
    dict.setValue("yes", PlistCFType::newBool(true));
    dict.setValue("no", PlistCFType::newBool(false));
    dict.setValue("uid", PlistCFType::newUID(70000));
    dict.setValue("data", PlistCFType::newData(QByteArray("\x00\x01\x02\xff", 4)));
    dict.setValue("date", PlistCFType::newDate(QDateTime(QDate(2019, 3, 4), QTime(5, 6, 7))));
    PlistCFType list = PlistCFType::newArray();
    for (int i = 0; i < 300; ++i)
        list.append(PlistCFType::newInt(i));
    dict.setValue("list", list);
    dict.setValue("nested", PlistCFType::newDict());
    return dict;
}

TEST(PlistParseTest, BinaryRoundTripKeepsEverything)
{
    const PlistCFType tree = sampleTree();
    const QByteArray bytes = tree.serialize(PlistCFType::FormatBinary);
    ASSERT_TRUE(bytes.startsWith("bplist00"));
    const PlistCFType parsed = PlistCFType::fromData(bytes);
    ASSERT_TRUE(parsed.isDict());
    EXPECT_EQ(parsed.toString(), tree.toString());
    EXPECT_EQ(parsed.value("text").getString(), QString::fromUtf8("日本語 and ASCII 😀"));
    EXPECT_EQ(parsed.value("negative").getInt64(), -123456);
    EXPECT_EQ(parsed.value("big").getInt64(), 0x7FFFFFFFFFFFFFFFLL);
    EXPECT_DOUBLE_EQ(parsed.value("real").getDouble(), 1.0 / 3.0);
    EXPECT_EQ(parsed.value("uid").getUID(), 70000u);
    EXPECT_EQ(parsed.value("uid").typeId(), 35);
    EXPECT_EQ(parsed.value("data").getData(), QByteArray("\x00\x01\x02\xff", 4));
    EXPECT_EQ(parsed.value("date").getDate(), QDateTime(QDate(2019, 3, 4), QTime(5, 6, 7)));
    EXPECT_EQ(parsed.value("list").count(), 300);
    EXPECT_EQ(parsed.value("list").at(299).getInt(), 299);
    EXPECT_EQ(parsed.keys().first().getString(), "text");
}

TEST(PlistParseTest, XmlRoundTripKeepsEverythingButUidKind)
{
    PlistCFType tree = sampleTree();
    tree.setValue("uid", PlistCFType::newInt(1)); // libplist writes a UID as a {CF$UID} dictionary
    const QByteArray xml = tree.serialize(PlistCFType::FormatXml);
    ASSERT_TRUE(xml.startsWith("<?xml"));
    const PlistCFType parsed = PlistCFType::fromData(xml);
    ASSERT_TRUE(parsed.isDict());
    EXPECT_EQ(parsed.toString(), tree.toString());
    EXPECT_EQ(PlistCFType::fromData(parsed.serialize(PlistCFType::FormatBinary)).toString(), tree.toString());
}

TEST(PlistParseTest, AppleXmlWithDeclarationsCommentsAndEntities)
{
    const PlistCFType plist = PlistCFType::fromData(QByteArray(AppleXml));
    ASSERT_TRUE(plist.isDict());
    EXPECT_EQ(plist.value("Device Name").getString(), QString::fromUtf8("Taro's iPhone & 😀"));
    EXPECT_TRUE(plist.value("Is Encrypted").getBool());
    EXPECT_EQ(plist.value("Size").getInt64(), -42);
    EXPECT_DOUBLE_EQ(plist.value("Ratio").getDouble(), 0.25);
    EXPECT_EQ(plist.value("Data").getData(), "hello");
    EXPECT_EQ(plist.value("Empty").typeId(), 7);
    EXPECT_EQ(plist.value("Nested").toString(), "[{}, [0], <not a tag>]");
    EXPECT_EQ(plist.keys().size(), 8);
}

TEST(PlistParseTest, ScalarRoots)
{
    EXPECT_EQ(PlistCFType::fromData("<plist><string>only</string></plist>").getString(), "only");
    EXPECT_EQ(PlistCFType::fromData("<integer>5</integer>").getInt(), 5);
    BinaryPlistBuilder builder;
    builder.add(BinaryPlistBuilder::ascii("root"));
    EXPECT_EQ(PlistCFType::fromData(builder.build(0)).getString(), "root");
}

TEST(PlistParseTest, BinaryDetectionNeedsSevenBytes)
{
    // Exactly "bplist" is handed to the XML parser, which fails.
    EXPECT_TRUE(PlistCFType::fromData("bplist").isNull());
    EXPECT_TRUE(PlistCFType::fromData("bplist0").isNull());
    EXPECT_TRUE(PlistCFType::fromData("bplist00").isNull());
    EXPECT_TRUE(PlistCFType::fromData(QByteArray()).isNull());
    // A file starting with "bplist" is never tried as XML.
    EXPECT_TRUE(PlistCFType::fromData("bplist<plist><true/></plist>").isNull());
}

TEST(PlistParseTest, FromFile)
{
    const QString folder = QDir::homePath();
    const QString path = folder + "/sample.plist";
    writeFileBytes(path, sampleTree().serialize(PlistCFType::FormatBinary));
    EXPECT_EQ(PlistCFType::fromFile(path).toString(), sampleTree().toString());
    writeFileBytes(path, QByteArray(AppleXml));
    EXPECT_TRUE(PlistCFType::fromFile(path).value("Is Encrypted").getBool());
    EXPECT_TRUE(PlistCFType::fromFile(folder + "/missing.plist").isNull());
    EXPECT_TRUE(PlistCFType::fromFile(folder).isNull()); // a folder cannot be read
    writeFileBytes(path, QByteArray());
    EXPECT_TRUE(PlistCFType::fromFile(path).isNull());
}

TEST(PlistParseTest, DuplicateKeysInBinaryDictionaries)
{
    BinaryPlistBuilder builder;
    const quint64 key = builder.add(BinaryPlistBuilder::ascii("k"));
    const quint64 one = builder.add(BinaryPlistBuilder::integer(1));
    const quint64 two = builder.add(BinaryPlistBuilder::integer(2));
    const quint64 root = builder.add(builder.dict({key, key}, {one, two}));
    const PlistCFType dict = PlistCFType::fromData(builder.build(root));
    ASSERT_TRUE(dict.isDict());
    EXPECT_EQ(dict.keys().size(), 2);
    EXPECT_EQ(dict.toString(), "{k : 1, k : 2}");
    EXPECT_EQ(dict.value("k").getInt(), 1);
}

TEST(PlistParseTest, LargeParsedContainersStayCompleteAfterIndexing)
{
    PlistCFType dict = PlistCFType::newDict();
    PlistCFType list = PlistCFType::newArray();
    for (int i = 0; i < 5000; ++i) {
        dict.setValue(QString("key%1").arg(i), PlistCFType::newInt(i));
        list.append(PlistCFType::newString(QString::number(i)));
    }
    dict.setValue("list", list);
    const PlistCFType parsed = PlistCFType::fromData(dict.serialize(PlistCFType::FormatBinary));
    ASSERT_TRUE(parsed.isDict());
    EXPECT_EQ(parsed.keys().size(), 5001);
    EXPECT_EQ(parsed.value("key4321").getInt(), 4321);
    EXPECT_EQ(parsed.value("key0").getInt(), 0);
    const PlistCFType parsedList = parsed.value("list");
    EXPECT_EQ(parsedList.count(), 5000);
    for (int i = 0; i < 5000; i += 499)
        EXPECT_EQ(parsedList.at(i).getString(), QString::number(i));
    EXPECT_EQ(parsed.toString(), dict.toString());
}

} // namespace
