#pragma once

#include "line/LineMsg.h"

#include <QHash>
#include <QMetaType>
#include <memory>

struct _LineChat;
class AbsLineMsgsSource;

// How message sources travel, in queued signals too ("PAbsLineMsgsSource" is registered as a meta-type
// the first time a source is built; registerLineMetaTypes does it explicitly).
using PAbsLineMsgsSource = std::shared_ptr<AbsLineMsgsSource>;

// A read-only sequence of messages handed to views, exporters and printing. Read by one thread at a time.
class AbsLineMsgsSource
{
public:
    AbsLineMsgsSource();
    virtual ~AbsLineMsgsSource();
    AbsLineMsgsSource(const AbsLineMsgsSource&) = default;
    AbsLineMsgsSource& operator=(const AbsLineMsgsSource&) = default;

    virtual qint64 count() = 0;
    // The message at index, 0 <= index < count(); an index outside gives a default _LineMsg.
    virtual _LineMsg message(qint64 index) = 0;
    // One source per chat that this source covers.
    virtual QHash<_LineChat*, PAbsLineMsgsSource> splitByChat() = 0;
};

Q_DECLARE_METATYPE(PAbsLineMsgsSource)

// Registers PAbsLineMsgsSource under that name for queued connections. Safe to call any number of times.
void registerLineMetaTypes();
