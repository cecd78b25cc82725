#pragma once

#include <QString>

// Puts everything written to the file system holding path on the disk, in one request (cheaper than a
// sync per file when a job wrote thousands of files). False when the system refused or cannot do it for
// this process.
bool syncFileSystemOf(const QString& path);
