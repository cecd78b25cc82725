#pragma once

#include <QString>

// Writes the window backgrounds, the application picture and the icons below resourcesDir.
bool drawAppArtwork(const QString& resourcesDir);
