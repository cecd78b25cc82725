#include "export/CachedDateTimeFormat.h"

namespace {
bool isDateField(QChar c)
{
    return c == u'd' || c == u'M' || c == u'y';
}

bool isTimeField(QChar c)
{
    return c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u'a' || c == u'A';
}

// Fields whose text depends on more than the clock reading: milliseconds and the time zone.
bool isUnsupportedField(QChar c)
{
    return c == u'z' || c == u't';
}
} // namespace

CachedDateTimeFormat::CachedDateTimeFormat(const QLocale& locale, const QString& format)
    : m_locale(locale), m_format(format)
{
    // Find the first time field outside quoted text; no date field may follow it.
    qsizetype firstTime = -1;
    bool quoted = false;
    bool seconds = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted; // "''" toggles twice: a quote character, still outside or inside
            continue;
        }
        if (quoted)
            continue;
        if (isUnsupportedField(c))
            return;
        if (isTimeField(c)) {
            if (firstTime < 0)
                firstTime = i;
            seconds |= c == u's';
        } else if (isDateField(c) && firstTime >= 0) {
            return;
        }
    }
    if (quoted || firstTime < 0)
        return;
    m_dateFormat = format.left(firstTime);
    m_timeFormat = format.mid(firstTime);
    m_timeHasSeconds = seconds;

    // The parts must give exactly what the whole gives; any doubt keeps the plain path.
    const QDateTime samples[] = {
        QDateTime(QDate(2023, 1, 2), QTime(3, 4, 5)),      QDateTime(QDate(2024, 2, 29), QTime(12, 0, 0)),
        QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)), QDateTime(QDate(2021, 7, 15), QTime(0, 30, 9)),
        QDateTime(QDate(2010, 10, 10), QTime(13, 1, 0)),
    };
    for (const QDateTime& sample : samples) {
        if (m_locale.toString(sample, m_format) !=
            m_locale.toString(sample.date(), m_dateFormat) + m_locale.toString(sample.time(), m_timeFormat))
            return;
    }
    m_split = true;
}

QString CachedDateTimeFormat::format(const QDateTime& dateTime)
{
    if (!m_split || !dateTime.isValid())
        return m_locale.toString(dateTime, m_format);
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    auto day = m_days.constFind(date.toJulianDay());
    if (day == m_days.cend())
        day = m_days.insert(date.toJulianDay(), m_locale.toString(date, m_dateFormat));
    const int key =
        m_timeHasSeconds ? time.msecsSinceStartOfDay() / 1000 : time.msecsSinceStartOfDay() / 60000;
    auto clock = m_times.constFind(key);
    if (clock == m_times.cend())
        clock = m_times.insert(key, m_locale.toString(time, m_timeFormat));
    return *day + *clock;
}
