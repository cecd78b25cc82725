#pragma once

#include <QString>

// Writes the window backgrounds, the application picture, the icons and the desktop's application icons
// (icons/hicolor/<size>/apps) below resourcesDir.
bool drawAppArtwork(const QString& resourcesDir);
