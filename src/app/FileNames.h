#pragma once

#include <QString>

// True for the fifteen reserved Windows device names (CON, PRN, AUX, CLOCK$, NUL, COM1-COM9, LPT1),
// ignoring case.
bool isReservedDeviceName(const QString& name);

// Percent-encodes the UTF-8 bytes of text (upper-case hex) except letters, digits and
// " `~!@#$^&()-=_+[]{};',." - a reserved device name is encoded entirely.
QString fileNameSafe(const QString& text);

// Replaces % \ / : * ? " < > | and line feed, carriage return, tab by "%" and lower-case hex; a reserved
// device name has every UTF-8 byte encoded.
QString percentFileName(const QString& text);

// A file name Windows accepts: reserved base names become "$$name$$.suffix", otherwise the characters
// \ / : * ? " < > | and control characters are removed and the ends trimmed.
QString windowsValidName(const QString& fileName);

// path itself when nothing exists there, else "base(N).suffix" with the smallest free N.
QString uniqueFileName(const QString& path);

// The n-th name uniqueFileName tries for path: path itself for 0, else "base(n).suffix" (base up to the
// first dot, suffix after the last).
QString numberedFileName(const QString& path, int n);
