#include "line/LineError.h"

#include <stdexcept>

void throwLineError(const QString& text)
{
    throw std::runtime_error(text.toUtf8().toStdString());
}
