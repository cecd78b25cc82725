#pragma once

#include <plist/plist.h>

#include <QString>

// Text of a string or dictionary-key node (UTF-8 decoded); empty for any other node.
QString plistStringValue(plist_t node);

// Text rendering of any node, containers included, without recursion:
// booleans "1"/"0", integers in decimal, reals with 6 significant digits, strings as they are, dates in
// Qt's text date format (as read by PlistDates), data in Base64, UIDs in decimal, arrays as
// "[a, b]", dictionaries as "{key : value, ...}" and anything else as "NULL".
QString plistNodeText(plist_t node);
