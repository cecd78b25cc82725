#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest print QString (and so QStringList) as text, in failure messages and after "<<".
inline std::ostream& operator<<(std::ostream& out, const QString& text)
{
    return out << '"' << text.toStdString() << '"';
}
