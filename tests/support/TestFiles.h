#pragma once

#include <QByteArray>
#include <QString>

// Small file helpers for tests.
QByteArray readFileBytes(const QString& path);
void writeFileBytes(const QString& path, const QByteArray& bytes);
// Folder of the source tree (for fixtures under tests/data).
QString sourceDir();
