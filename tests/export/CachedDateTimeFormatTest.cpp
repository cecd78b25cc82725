// The cached date-time rendering gives exactly what QLocale gives, for every locale's short format.
#include "export/CachedDateTimeFormat.h"

#include <gtest/gtest.h>

namespace {
QList<QDateTime> sampleTimes()
{
    QList<QDateTime> times;
    QDateTime time(QDate(2019, 12, 30), QTime(0, 0, 0));
    for (int i = 0; i < 400; ++i) {
        times << time;
        time = time.addSecs(3600 * 7 + 61 * 13 + 7); // walks through hours, minutes, seconds and days
    }
    times << times.first() << QDateTime(QDate(2024, 2, 29), QTime(12, 0, 0));
    return times;
}
} // namespace

TEST(CachedDateTimeFormatTest, MatchesQLocaleForEveryLocalesShortFormat)
{
    const QList<QDateTime> times = sampleTimes();
    int split = 0;
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : locales) {
        const QString format = locale.dateTimeFormat(QLocale::ShortFormat);
        CachedDateTimeFormat cached(locale, format);
        split += cached.isSplit();
        for (const QDateTime& time : times) {
            ASSERT_EQ(cached.format(time).toStdString(), locale.toString(time, format).toStdString())
                << locale.name().toStdString() << " " << format.toStdString();
        }
    }
    // most locales put the date first
    EXPECT_GT(split, locales.size() * 3 / 4);
}

TEST(CachedDateTimeFormatTest, FormatsThatCannotBeSplitAreRenderedWhole)
{
    const QLocale c = QLocale::c();
    const QDateTime time(QDate(2023, 3, 1), QTime(9, 5, 7, 123));
    for (const QString& format :
         {QStringLiteral("hh:mm dd.MM.yyyy"), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"),
          QStringLiteral("d MMM yyyy HH:mm t"), QStringLiteral("'unclosed hh"),
          QStringLiteral("d MMM yyyy")}) {
        CachedDateTimeFormat cached(c, format);
        EXPECT_FALSE(cached.isSplit()) << format.toStdString();
        EXPECT_EQ(cached.format(time), c.toString(time, format)) << format.toStdString();
    }
    // quoted letters are text, not fields
    CachedDateTimeFormat quoted(c, QStringLiteral("d 'of' MMMM, h 'o''clock' AP"));
    EXPECT_TRUE(quoted.isSplit());
    EXPECT_EQ(quoted.format(time), QStringLiteral("1 of March, 9 o'clock AM"));
    EXPECT_EQ(quoted.format(QDateTime()),
              c.toString(QDateTime(), QStringLiteral("d 'of' MMMM, h 'o''clock' AP")));
}
