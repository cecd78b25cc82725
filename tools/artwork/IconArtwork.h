#pragma once

#include <QString>

// Writes the window's small icons (tree nodes, message directions, search, notices) into resourcesDir/res.
bool drawIconArtwork(const QString& resourcesDir);
