// Run with TZ=Asia/Tokyo (UTC+9 all year, also in 2001).
#include "plist/PlistDates.h"
#include "BinaryPlistBuilder.h"
#include "plist/PlistCFType.h"

#include <gtest/gtest.h>

namespace {

QDateTime local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::LocalTime);
}

PlistCFType binaryDate(double seconds)
{
    BinaryPlistBuilder builder;
    builder.add(BinaryPlistBuilder::date(seconds));
    return PlistCFType::fromData(builder.build(0));
}

TEST(PlistDatesTest, ZoneIsTokyo)
{
    EXPECT_EQ(local(2001, 1, 1).offsetFromUtc(), 9 * 3600);
}

TEST(PlistDatesTest, NewDateStoresTheWallClockReadingAsUtc)
{
    const PlistCFType reference = PlistCFType::newDate(local(2001, 1, 1));
    EXPECT_EQ(PlistDates::storedSeconds(reference.node()), 0.0);
    const PlistCFType later = PlistCFType::newDate(local(2001, 1, 2, 0, 0, 1, 500));
    EXPECT_EQ(PlistDates::storedSeconds(later.node()), 86401.5);
    // The zone of the argument does not matter, only its reading.
    const QDateTime utc(QDate(2001, 1, 1), QTime(0, 0, 10), Qt::UTC);
    EXPECT_EQ(PlistDates::storedSeconds(PlistCFType::newDate(utc).node()), 10.0);
    EXPECT_EQ(PlistDates::storedSeconds(PlistCFType::newString("x").node()), std::nullopt);
}

TEST(PlistDatesTest, GetDateReadsTheStoredSecondsAsAWallClock)
{
    EXPECT_EQ(binaryDate(0).getDate(0), local(2001, 1, 1));
    EXPECT_EQ(binaryDate(0).getDate(3600), local(2001, 1, 1, 1));
    EXPECT_EQ(binaryDate(0).getDate(0).timeSpec(), Qt::LocalTime);
    EXPECT_EQ(binaryDate(-0.5).getDate(0), local(2000, 12, 31, 23, 59, 59, 500));
    EXPECT_EQ(binaryDate(-86400.25).getDate(0), local(2000, 12, 30, 23, 59, 59, 750));
    EXPECT_EQ(binaryDate(0.0015).getDate(0), local(2001, 1, 1, 0, 0, 0, 1));
    // Beyond 32-bit seconds (libplist's own accessor would fail here).
    EXPECT_EQ(binaryDate(3e9).getDate(0).date().year(), 2096);
    EXPECT_EQ(binaryDate(-3e9).getDate(0).date().year(), 1905);
}

TEST(PlistDatesTest, UnusableStoredValuesGiveAnInvalidDate)
{
    EXPECT_FALSE(binaryDate(std::numeric_limits<double>::quiet_NaN()).getDate().isValid());
    EXPECT_FALSE(binaryDate(std::numeric_limits<double>::infinity()).getDate().isValid());
    EXPECT_FALSE(binaryDate(1e300).getDate().isValid());
    EXPECT_EQ(binaryDate(1e300).typeId(), 37);
}

TEST(PlistDatesTest, RoundTripKeepsMillisecondsThroughBinary)
{
    const QDateTime dates[] = {local(2024, 2, 29, 23, 59, 59, 999), local(1999, 12, 31, 23, 59, 59, 1),
                               local(1970, 1, 1), local(2069, 1, 1), local(1933, 1, 1, 0, 0, 0, 123)};
    for (const QDateTime& date : dates) {
        const PlistCFType node = PlistCFType::newDate(date);
        ASSERT_FALSE(node.isNull()) << date.toString().toStdString();
        EXPECT_EQ(node.getDate(0), date);
        const PlistCFType parsed = PlistCFType::fromData(node.serialize(PlistCFType::FormatBinary));
        EXPECT_EQ(parsed.getDate(0), date) << date.toString().toStdString();
    }
}

TEST(PlistDatesTest, XmlKeepsWholeSeconds)
{
    const PlistCFType node = PlistCFType::newDate(local(2015, 6, 7, 8, 9, 10, 0));
    const QByteArray xml = node.serialize(PlistCFType::FormatXml);
    EXPECT_TRUE(xml.contains("<date>2015-06-07T08:09:10Z</date>"));
    EXPECT_EQ(PlistCFType::fromData(xml).getDate(0), local(2015, 6, 7, 8, 9, 10));
    EXPECT_EQ(PlistCFType::fromData("<date>2001-01-01T00:00:00Z</date>").getDate(0), local(2001, 1, 1));
}

TEST(PlistDatesTest, DatesTheInterfaceCannotStoreGiveNull)
{
    EXPECT_TRUE(PlistCFType::newDate(QDateTime()).isNull());
    EXPECT_TRUE(PlistCFType::newDate(local(2100, 1, 1)).isNull());
    EXPECT_TRUE(PlistCFType::newDate(local(1900, 1, 1)).isNull());
}

TEST(PlistDatesTest, ToStringUsesTheTextDateFormat)
{
    const QDateTime date = local(2010, 10, 20, 1, 2, 3);
    EXPECT_EQ(PlistCFType::newDate(date).toString(), date.toString(Qt::TextDate));
    EXPECT_EQ(PlistCFType::newDate(date).toString(), "Wed Oct 20 01:02:03 2010");
}

} // namespace
