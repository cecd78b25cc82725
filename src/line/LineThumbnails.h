#pragma once

#include <QByteArray>
#include <QString>

// Thumbnail files beside LINE's data: recognising, writing and making them.
namespace LineThumbnails {

// True when the file begins like a JPEG or PNG image. Only the signature is read: this runs for every
// photo of every page, and decoding would make walking a history many times slower.
bool looksLikeImage(const QString& path);
// The same test on bytes in memory.
bool looksLikeImageData(const QByteArray& bytes);

// Writes bytes to path through a temporary file renamed into place, creating the folder. False on
// failure (nothing is left behind).
bool writeFile(const QString& path, const QByteArray& bytes);

// Loads a JPEG or PNG picture, scales it so that its longer side is `side` pixels (fast, unsmoothed
// scaling) and saves it as JPEG at thumbPath. False when the picture cannot be read or the file
// written. Pictures larger than Qt's image allocation limit are refused.
bool makeFromPicture(const QString& picturePath, const QString& thumbPath, int side);

} // namespace LineThumbnails
