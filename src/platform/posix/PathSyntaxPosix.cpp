#include "platform/PathSyntax.h"

bool hasNativePathSyntax(const QString&)
{
    // "/" is the only separator; a backslash or a colon is an ordinary character of a name.
    return false;
}
