#pragma once

// Interface version of the SQLite access layer. Start-up refuses to run with any other.
int sqlite_qt_version();
