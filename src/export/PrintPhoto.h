#pragma once

#include <QImage>
#include <QString>

// The picture a photo or video message shows on a printed page: its thumbnail read as JPEG, else as PNG,
// else linebb/empty_photo.jpg; made to fit 200 by 200 pixels.
QImage printPhoto(const QString& thumbPath);

// A picture at least 201 pixels wide and wider than high becomes 200 pixels wide; otherwise one at least
// 201 pixels high becomes 200 pixels high; the aspect is kept, smaller pictures stay as they are.
QImage scaledForPrint(const QImage& picture);
