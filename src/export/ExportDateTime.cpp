#include "export/ExportDateTime.h"

namespace {
void appendDigits(QString& out, int value, int width)
{
    char digits[12];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 11);
    for (int i = count; i < width; ++i)
        out += QLatin1Char('0');
    while (count > 0)
        out += QLatin1Char(digits[--count]);
}
} // namespace

void appendIsoDateTime(QString& out, const QDateTime& time)
{
    if (!time.isValid())
        return;
    const QDate date = time.date();
    const QTime clock = time.time();
    const int year = date.year();
    if (year < 0 || year > 9999) {
        out += time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        return;
    }
    appendDigits(out, year, 4);
    out += QLatin1Char('-');
    appendDigits(out, date.month(), 2);
    out += QLatin1Char('-');
    appendDigits(out, date.day(), 2);
    out += QLatin1Char(' ');
    appendDigits(out, clock.hour(), 2);
    out += QLatin1Char(':');
    appendDigits(out, clock.minute(), 2);
    out += QLatin1Char(':');
    appendDigits(out, clock.second(), 2);
}
