#pragma once

#include <plist/plist.h>

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>

// A reference-counted handle on one node of a libplist tree: typed getters that never fail, container
// access, factories for every node kind, parsing and serialisation.
//
// Ownership. Factories and parsers create an owned root; copies of a wrapper share it, and the tree is
// freed when the last wrapper referring to it (or to any node inside it) goes away. A child wrapper keeps
// its whole tree alive, so it stays valid after the root wrapper is gone. Inserting an owned root into a
// container (append, setValue) hands its node to the container's tree; the container wrapper then keeps
// the inserted wrapper's holder alive. Any other item (a child of some tree, a node already inserted, a
// node wrapped without ownership, or an ancestor of the container) is inserted as a deep copy, so no node
// ever belongs to two trees. Replacing a dictionary value frees the old value: wrappers on it must not
// be used afterwards (wrappers this container inserted itself turn null).
//
// Outside bytes are checked before libplist parses them (see PlistLimits): lists nested deeper than
// PlistLimits::MaxDepth, larger than PlistLimits::MaxInputBytes, or whose shared objects would expand
// beyond the bounds yield a null wrapper. Insertions that would nest a tree deeper are refused.
//
// A wrapper may be read from several threads; a tree must not be changed while another thread uses it.
class PlistCFType
{
public:
    // Values returned by typeId(); callers compare against these numbers.
    enum TypeId : int
    {
        TypeString = 7, // string or dictionary key
        TypeNone = 16,  // null wrapper, null node or any other node kind
        TypeDict = 18,
        TypeArray = 19,
        TypeData = 20,
        TypeBool = 21,
        TypeNumber = 22, // integer or real
        TypeUid = 35,    // keyed-archive object reference
        TypeDate = 37,
    };
    // serialize() formats; any value other than FormatXml writes a binary list.
    enum Format : int
    {
        FormatXml = 100,
        FormatBinary = 200
    };

    PlistCFType();
    // Wraps an existing node; with owned set the wrapper frees it (and its tree) when the last copy goes.
    PlistCFType(plist_t node, bool owned);
    virtual ~PlistCFType();
    PlistCFType(const PlistCFType& other);
    PlistCFType& operator=(const PlistCFType& other);
    PlistCFType(PlistCFType&& other) noexcept;
    PlistCFType& operator=(PlistCFType&& other) noexcept;

    // Binary when the bytes are at least 7 long and begin with "bplist", XML otherwise. A null wrapper
    // when the bytes do not parse or exceed PlistLimits.
    static PlistCFType fromData(const QByteArray& bytes);
    // Reads the whole file; a null wrapper when it cannot be opened, is larger than
    // PlistLimits::MaxInputBytes or does not parse.
    static PlistCFType fromFile(const QString& path);

    static PlistCFType newString(const QString& text); // stored as UTF-8
    static PlistCFType newUInt(quint64 value);
    static PlistCFType newInt(qint32 value);     // sign-extended to 64 bits
    static PlistCFType newSmallInt(qint8 value); // sign-extended to 64 bits
    static PlistCFType newBool(bool value);
    static PlistCFType newUID(quint32 value);
    static PlistCFType newData(const QByteArray& bytes);
    // The date-time's wall-clock reading taken as UTC (see PlistDates). A null wrapper for an invalid
    // date-time or one before 1933 or after 2069, which the libplist interface cannot store.
    static PlistCFType newDate(const QDateTime& dateTime);
    static PlistCFType newArray();
    static PlistCFType newDict();

    // Deep, owned copy; a null wrapper copies to a null wrapper (so does a foreign tree deeper than
    // PlistLimits::MaxDepth, which libplist could not copy without overflowing the stack).
    PlistCFType copy() const;

    int typeId() const;
    bool isNull() const { return node() == nullptr; }
    bool isArray() const;
    bool isData() const;
    bool isDict() const;
    plist_t node() const;

    // Getters: the stated default (or empty value) for a null or mismatched node.
    QString getString() const;                         // string or key
    QByteArray getData() const;                        // data
    bool getBool(bool defaultValue = false) const;     // boolean
    double getDouble(double defaultValue = 0) const;   // real only
    qint64 getInt64(qint64 defaultValue = 0) const;    // integer only
    qint32 getInt(qint32 defaultValue = 0) const;      // integer truncated to 32 bits
    qint16 getInt16(qint16 defaultValue = 0) const;    // integer truncated to 16 bits (file modes)
    quint32 getUID() const;                            // UID, else 0
    QDateTime getDate(qint64 offsetSeconds = 0) const; // local date-time; invalid unless a date
    QString toString() const;                          // see plistNodeText

    // Arrays. at() is a null wrapper when this is no array or index is out of range.
    int count() const;
    PlistCFType at(int index) const;
    // All items in order, in linear time.
    QList<PlistCFType> items() const;
    // False (and nothing changes) unless this is an array, the item has a node and the result stays
    // within PlistLimits::MaxDepth.
    bool append(const PlistCFType& item);

    // Dictionaries. value() is a null wrapper when this is no dictionary or the key is absent.
    PlistCFType value(const QString& key) const;
    // False (and nothing changes) unless this is a dictionary, the item has a node and the result stays
    // within PlistLimits::MaxDepth. An existing value for the key is replaced in place.
    bool setValue(const QString& key, const PlistCFType& item);
    bool setValue(const PlistCFType& key, const PlistCFType& item); // key text: key.toString()
    // The key nodes in the tree's order (type TypeString); empty unless this is a non-empty dictionary.
    QList<PlistCFType> keys() const;
    // Keys with their values in the tree's order, in linear time.
    QList<QPair<QString, PlistCFType>> entries() const;

    // format FormatXml (100) writes XML, anything else a binary list. Empty for a null wrapper, for a
    // foreign tree deeper than PlistLimits::MaxDepth and, in binary, for a tree whose values would make
    // libplist's writer quadratic (see PlistHashLoad).
    QByteArray serialize(int format) const;

private:
    struct Holder;
    explicit PlistCFType(std::shared_ptr<Holder> holder);
    PlistCFType childWrapper(plist_t child) const;
    plist_t prepareInsert(const PlistCFType& item);

    std::shared_ptr<Holder> m_holder;
    // Holders of owned roots inserted into this container, by node address.
    QHash<const void*, std::shared_ptr<Holder>> m_children;
};
