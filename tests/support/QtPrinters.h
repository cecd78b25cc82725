#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Lets GoogleTest print QString (and so QStringList) as text, in failure messages and after "<<".
inline std::ostream& operator<<(std::ostream& out, const QString& text)
{
    return out << '"' << text.toStdString() << '"';
}

// Byte arrays as hexadecimal bytes (instead of a dump of characters).
inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << "bytes(" << bytes.toHex(' ').toStdString() << ')';
}
