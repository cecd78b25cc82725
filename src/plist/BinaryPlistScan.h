#pragma once

#include "plist/PlistScanVerdict.h"

#include <QByteArrayView>
#include <vector>

// Walks the object graph of a binary property list the way libplist 2.2's parser will, without building
// anything, and measures what the parse would produce: the longest path, the number of nodes and the
// bytes of string and data payload once shared objects are expanded into copies. The rules mirror
// libplist's own checks, so bytes accepted here are bytes libplist parses within PlistLimits; bytes
// libplist would reject are reported as Malformed.
class BinaryPlistScan
{
public:
    static PlistScanVerdict check(QByteArrayView bytes);

private:
    struct Object
    {
        bool container = false;
        quint64 refsAt = 0;   // offset of the first object reference
        quint64 refCount = 0; // dictionaries: keys and values
        quint64 payload = 0;  // bytes libplist allocates for a string or data object
        bool nulInString = false;
    };
    struct Summary
    {
        quint32 nodes = 0;
        quint32 payload = 0;
        quint16 height = 0;
        quint8 state = 0; // 0 not seen, 1 on the current path, 2 measured
    };
    struct Frame
    {
        quint64 index = 0;
        Object object;
        quint64 nextRef = 0;
        quint64 nodes = 1;
        quint64 payload = 0;
        quint64 height = 1;
    };

    explicit BinaryPlistScan(QByteArrayView bytes);
    PlistScanVerdict run();
    PlistScanVerdict readTrailer();
    PlistScanVerdict enter(quint64 index);
    PlistScanVerdict add(quint64 nodes, quint64 payload, quint64 height);
    bool describe(quint64 index, Object* object) const;
    quint64 readUnsigned(quint64 at, quint64 width) const;

    QByteArrayView m_bytes;
    quint8 m_offsetSize = 0;
    quint8 m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_rootIndex = 0;
    quint64 m_offsetTable = 0;
    qint64 m_maxNodes = 0;
    qint64 m_maxPayload = 0;
    std::vector<Summary> m_summaries;
    std::vector<Frame> m_path;
};
