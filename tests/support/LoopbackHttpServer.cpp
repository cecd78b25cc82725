#include "LoopbackHttpServer.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
QByteArray reasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// Accepts connections, in TLS when given a certificate.
class Listener : public QTcpServer
{
public:
    Listener(const QString& certificate, const QString& key)
    {
        if (certificate.isEmpty())
            return;
        QFile certificateFile(certificate);
        QFile keyFile(key);
        if (certificateFile.open(QIODevice::ReadOnly))
            m_certificate = QSslCertificate(&certificateFile, QSsl::Pem);
        if (keyFile.open(QIODevice::ReadOnly))
            m_key = QSslKey(&keyFile, QSsl::Rsa, QSsl::Pem);
        m_tls = true;
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (!m_tls) {
            QTcpServer::incomingConnection(descriptor);
            return;
        }
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(m_certificate);
        socket->setPrivateKey(m_key);
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        QObject::connect(socket, &QSslSocket::sslErrors, socket, [socket] { socket->ignoreSslErrors(); });
        addPendingConnection(socket);
        socket->startServerEncryption();
    }

private:
    bool m_tls = false;
    QSslCertificate m_certificate;
    QSslKey m_key;
};
} // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler, const QString& certificatePem, const QString& keyPem)
    : m_handler(std::move(handler)), m_certificate(certificatePem), m_key(keyPem)
{
    std::future<quint16> started = m_started.get_future();
    start();
    m_port = started.get();
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    quit();
    wait();
}

QString LoopbackHttpServer::baseUrl() const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(m_certificate.isEmpty() ? "http" : "https").arg(m_port);
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void LoopbackHttpServer::record(const Request& request)
{
    QMutexLocker lock(&m_mutex);
    m_requests.append(request);
}

void LoopbackHttpServer::run()
{
    Listener listener(m_certificate, m_key);
    if (!listener.listen(QHostAddress::LocalHost, 0)) {
        m_started.set_value(0);
        return;
    }
    QObject::connect(&listener, &QTcpServer::newConnection, &listener, [this, &listener] {
        while (QTcpSocket* socket = listener.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                Request request;
                const QList<QByteArray> lines = buffer->left(end).split('\n');
                const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
                request.method = first.value(0);
                request.target = first.value(1);
                for (qsizetype i = 1; i < lines.size(); ++i) {
                    const qsizetype colon = lines[i].indexOf(':');
                    if (colon > 0)
                        request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                               lines[i].mid(colon + 1).trimmed());
                }
                const qsizetype length = request.headers.value("content-length").toLongLong();
                if (buffer->size() < end + 4 + length)
                    return; // the body is still coming
                request.body = buffer->mid(end + 4, length);
                buffer->clear();
                record(request);
                const Response response = m_handler ? m_handler(request) : Response();
                if (response.neverAnswer)
                    return;
                QByteArray answer = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                                    reasonOf(response.status) +
                                    "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                                    "\r\nConnection: close\r\n";
                for (const QByteArray& line : response.extraHeaders)
                    answer += line + "\r\n";
                socket->write(answer + "\r\n" + response.body);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    m_started.set_value(listener.serverPort());
    exec();
}
