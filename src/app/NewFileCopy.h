#pragma once

#include <QString>

// Copies a file to a name that is not taken yet. The bytes go to a temporary file beside the target,
// which takes the target's name only when complete and only if no file has appeared there meanwhile: a
// failure or a crash never leaves a partial file under the target's name, and an existing file is never
// replaced. Streams in fixed-size pieces, so memory does not grow with the file. Does not wait for the
// disk (see syncFileSystemOf() for putting many copies on the disk at once). False when the target
// exists, the source cannot be read or anything could not be written; error (when given) then says why.
bool copyToNewFile(const QString& from, const QString& to, QString* error = nullptr);
