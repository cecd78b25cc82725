#pragma once

#include <QDateTime>

// Room for formatIsoDateTime's output.
constexpr int kIsoDateTimeSize = 32;

// Writes the time as "yyyy-MM-dd hh:mm:ss" (what QDateTime::toString gives for that format, without
// parsing the format for every message) into out and returns its length; 0 for an invalid time.
int formatIsoDateTime(char (&out)[kIsoDateTimeSize], const QDateTime& time);
