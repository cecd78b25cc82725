#include "export/ExportDateTime.h"

#include <cstring>

namespace {
char* putDigits(char* out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + width;
}
} // namespace

int formatIsoDateTime(char (&out)[kIsoDateTimeSize], const QDateTime& time)
{
    if (!time.isValid())
        return 0;
    const QDate date = time.date();
    const QTime clock = time.time();
    if (date.year() < 0 || date.year() > 9999) {
        // outside four digits: Qt's own rendering, whatever its length
        const QByteArray text =
            time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toLatin1().left(kIsoDateTimeSize);
        std::memcpy(out, text.constData(), size_t(text.size()));
        return int(text.size());
    }
    char* p = putDigits(out, date.year(), 4);
    *p++ = '-';
    p = putDigits(p, date.month(), 2);
    *p++ = '-';
    p = putDigits(p, date.day(), 2);
    *p++ = ' ';
    p = putDigits(p, clock.hour(), 2);
    *p++ = ':';
    p = putDigits(p, clock.minute(), 2);
    *p++ = ':';
    p = putDigits(p, clock.second(), 2);
    return int(p - out);
}
