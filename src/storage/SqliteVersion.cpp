#include "storage/SqliteVersion.h"

int sqlite_qt_version()
{
    return 8;
}
