#pragma once

#include <QString>

// True when path holds characters that this platform's file system reads as path syntax besides "/":
// backslashes and drive colons on Windows, nothing elsewhere. A path read from outside that holds them
// could name a place other than the one its "/"-separated components say.
bool hasNativePathSyntax(const QString& path);
