#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QVariant>

// Property lists as LINE writes them, made with libplist directly so the fixtures do not depend on the
// program's own property-list code. Values: QString -> string, bool -> boolean, integers -> integer,
// double -> real, QByteArray -> data, QVariantList -> array, QVariantMap -> dictionary.
namespace FixturePlist {

using Entries = QList<QPair<QString, QVariant>>;

// A dictionary with the entries in the given order, as a binary property list.
QByteArray binaryDict(const Entries& entries);
// The same as XML.
QByteArray xmlDict(const Entries& entries);

} // namespace FixturePlist
