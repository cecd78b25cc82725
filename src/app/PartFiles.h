#pragma once

#include <QString>

// The temporary files this program writes beside a target and renames into place when complete:
// "<target>.ferrowyn-XXXXXX.part". The one distinctive form lets the next run find and remove those that a
// killed process left behind, without touching any file of the user's.
namespace PartFiles {

// A QTemporaryFile template for a temporary file beside target. Its name is cut when target's name leaves
// no room for the tag within a file name's 255 bytes.
QString templateFor(const QString& target);
// A temporary name beside target made from a random number.
QString nameFor(const QString& target, quint32 random);
// Whether a file name has the form of this program's temporary files; with target given, whether it is
// one of that target's.
bool isPartFile(const QString& fileName, const QString& targetName = QString());

// Removes the temporary files in folder (not below it): all of them, or with targetName given only those
// of that target. Returns how many were removed.
int removeLeftovers(const QString& folder, const QString& targetName = QString());

} // namespace PartFiles
