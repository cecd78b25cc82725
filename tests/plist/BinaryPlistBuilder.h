#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Assembles binary property lists object by object, for tests that need layouts (shared objects,
// cycles, huge counts, odd widths) that libplist's writer never produces.
class BinaryPlistBuilder
{
public:
    explicit BinaryPlistBuilder(int refSize = 1) : m_refSize(refSize) {}

    // Appends one object's bytes; returns its index.
    quint64 add(const QByteArray& object);

    // Object encodings. count >= 15 is written as 0x?F followed by an integer object.
    static QByteArray marker(quint8 type, quint64 count);
    QByteArray array(const QList<quint64>& refs) const;
    QByteArray dict(const QList<quint64>& keyRefs, const QList<quint64>& valueRefs) const;
    static QByteArray ascii(const QByteArray& text);
    static QByteArray data(const QByteArray& bytes);
    static QByteArray uid(quint32 value);
    static QByteArray integer(quint64 value);
    static QByteArray date(double seconds);

    // The whole list with root object root. objectCount overrides the count written into the trailer.
    QByteArray build(quint64 root, qint64 objectCount = -1) const;

private:
    QByteArray refs(const QList<quint64>& values) const;

    int m_refSize;
    QList<QByteArray> m_objects;
};
