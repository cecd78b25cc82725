#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QThread>
#include <functional>
#include <future>

// A small HTTP/1.1 server on 127.0.0.1 for tests, on its own thread (so that a client may block the test's
// thread while it answers). Started by the constructor on a free port, stopped by the destructor. Each
// request gets the handler's answer and the connection is closed. With a certificate and key (PEM files)
// it speaks HTTPS.
class LoopbackHttpServer : public QThread
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray target;                    // path and query
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };
    struct Response
    {
        int status = 200;
        QByteArray body;
        QList<QByteArray> extraHeaders; // whole lines
        bool neverAnswer = false;       // keeps the connection open without a word
    };
    using Handler = std::function<Response(const Request&)>;

    explicit LoopbackHttpServer(Handler handler, const QString& certificatePem = QString(),
                                const QString& keyPem = QString());
    ~LoopbackHttpServer() override;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>" (https with a certificate).
    QString baseUrl() const;
    // The requests received so far (complete ones).
    QList<Request> requests() const;

protected:
    void run() override;

private:
    friend class LoopbackConnection;
    void record(const Request& request);

    Handler m_handler;
    QString m_certificate;
    QString m_key;
    quint16 m_port = 0;
    std::promise<quint16> m_started;
    mutable QMutex m_mutex;
    QList<Request> m_requests;
};
