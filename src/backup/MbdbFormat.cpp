#include "backup/MbdbFormat.h"

#include <QIODevice>
#include <QtEndian>

namespace MbdbFormat {
namespace {

constexpr quint16 AbsentLength = 0xFFFF;
constexpr qint64 HeaderSize = 6;

class Reader
{
public:
    Reader(const char* data, qint64 size) : m_data(reinterpret_cast<const uchar*>(data)), m_size(size) {}

    bool atEnd() const { return m_position >= m_size; }
    qint64 position() const { return m_position; }
    void skip(qint64 count) { m_position = std::min(m_size, m_position + count); }
    void beginRecord() { ++m_record; }

    template <typename T>
    T number()
    {
        need(sizeof(T));
        const T value = qFromBigEndian<T>(m_data + m_position);
        m_position += sizeof(T);
        return value;
    }

    MbdbString string()
    {
        const quint16 length = number<quint16>();
        if (length == AbsentLength)
            return MbdbString::absent();
        need(length);
        MbdbString text =
            MbdbString::of(QByteArray(reinterpret_cast<const char*>(m_data + m_position), length));
        m_position += length;
        return text;
    }

private:
    void need(qint64 count) const
    {
        if (count > m_size - m_position)
            throw std::runtime_error(
                QStringLiteral("Manifest.mbdb is damaged: record %1 needs %2 bytes at byte "
                               "%3, but the file ends at byte %4.")
                    .arg(m_record)
                    .arg(count)
                    .arg(m_position)
                    .arg(m_size)
                    .toStdString());
    }

    const uchar* m_data;
    qint64 m_size;
    qint64 m_position = 0;
    qint64 m_record = 0;
};

template <typename T>
void putNumber(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToBigEndian<T>(value, bytes);
    out.append(bytes, sizeof(T));
}

void putString(QByteArray& out, const MbdbString& text)
{
    if (!text.present) {
        putNumber<quint16>(out, AbsentLength);
        return;
    }
    if (text.bytes.size() >= AbsentLength)
        throw std::runtime_error(QStringLiteral("A text of %1 bytes is too long for Manifest.mbdb.")
                                     .arg(text.bytes.size())
                                     .toStdString());
    putNumber<quint16>(out, static_cast<quint16>(text.bytes.size()));
    out.append(text.bytes);
}

} // namespace

QByteArray header()
{
    return QByteArray("mbdb\x05\x00", 6);
}

FileRecordSet parse(const char* data, qint64 size)
{
    FileRecordSet set;
    Reader reader(data, size);
    reader.skip(HeaderSize);
    while (!reader.atEnd()) {
        reader.beginRecord();
        BackupFileRecord record;
        record.domain = reader.string();
        record.relativePath = reader.string();
        record.target = reader.string();
        record.digest = reader.string();
        record.encryptionKey = reader.string();
        record.mode = reader.number<quint16>();
        record.inodeHigh = reader.number<quint32>();
        record.inode = reader.number<quint32>();
        record.userId = reader.number<quint32>();
        record.groupId = reader.number<quint32>();
        record.lastModified = reader.number<quint32>();
        record.lastStatusChange = reader.number<quint32>();
        record.birth = reader.number<quint32>();
        record.size = reader.number<quint64>();
        record.protectionClass = reader.number<quint8>();
        const quint8 propertyCount = reader.number<quint8>();
        for (int i = 0; i < propertyCount; ++i) {
            MbdbString name = reader.string();
            MbdbString value = reader.string();
            record.properties.append({name, value});
        }
        if (record.domain.isEmpty())
            continue;
        set.records.insert(record.fileId(), record);
    }
    return set;
}

QByteArray encodeRecord(const BackupFileRecord& record)
{
    if (record.properties.size() > 255)
        throw std::runtime_error("A file record has more than 255 properties for Manifest.mbdb.");
    QByteArray out;
    putString(out, record.domain);
    putString(out, record.relativePath);
    putString(out, record.target);
    putString(out, record.digest);
    putString(out, record.encryptionKey);
    putNumber<quint16>(out, record.mode);
    putNumber<quint32>(out, record.inodeHigh);
    putNumber<quint32>(out, static_cast<quint32>(record.inode));
    putNumber<quint32>(out, record.userId);
    putNumber<quint32>(out, record.groupId);
    putNumber<quint32>(out, record.lastModified);
    putNumber<quint32>(out, record.lastStatusChange);
    putNumber<quint32>(out, record.birth);
    putNumber<quint64>(out, record.size);
    putNumber<quint8>(out, record.protectionClass);
    putNumber<quint8>(out, static_cast<quint8>(record.properties.size()));
    for (const auto& [name, value] : record.properties) {
        putString(out, name);
        putString(out, value);
    }
    return out;
}

void write(QIODevice& device, const FileRecordSet& set)
{
    auto writeAll = [&device](const QByteArray& bytes) {
        if (device.write(bytes) != bytes.size())
            throw std::runtime_error(device.errorString().toStdString());
    };
    writeAll(header());
    QByteArray pending;
    for (const BackupFileRecord* record : sortedRecords(set)) {
        if (record->removed)
            continue;
        pending += encodeRecord(*record);
        if (pending.size() >= 1 << 16) {
            writeAll(pending);
            pending.clear();
        }
    }
    writeAll(pending);
}

} // namespace MbdbFormat
