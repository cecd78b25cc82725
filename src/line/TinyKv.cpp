#include "line/TinyKv.h"

#include <QStringList>
#include <QtEndian>
#include <cstring>
#include <optional>

namespace TinyKv {
namespace {

constexpr char kMagic[] = "tinykv";
constexpr qsizetype kMagicSize = 6;

enum Tag : char
{
    TagInt = 'i',
    TagInt64 = 'l',
    TagDouble = 'd',
    TagString = 's',
    TagBytes = 'v',
    TagList = '[',
    TagHash = '{',
    TagNull = 'n',
};

// ---- writing

void appendU32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendI64(QByteArray& out, qint64 value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    out.append(bytes, 8);
}

void appendSized(QByteArray& out, const QByteArray& bytes)
{
    appendU32(out, quint32(bytes.size()));
    out.append(bytes);
}

void appendHashBody(QByteArray& out, const QVariantHash& hash);

bool isHashType(int type)
{
    return type == QMetaType::QVariantHash || type == QMetaType::QVariantMap;
}

bool isListType(int type)
{
    return type == QMetaType::QVariantList || type == QMetaType::QStringList ||
           type == QMetaType::QByteArrayList;
}

void appendValue(QByteArray& out, const QVariant& value)
{
    const int type = value.typeId();
    if (isHashType(type)) {
        QByteArray nested;
        appendHashBody(nested, value.toHash());
        out.append(TagHash);
        appendSized(out, nested);
        return;
    }
    if (isListType(type)) {
        const QVariantList list = value.toList();
        QByteArray nested;
        appendU32(nested, quint32(list.size()));
        for (const QVariant& element : list)
            appendValue(nested, element);
        out.append(TagList);
        appendSized(out, nested);
        return;
    }
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar:
        out.append(TagInt);
        // An unsigned int above INT_MAX keeps its 32 bits and reads back negative, as the layout demands.
        appendU32(out,
                  type == QMetaType::QChar ? quint32(value.toChar().unicode()) : quint32(value.toUInt()));
        return;
    case QMetaType::LongLong:
    case QMetaType::Long:
        out.append(TagInt64);
        appendI64(out, value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float: {
        out.append(TagDouble);
        const double number = value.toDouble();
        quint64 bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        appendI64(out, qint64(bits));
        return;
    }
    case QMetaType::QString:
        out.append(TagString);
        appendSized(out, value.toString().toUtf8());
        return;
    case QMetaType::QByteArray:
        out.append(TagBytes);
        appendSized(out, value.toByteArray());
        return;
    default:
        out.append(TagNull);
        return;
    }
}

void appendHashBody(QByteArray& out, const QVariantHash& hash)
{
    out.append(kMagic, kMagicSize);
    QStringList keys = hash.keys();
    keys.sort();
    for (const QString& key : std::as_const(keys)) {
        appendSized(out, key.toUtf8());
        appendValue(out, hash.value(key));
    }
}

// ---- reading

// Reads inside [pos, end) of one buffer; never past end.
class Reader
{
public:
    Reader(const char* data, qsizetype size) : m_data(data), m_end(size) {}

    bool atEnd() const { return m_pos >= m_end; }
    qsizetype remaining() const { return m_end - m_pos; }

    std::optional<quint32> u32()
    {
        if (remaining() < 4)
            return std::nullopt;
        const quint32 value = qFromLittleEndian<quint32>(m_data + m_pos);
        m_pos += 4;
        return value;
    }

    std::optional<qint64> i64()
    {
        if (remaining() < 8)
            return std::nullopt;
        const qint64 value = qFromLittleEndian<qint64>(m_data + m_pos);
        m_pos += 8;
        return value;
    }

    std::optional<char> byte()
    {
        if (remaining() < 1)
            return std::nullopt;
        return m_data[m_pos++];
    }

    // A u32 length and that many bytes, as a view into the buffer; nothing is consumed on failure.
    std::optional<Reader> sized()
    {
        const qsizetype start = m_pos;
        const auto length = u32();
        if (!length || qsizetype(*length) > remaining()) {
            m_pos = start;
            return std::nullopt;
        }
        Reader inner(m_data + m_pos, qsizetype(*length));
        m_pos += qsizetype(*length);
        return inner;
    }

    // Consumes prefix when the data continues with it.
    bool skip(const char* prefix, qsizetype size)
    {
        if (remaining() < size || std::memcmp(m_data + m_pos, prefix, size_t(size)) != 0)
            return false;
        m_pos += size;
        return true;
    }

    QByteArray bytes() const { return QByteArray(m_data + m_pos, remaining()); }
    QString utf8() const { return QString::fromUtf8(m_data + m_pos, remaining()); }

private:
    const char* m_data;
    qsizetype m_pos = 0;
    qsizetype m_end;
};

std::optional<QVariantHash> readBlob(Reader reader, int depth);

std::optional<QVariant> readValue(Reader& reader, int depth)
{
    const auto tag = reader.byte();
    if (!tag)
        return std::nullopt;
    switch (*tag) {
    case TagInt: {
        const auto value = reader.u32();
        if (!value)
            return std::nullopt;
        return QVariant(qint32(*value));
    }
    case TagInt64: {
        const auto value = reader.i64();
        if (!value)
            return std::nullopt;
        return QVariant(qlonglong(*value));
    }
    case TagDouble: {
        const auto bits = reader.i64();
        if (!bits)
            return std::nullopt;
        double number = 0;
        std::memcpy(&number, &*bits, sizeof number);
        return QVariant(number);
    }
    case TagString: {
        const auto text = reader.sized();
        if (!text)
            return std::nullopt;
        return QVariant(text->utf8());
    }
    case TagBytes: {
        const auto bytes = reader.sized();
        if (!bytes)
            return std::nullopt;
        return QVariant(bytes->bytes());
    }
    case TagList: {
        auto body = reader.sized();
        if (!body || depth >= MaxDepth)
            return std::nullopt;
        const auto count = body->u32();
        if (!count)
            return std::nullopt;
        // The declared count is not trusted for allocation: every element needs at least its tag byte.
        if (qsizetype(*count) > body->remaining())
            return std::nullopt;
        QVariantList list;
        for (quint32 i = 0; i < *count; ++i) {
            auto element = readValue(*body, depth + 1);
            if (!element)
                return std::nullopt;
            list.append(std::move(*element));
        }
        return QVariant(list);
    }
    case TagHash: {
        const auto body = reader.sized();
        if (!body || depth >= MaxDepth)
            return std::nullopt;
        auto nested = readBlob(*body, depth + 1);
        if (!nested)
            return std::nullopt;
        return QVariant(std::move(*nested));
    }
    case TagNull:
        return QVariant();
    default:
        return std::nullopt;
    }
}

std::optional<QVariantHash> readBlob(Reader reader, int depth)
{
    if (!reader.skip(kMagic, kMagicSize))
        return std::nullopt;
    QVariantHash hash;
    while (!reader.atEnd()) {
        const auto key = reader.sized();
        if (!key)
            break; // a key cut off by the end of the data ends the blob
        auto value = readValue(reader, depth);
        if (!value)
            return std::nullopt;
        hash.insert(key->utf8(), std::move(*value));
    }
    return hash;
}

} // namespace

QByteArray encode(const QVariantHash& hash)
{
    QByteArray out;
    appendHashBody(out, hash);
    return out;
}

QVariantHash decode(const QByteArray& blob, bool* ok)
{
    auto hash = readBlob(Reader(blob.constData(), blob.size()), 0);
    if (ok)
        *ok = hash.has_value();
    return hash ? std::move(*hash) : QVariantHash();
}

} // namespace TinyKv
