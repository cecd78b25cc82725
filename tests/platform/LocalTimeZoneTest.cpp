#include "platform/LocalTimeZone.h"

#include <QDateTime>
#include <QFileInfo>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The test process runs with TZ set; each test puts it back.
class LocalTimeZoneTest : public ::testing::Test
{
protected:
    void SetUp() override { m_saved = qgetenv("TZ"); }
    void TearDown() override
    {
        qputenv("TZ", m_saved);
        tzset();
    }

    QByteArray m_saved;
};

TEST_F(LocalTimeZoneTest, AZoneTheUserSetIsKept)
{
    qputenv("TZ", "Asia/Tokyo");
    pinLocalTimeZone();
    EXPECT_EQ(qgetenv("TZ"), QByteArray("Asia/Tokyo"));
}

TEST_F(LocalTimeZoneTest, WithoutTzTheSystemZoneIsPinnedAndTimesStayTheSame)
{
    qunsetenv("TZ");
    tzset();
    const qint64 instant = 1700000000000;
    const QString before = QDateTime::fromMSecsSinceEpoch(instant).toString(Qt::ISODate);
    pinLocalTimeZone();
    if (QFileInfo::exists(QStringLiteral("/etc/localtime"))) {
        EXPECT_EQ(qgetenv("TZ"), QByteArray(":/etc/localtime"));
    }
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(instant).toString(Qt::ISODate), before);
}

} // namespace
