#pragma once

#include <QDateTime>
#include <QString>

// Appends the time as "yyyy-MM-dd hh:mm:ss" (what QDateTime::toString gives for that format, without
// parsing the format for every message); nothing for an invalid time.
void appendIsoDateTime(QString& out, const QDateTime& time);
