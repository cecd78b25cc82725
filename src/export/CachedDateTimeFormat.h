#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QString>

// QLocale::toString(dateTime, format) for many date-times, without its cost for each: a format whose
// date fields all come before its time fields (as the locales' short formats do) is rendered as a date
// part, remembered per day, and a time part, remembered per second (per minute when it shows no
// seconds). The result is the same text QLocale gives; a format that cannot be split so (time zones,
// milliseconds, time before date), or whose parts do not give the same text on a few samples, is
// rendered by QLocale every time.
class CachedDateTimeFormat
{
public:
    CachedDateTimeFormat(const QLocale& locale, const QString& format);

    QString format(const QDateTime& dateTime);
    bool isSplit() const { return m_split; }

private:
    QLocale m_locale;
    QString m_format;
    QString m_dateFormat;
    QString m_timeFormat;
    bool m_split = false;
    bool m_timeHasSeconds = true;
    QHash<qint64, QString> m_days; // by Julian day
    QHash<int, QString> m_times;   // by second or minute of the day
};
