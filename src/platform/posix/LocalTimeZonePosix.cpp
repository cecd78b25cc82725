#include "platform/LocalTimeZone.h"

#include <QFileInfo>
#include <cstdlib>
#include <ctime>

void pinLocalTimeZone()
{
    if (std::getenv("TZ"))
        return;
    // ":" followed by a path names a zone file: the same one the C library uses when TZ is unset.
    if (QFileInfo::exists(QStringLiteral("/etc/localtime")))
        setenv("TZ", ":/etc/localtime", 0);
    tzset();
}
