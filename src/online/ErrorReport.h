#pragma once

#include <QString>

// The report sent to the vendor after the error dialog was shown.
namespace ErrorReport {

// Hands the error text (the rich text the user saw) to the vendor's error-report service. Nothing is sent
// when no service host is configured; either way the error is written to the log, so the log alone tells
// what the user saw. Never blocks and never reports its own failure.
void send(const QString& text);

// What send writes to the log for text: the text on one line, with the outcome.
QString logLine(const QString& text, const QString& serviceHost);

} // namespace ErrorReport
