#pragma once

#include "plist/PlistCFType.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

// Apple's keyed-archive layout (NSKeyedArchiver): a dictionary with "$archiver", "$objects" (every
// archived object, "$null" first), "$top" = {"root": UID of the root object} and "$version". Objects
// refer to each other by UID, the index into "$objects". An XML list spells a UID as the dictionary
// {"CF$UID": n}; the decoders accept both forms.

using PlistCFMap = QHash<QString, PlistCFType>;
using PlistCFEntries = QList<QPair<QString, PlistCFType>>;

// Flattens the root object of an archive whose root is a plain keyed object (MBFile records): each of
// its keys with its value, a UID value resolved one level to the object it refers to (a null wrapper when
// out of range). The values are wrappers into the archive's tree (they keep it alive). Empty when the
// archive is not laid out this way.
PlistCFMap decodeKeyedObject(const PlistCFType& archive);

// Decodes an archived NSDictionary: the text of each "NS.keys" object with a deep copy of the matching
// "NS.objects" object; a later equal key replaces an earlier one. Empty when the archive is not laid out
// this way, and when the copies would exceed PlistLimits::MaxNodes (many keys sharing one large value).
PlistCFMap decodeKeyedDictionary(const PlistCFType& archive);

// Archives entries as an NSDictionary (NSMutableDictionary when isMutable is set), keys in the given
// order: keys take references 2..n+1, values n+2..2n+1, the class description 2n+2. The value wrappers
// themselves go into "$objects" (see PlistCFType::append for when a copy is inserted instead); nested
// containers are not archived further. A key given twice keeps its first place and its last value;
// entries with a null value are left out, since a dictionary cannot hold nil. Returns the archive
// dictionary to serialise, or a null wrapper when a value nests too deeply to be placed in it.
PlistCFType encodeKeyedDictionary(const PlistCFEntries& entries, bool isMutable);

// As above with the map's keys in sorted order, so the same map always gives the same archive.
PlistCFType encodeKeyedDictionary(const PlistCFMap& map, bool isMutable);
