#pragma once

#include <QString>

// Removes a folder with everything below it. Failures are ignored: what cannot be removed stays.
// Symbolic links are removed, never followed.
void removeTree(const QString& folder);
