#include "online/HttpClient.h"

#include "online/HttpLibrary.h"

#include <QRegularExpression>
#include <stdexcept>

namespace {
std::runtime_error curlError(const QString& text)
{
    return std::runtime_error(QStringLiteral("CURL: %1").arg(text).toStdString());
}

void setOption(CURL* curl, CURLoption option, long value)
{
    curl_easy_setopt(curl, option, value);
}
} // namespace

HttpClient::HttpClient()
{
    initHttpLibrary();
    m_curl.reset(curl_easy_init());
    if (!m_curl)
        throw curlError(QStringLiteral("cannot create a transfer"));
}

HttpClient::~HttpClient() = default;

void HttpClient::setRequest(const QUrl& url, const QByteArray& body, const QList<QByteArray>& headers)
{
    m_url = url.toEncoded();
    m_body = body;
    CurlList list;
    for (const QByteArray& header : headers)
        list.reset(curl_slist_append(list.release(), header.constData()));
    if (!body.isEmpty())
        list.reset(curl_slist_append(
            list.release(), QByteArray("Content-Length: " + QByteArray::number(body.size())).constData()));
    m_headerList = std::move(list);
}

void HttpClient::setConnectTimeout(int seconds)
{
    setOption(m_curl.get(), CURLOPT_CONNECTTIMEOUT, long(seconds));
}

void HttpClient::setConnectTimeoutMs(qint64 milliseconds)
{
    setOption(m_curl.get(), CURLOPT_CONNECTTIMEOUT_MS, long(milliseconds));
}

void HttpClient::setTimeoutMs(qint64 milliseconds)
{
    setOption(m_curl.get(), CURLOPT_TIMEOUT_MS, long(milliseconds));
}

void HttpClient::cancel()
{
    QMutexLocker lock(&m_mutex);
    m_cancelled = true;
}

bool HttpClient::isCancelled() const
{
    QMutexLocker lock(&m_mutex);
    return m_cancelled;
}

qint64 HttpClient::bytesReceived() const
{
    QMutexLocker lock(&m_mutex);
    return m_received;
}

size_t HttpClient::onBody(char* data, size_t size, size_t count, void* self)
{
    auto* client = static_cast<HttpClient*>(self);
    const size_t bytes = size * count;
    if (client->isCancelled())
        return CURL_WRITEFUNC_ERROR;
    if (client->m_answer.size() + qint64(bytes) > client->m_maxBody) {
        client->m_tooLarge = true;
        return CURL_WRITEFUNC_ERROR;
    }
    client->m_answer.append(data, qsizetype(bytes));
    QMutexLocker lock(&client->m_mutex);
    client->m_received += qint64(bytes);
    return bytes;
}

size_t HttpClient::onHeader(char* data, size_t size, size_t count, void* self)
{
    auto* client = static_cast<HttpClient*>(self);
    const size_t bytes = size * count;
    if (client->m_headerBytes.size() + qint64(bytes) > 1024 * 1024)
        return CURL_WRITEFUNC_ERROR; // no honest server sends a megabyte of headers
    client->m_headerBytes.append(data, qsizetype(bytes));
    return bytes;
}

int HttpClient::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<HttpClient*>(self)->isCancelled() ? 1 : 0;
}

QByteArray HttpClient::fetch()
{
    CURL* curl = m_curl.get();
    m_answer.clear();
    m_headerBytes.clear();
    m_tooLarge = false;
    {
        QMutexLocker lock(&m_mutex);
        m_received = 0;
    }
    curl_easy_setopt(curl, CURLOPT_URL, m_url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    setOption(curl, CURLOPT_FOLLOWLOCATION, 0);
    // The vendor's answers decide what the program opens: its certificate and name are always checked.
    setOption(curl, CURLOPT_SSL_VERIFYPEER, 1);
    setOption(curl, CURLOPT_SSL_VERIFYHOST, 2);
    if (!m_caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, m_caFile.toLocal8Bit().constData());
    setOption(curl, CURLOPT_NOSIGNAL, 1);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, m_headerList.get());
    if (m_body.isEmpty()) {
        setOption(curl, CURLOPT_HTTPGET, 1);
    } else {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, m_body.constData());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_body.size()));
    }
    if (!m_cookieFile.isEmpty()) {
        const QByteArray cookies = m_cookieFile.toLocal8Bit();
        curl_easy_setopt(curl, CURLOPT_COOKIEFILE, cookies.constData());
        curl_easy_setopt(curl, CURLOPT_COOKIEJAR, cookies.constData());
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpClient::onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &HttpClient::onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &HttpClient::onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    setOption(curl, CURLOPT_NOPROGRESS, 0);

    const CURLcode code = curl_easy_perform(curl);
    readHeaders();
    if (m_tooLarge)
        throw curlError(QStringLiteral("the answer is larger than %1 bytes").arg(m_maxBody));
    if (code != CURLE_OK)
        throw curlError(QString::fromUtf8(curl_easy_strerror(code)));
    return std::exchange(m_answer, QByteArray());
}

void HttpClient::readHeaders()
{
    static const QRegularExpression statusLine(QStringLiteral("^HTTP[^ ]+ (\\d+) ?(.*)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    m_status = 0;
    m_reason.clear();
    m_headers.clear();
    for (const QByteArray& raw : m_headerBytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        const QRegularExpressionMatch status = statusLine.match(QString::fromLatin1(line));
        if (status.hasMatch()) {
            // A later status line (after "100 Continue") replaces an earlier one.
            m_status = status.captured(1).toInt();
            m_reason = status.captured(2).trimmed().toLatin1();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            m_headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
}
