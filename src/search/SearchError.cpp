#include "search/SearchError.h"

#include <stdexcept>

void throwSearchError(const QString& text)
{
    throw std::runtime_error(text.toUtf8().toStdString());
}
