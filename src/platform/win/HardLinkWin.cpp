#include "platform/HardLink.h"

#include <QDir>
#include <QString>
#include <windows.h>

bool makeHardLink(const QString& existing, const QString& link)
{
    return CreateHardLinkW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(link).utf16()),
                           reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(existing).utf16()),
                           nullptr) != 0;
}
