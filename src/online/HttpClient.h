#pragma once

#include "online/CurlHandles.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QUrl>

// One synchronous HTTP request over libcurl, made on the calling thread: a GET, or a POST when a body is
// given. Only http and https are spoken, redirects are not followed, and TLS peer and host names are
// always verified. cancel() may come from another thread. Failures throw std::runtime_error with a
// text beginning "CURL: ".
class HttpClient
{
public:
    // The most bytes an answer may have unless setMaxBodySize says otherwise.
    static constexpr qint64 kDefaultMaxBody = 16 * 1024 * 1024;

    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Extra headers are whole lines ("Name: value"). A non-empty body is sent as POST data with its
    // Content-Length.
    void setRequest(const QUrl& url, const QByteArray& body = {}, const QList<QByteArray>& headers = {});
    void setConnectTimeout(int seconds);
    void setConnectTimeoutMs(qint64 milliseconds);
    // The whole transfer, connection included; 0 for no limit.
    void setTimeoutMs(qint64 milliseconds);
    void setMaxBodySize(qint64 bytes) { m_maxBody = bytes; }
    // Read and stored cookies; empty for none.
    void setCookieFile(const QString& path) { m_cookieFile = path; }
    // Certificate authorities to trust instead of the system's (a PEM file); empty for the system's.
    void setCertificateAuthorities(const QString& pemFile) { m_caFile = pemFile; }

    // Performs the request and returns the body of the answer, whatever its status.
    QByteArray fetch();
    // Stops a running fetch at its next chance; the fetch then throws.
    void cancel();

    // Of the last answer: the status code and reason of its last status line, and its headers (names
    // compared ignoring case).
    int statusCode() const { return m_status; }
    QByteArray reason() const { return m_reason; }
    QByteArray header(const QByteArray& name) const { return m_headers.value(name.toLower()); }
    qint64 bytesReceived() const;

private:
    static size_t onBody(char* data, size_t size, size_t count, void* self);
    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    bool isCancelled() const;
    void readHeaders();

    CurlEasy m_curl;
    CurlList m_headerList;
    QByteArray m_url;
    QByteArray m_body;
    QString m_cookieFile;
    QString m_caFile;
    qint64 m_maxBody = kDefaultMaxBody;

    mutable QMutex m_mutex; // guards the two below: cancel() and bytesReceived() come from other threads
    bool m_cancelled = false;
    qint64 m_received = 0;

    QByteArray m_answer;
    QByteArray m_headerBytes;
    bool m_tooLarge = false;
    int m_status = 0;
    QByteArray m_reason;
    QMap<QByteArray, QByteArray> m_headers;
};
