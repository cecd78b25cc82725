#pragma once

#include <QString>

// Writes the pictures of the window's tool bar and menu entries into resourcesDir/res.
bool drawToolbarArtwork(const QString& resourcesDir);
