#pragma once

#include <QString>

// Shows a folder in the platform's file manager, detached.
void openInFileManager(const QString& folder);

// Opens a web address in the default browser or a file with its default program.
void openWithShell(const QString& target);
