#pragma once

#include <QDir>
#include <QString>

// Paths read from a backup are data: they decide where files are written only after these checks.
namespace BackupPaths {

// A "/"-separated relative path without "." or ".." components, without a leading "/" and (on Windows)
// without backslashes or drive colons. The empty path (a domain's root) is safe.
bool isSafeRelativePath(const QString& relativePath);

// root joined with relativePath, or an empty text when the path is unsafe or would resolve outside root.
QString destinationFor(const QDir& root, const QString& relativePath);

} // namespace BackupPaths
