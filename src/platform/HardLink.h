#pragma once

class QString;

// Makes link a second name of the existing file (a hard link: no bytes are copied, and replacing either
// name by a rename leaves the other as it was). False when the file system cannot (another volume, no
// hard links); the caller then copies.
bool makeHardLink(const QString& existing, const QString& link);
