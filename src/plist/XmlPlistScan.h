#pragma once

#include "plist/PlistHashLoad.h"
#include "plist/PlistScanVerdict.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// Follows an XML property list through the same tokenising steps as libplist 2.2's XML parser, without
// building anything, and measures the tree the parse would build: how deep it nests and how many nodes
// it has. libplist parses XML without recursion but frees, copies and writes the result recursively, so a
// list nested too deeply must never reach it. Where libplist would stop with an error, so does the scan
// (Malformed). Dictionary keys are hashed as libplist hashes them, to refuse dictionaries whose keys
// would make libplist's key table quadratic (see PlistHashLoad).
class XmlPlistScan
{
public:
    static PlistScanVerdict check(QByteArrayView bytes);

private:
    explicit XmlPlistScan(QByteArrayView bytes);
    PlistScanVerdict run();
    bool skipDeclaration();
    struct ElementText
    {
        bool hasNul = false;
        bool isPlain = true; // no comment, CDATA section or entity: the text is exactly the bytes
        QByteArrayView bytes;
    };
    bool skipElementText(const QByteArray& tag, qint64 tagLength, bool skipLeadingSpace, ElementText* text);
    void skipSpace();
    void findChar(char wanted, bool skipQuotes);
    void findText(const char* text, qint64 length, bool skipQuotes);
    void findAny(const char* chars, bool skipQuotes);
    bool skipQuoted();
    bool matches(qint64 at, const char* text, qint64 length) const;
    char byteAt(qint64 at) const { return m_bytes[static_cast<qsizetype>(at)]; }

    QByteArrayView m_bytes;
    qint64 m_pos = 0;
    qint64 m_end = 0;
    std::vector<char> m_path; // open elements: 'p' plist, 'd' dict, 'a' array

    // The node new elements are added to, and its ancestors: the root first.
    struct Parent
    {
        bool isDict = false;
        PlistHashLoad::DictKeyLoad keys;
    };
    std::vector<Parent> m_parents;
    quint64 m_keyProbes = 0;
};
