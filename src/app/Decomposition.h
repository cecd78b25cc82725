#pragma once

#include <QHash>
#include <QString>

// Precomposed UTF-16 unit -> its full canonical decomposition, for the scripts whose file names iOS
// stores decomposed. Built once, thread-safely, on first use.
const QHash<char16_t, QString>& decompositionTable();

// Replaces every unit that has an entry by its decomposition; no reordering, no recursion.
QString toDecomposed(const QString& text);
