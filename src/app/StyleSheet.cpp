#include "app/StyleSheet.h"

#include <QFile>

QString appStyleSheet()
{
    static QString cached;
    if (cached.isEmpty()) {
        QFile file(QStringLiteral(":style.css"));
        if (file.open(QIODevice::ReadOnly))
            cached = QString::fromUtf8(file.readAll());
    }
    return cached;
}
