#pragma once

#include "device/DeviceHandles.h"
#include "plist/PlistCFType.h"

#include <QByteArray>
#include <QString>
#include <functional>

// The raw side of a mobilebackup2 connection: blocks of a 32-bit big-endian length and that many bytes
// (a length of 0 ends a list), used for the file names and file contents that follow DLMessageUploadFiles
// and DLMessageDownloadFiles, plus the status responses. Failures throw std::runtime_error; a connection
// that is gone throws a text beginning with "Connection to device lost".
//
// Every read from the library is a system call or two, so bytes that are sure to follow (the next block's
// header after file data, the second name after the first) are read together with what precedes them and
// kept for the next read ("read ahead").
class Backup2Link
{
public:
    // Code bytes of the blocks of a file's content.
    static constexpr char kCodeSuccess = 0x00;
    static constexpr char kCodeLocalError = 0x06;
    static constexpr char kCodeRemoteError = 0x0B;
    static constexpr char kCodeFileData = 0x0C;
    static constexpr quint32 kMaxNameLength = 4096;

    explicit Backup2Link(mobilebackup2_client_t client) : m_client(client) {}

    // Exactly length bytes, and readAhead more that the device is sure to send next, kept for the next
    // read (data has room for length + readAhead bytes); throws (with context in the message) when the
    // connection delivers nothing.
    void receiveExact(char* data, quint32 length, const char* context, quint32 readAhead = 0);
    quint32 receiveLength(const char* context);
    // A name block; empty for the list's end. readAhead: bytes sure to follow a non-empty name. While the
    // device is silent (it may be busy preparing the next files) the wait goes on as long as stillWanted()
    // says so.
    QString receiveName(const std::function<bool()>& stillWanted, quint32 readAhead = 0);

    // Throws context with the library's result when not all bytes went out.
    void sendAll(const char* data, quint32 length, const char* context);
    void sendName(const QString& name, const char* context);
    void sendBlock(char code, const char* data, quint32 length, const char* context);
    void sendTerminator(const char* context);

    // mobilebackup2_send_status_response; returns the library's result.
    int sendStatus(int code, const QString& description, const PlistCFType& payload);

    mobilebackup2_client_t client() const { return m_client; }

private:
    // Reads from the connection (not from the bytes read ahead).
    void receiveRaw(char* data, quint32 length, const char* context);
    // The 4-byte length of the next name, waiting while the device is silent; 0 when stillWanted says
    // to stop.
    quint32 waitForLength(const std::function<bool()>& stillWanted);

    mobilebackup2_client_t m_client;
    QByteArray m_ahead; // bytes read ahead, not yet taken
};
