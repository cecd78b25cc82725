#pragma once

#include "online/VendorEndpoint.h"

#include <QByteArray>
#include <QString>

// The report sent to the vendor after the error dialog was shown. It carries the product, its version and
// the error's text, nothing else: no message, no log, no file.
namespace ErrorReport {

// Posts the error text (the rich text the user saw) to the service's "/err_report.php" once, without
// waiting for the answer; nothing is sent without a configured service. Either way the error is written
// to the log, so the log alone tells what the user saw. Never blocks and never reports its own failure.
// Call on the GUI thread.
void send(const QString& text, const VendorEndpoint& endpoint = VendorEndpoint::configured());

// The request body: "prod=...&ver=...&err=..." with each field encoded by encodeField.
QByteArray body(const QString& text);
// The error's rich text as plain text: "<br>" in any spelling becomes CR LF, "&lt;" and "&gt;" the
// characters.
QString plainText(const QString& text);
// UTF-8 in Base64 with "/" written as "!" and "=" as "-".
QByteArray encodeField(const QString& field);

// What send writes to the log for text: the text on one line, with the outcome.
QString logLine(const QString& text, const QString& serviceHost);

} // namespace ErrorReport
