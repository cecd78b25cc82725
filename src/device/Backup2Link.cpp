#include "device/Backup2Link.h"

#include <QElapsedTimer>
#include <QtEndian>
#include <cstring>
#include <stdexcept>

namespace {

// libimobiledevice waits up to 30 seconds for data; a read that ends with nothing long before that means
// the connection is closed rather than the device being slow.
constexpr qint64 kClosedConnectionMs = 1000;

[[noreturn]] void throwLost(const char* context)
{
    throw std::runtime_error(std::string("Connection to device lost. ") + context);
}

} // namespace

void Backup2Link::receiveRaw(char* data, quint32 length, const char* context)
{
    quint32 done = 0;
    while (done < length) {
        uint32_t got = 0;
        mobilebackup2_receive_raw(m_client, data + done, length - done, &got);
        if (got == 0)
            throwLost(context);
        done += got;
    }
}

void Backup2Link::receiveExact(char* data, quint32 length, const char* context, quint32 readAhead)
{
    const quint32 fromAhead = quint32(qMin<qsizetype>(length, m_ahead.size()));
    if (fromAhead > 0) {
        std::memcpy(data, m_ahead.constData(), fromAhead);
        m_ahead.remove(0, fromAhead);
    }
    if (!m_ahead.isEmpty()) {
        // Bytes still held back come before anything read now; nothing more is read ahead.
        receiveRaw(data + fromAhead, length - fromAhead, context);
        return;
    }
    // The rest and the bytes that follow in one read; data has room for both.
    receiveRaw(data + fromAhead, length - fromAhead + readAhead, context);
    if (readAhead > 0)
        m_ahead = QByteArray(data + length, readAhead);
}

quint32 Backup2Link::receiveLength(const char* context)
{
    quint32 length = 0;
    receiveExact(reinterpret_cast<char*>(&length), 4, context);
    return qFromBigEndian(length);
}

QString Backup2Link::receiveName(const std::function<bool()>& stillWanted, quint32 readAhead)
{
    quint32 length = 0;
    if (m_ahead.size() >= 4) {
        receiveExact(reinterpret_cast<char*>(&length), 4,
                     "backup2tool::recvFileNamesThrow: could not read filename.");
    } else {
        length = waitForLength(stillWanted);
    }
    length = qFromBigEndian(length);
    if (length == 0)
        return {};
    if (length > kMaxNameLength)
        throw std::runtime_error(
            QStringLiteral("backup2tool::recvFileNamesThrow: too large filename length (%1)!")
                .arg(length)
                .toStdString());
    QByteArray bytes(qsizetype(length + readAhead), Qt::Uninitialized);
    receiveExact(bytes.data(), length, "backup2tool::recvFileNamesThrow: could not read filename.",
                 readAhead);
    bytes.truncate(length);
    return QString::fromUtf8(bytes);
}

quint32 Backup2Link::waitForLength(const std::function<bool()>& stillWanted)
{
    quint32 length = 0;
    if (!m_ahead.isEmpty()) // a part of it was read ahead: the rest follows at once
    {
        receiveExact(reinterpret_cast<char*>(&length), 4,
                     "backup2tool::recvFileNamesThrow: could not read filename.");
        return length;
    }
    for (;;) {
        uint32_t got = 0;
        QElapsedTimer waited;
        waited.start();
        mobilebackup2_receive_raw(m_client, reinterpret_cast<char*>(&length), 4, &got);
        if (got == 4)
            return length;
        if (got > 0) {
            receiveRaw(reinterpret_cast<char*>(&length) + got, 4 - got,
                       "backup2tool::recvFileNamesThrow: could not read filename.");
            return length;
        }
        if (waited.elapsed() < kClosedConnectionMs)
            throwLost("backup2tool::recvFileNamesThrow: could not read filename.");
        if (stillWanted && !stillWanted())
            return 0;
    }
}

void Backup2Link::sendAll(const char* data, quint32 length, const char* context)
{
    quint32 done = 0;
    while (done < length) {
        uint32_t sent = 0;
        const mobilebackup2_error_t result =
            mobilebackup2_send_raw(m_client, data + done, length - done, &sent);
        if (result != MOBILEBACKUP2_E_SUCCESS || sent == 0)
            throw std::runtime_error(QStringLiteral("Error attaching to device. Please Keep your iPhone "
                                                    "connected and active. %1 return %2.")
                                         .arg(QString::fromLatin1(context))
                                         .arg(int(result))
                                         .toStdString());
        done += sent;
    }
}

void Backup2Link::sendName(const QString& name, const char* context)
{
    const QByteArray bytes = name.toUtf8();
    QByteArray block(4, '\0');
    qToBigEndian(quint32(bytes.size()), block.data());
    block += bytes;
    sendAll(block.constData(), quint32(block.size()), context);
}

void Backup2Link::sendBlock(char code, const char* data, quint32 length, const char* context)
{
    char header[5];
    qToBigEndian(quint32(length + 1), header);
    header[4] = code;
    sendAll(header, 5, context);
    if (length > 0)
        sendAll(data, length, context);
}

void Backup2Link::sendTerminator(const char* context)
{
    const char zero[4] = {0, 0, 0, 0};
    sendAll(zero, 4, context);
}

int Backup2Link::sendStatus(int code, const QString& description, const PlistCFType& payload)
{
    const QByteArray text = description.toUtf8();
    return mobilebackup2_send_status_response(
        m_client, code, description.isEmpty() ? nullptr : text.constData(), payload.node());
}
