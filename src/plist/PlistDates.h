#pragma once

#include <plist/plist.h>

#include <QDateTime>
#include <optional>

// Property-list dates count seconds from 2001-01-01 00:00:00. This program treats them as wall-clock
// readings: a local date-time is stored with its reading taken as UTC, and read back the same way, so a
// date keeps its reading wherever the zone offset has not changed since 2001.
namespace PlistDates {

// Unix time of 2001-01-01 00:00:00 UTC.
inline constexpr qint64 ReferenceUnixSeconds = 978307200;

// The seconds (with fraction) stored in a date node; nullopt for any other node. libplist 2.2 only hands
// out whole seconds and an unsigned microsecond part, which loses the sign of a date in the last second
// before 2001 and fails beyond 32-bit seconds, so the value is taken from the node's binary form.
std::optional<double> storedSeconds(plist_t dateNode);

// Local date-time for stored seconds: the Unix time of 2001-01-01 00:00:00 in local time, plus
// offsetSeconds and seconds, converted to local time. Invalid for a value that is not a finite number
// within about 3000 years of 2001.
QDateTime toLocalDateTime(double seconds, qint64 offsetSeconds);

// Seconds and microseconds for plist_new_date: dateTime's wall-clock reading taken as UTC, minus
// 2001-01-01 00:00:00 UTC. False when dateTime is invalid or the seconds do not fit 32 bits (dates before
// 1933 or after 2069).
bool toStoredParts(const QDateTime& dateTime, qint32* seconds, qint32* microseconds);

} // namespace PlistDates
