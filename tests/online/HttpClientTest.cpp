// The HTTP client against a server on the loopback address: requests as sent, answers as read, cancel,
// limits, and TLS that is always verified.
#include "online/HttpClient.h"
#include "LoopbackHttpServer.h"
#include "online/VendorEndpoint.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Response = LoopbackHttpServer::Response;

// Runs fetch and returns the error text ("" when it succeeded).
QString fetchError(HttpClient& client)
{
    try {
        client.fetch();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

// A self-signed certificate for the given subject alternative name, with its key.
struct Certificate
{
    QTemporaryDir dir;
    QString certificate;
    QString key;

    explicit Certificate(const QString& altName)
    {
        certificate = QDir(dir.path()).filePath(QStringLiteral("cert.pem"));
        key = QDir(dir.path()).filePath(QStringLiteral("key.pem"));
        const int status = QProcess::execute(
            QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
             QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), key,
             QStringLiteral("-out"), certificate, QStringLiteral("-days"), QStringLiteral("2"),
             QStringLiteral("-subj"), QStringLiteral("/CN=ferrowyn test"), QStringLiteral("-addext"),
             QStringLiteral("subjectAltName=") + altName});
        EXPECT_EQ(status, 0) << "openssl could not make a certificate";
    }
};

} // namespace

TEST(HttpClientTest, GetsAndPostsAndReadsTheAnswer)
{
    LoopbackHttpServer server([](const LoopbackHttpServer::Request& request) {
        Response response;
        response.status = request.target == "/missing" ? 404 : 200;
        response.body = request.method + ' ' + request.target;
        response.extraHeaders = {"X-Thing:   spaced value  ", "Set-Cookie: a=1"};
        return response;
    });
    HttpClient client;
    client.setRequest(QUrl(server.baseUrl() + QStringLiteral("/path?q=1")));
    EXPECT_EQ(client.fetch(), QByteArray("GET /path?q=1"));
    EXPECT_EQ(client.statusCode(), 200);
    EXPECT_EQ(client.reason(), QByteArray("OK"));
    EXPECT_EQ(client.header("x-thing"), QByteArray("spaced value"));
    EXPECT_EQ(client.header("X-THING"), QByteArray("spaced value"));
    EXPECT_EQ(client.bytesReceived(), 13);

    client.setRequest(QUrl(server.baseUrl() + QStringLiteral("/form")), "a=b&c=d", {"X-Test: 1"});
    EXPECT_EQ(client.fetch(), QByteArray("POST /form"));
    const LoopbackHttpServer::Request posted = server.requests().last();
    EXPECT_EQ(posted.body, QByteArray("a=b&c=d"));
    EXPECT_EQ(posted.headers.value("content-length"), QByteArray("7"));
    EXPECT_EQ(posted.headers.value("x-test"), QByteArray("1"));

    client.setRequest(QUrl(server.baseUrl() + QStringLiteral("/missing")));
    EXPECT_EQ(client.fetch(), QByteArray("GET /missing"));
    EXPECT_EQ(client.statusCode(), 404);
    EXPECT_EQ(client.reason(), QByteArray("Not Found"));
}

TEST(HttpClientTest, FailuresAreCurlErrors)
{
    // nothing listens on a port just closed
    quint16 closedPort = 0;
    {
        LoopbackHttpServer gone({});
        closedPort = gone.port();
    }
    HttpClient refused;
    refused.setRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort)));
    EXPECT_TRUE(fetchError(refused).startsWith(QLatin1String("CURL: ")));

    LoopbackHttpServer server([](const LoopbackHttpServer::Request&) {
        Response response;
        response.body = QByteArray(1000, 'x');
        return response;
    });
    HttpClient limited;
    limited.setRequest(QUrl(server.baseUrl()));
    limited.setMaxBodySize(100);
    EXPECT_TRUE(fetchError(limited).startsWith(QLatin1String("CURL: ")));

    HttpClient other;
    other.setRequest(QUrl(QStringLiteral("file:///etc/passwd")));
    EXPECT_TRUE(fetchError(other).startsWith(QLatin1String("CURL: "))); // http and https only
}

TEST(HttpClientTest, CancelFromAnotherThreadEndsTheTransferWithACurlError)
{
    LoopbackHttpServer server([](const LoopbackHttpServer::Request&) {
        Response response;
        response.neverAnswer = true;
        return response;
    });
    HttpClient client;
    client.setRequest(QUrl(server.baseUrl() + QStringLiteral("/slow")));
    std::thread canceller([&client] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        client.cancel();
    });
    QElapsedTimer timer;
    timer.start();
    const QString error = fetchError(client);
    canceller.join();
    EXPECT_TRUE(error.startsWith(QLatin1String("CURL: "))) << error.toStdString();
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST(HttpClientTest, TlsPeerAndHostAreVerified)
{
    Certificate forLoopback(QStringLiteral("IP:127.0.0.1"));
    LoopbackHttpServer server(
        [](const LoopbackHttpServer::Request&) {
            Response response;
            response.body = "secret";
            return response;
        },
        forLoopback.certificate, forLoopback.key);
    ASSERT_TRUE(server.baseUrl().startsWith(QLatin1String("https://")));

    HttpClient untrusted; // a certificate nobody vouches for is refused
    untrusted.setRequest(QUrl(server.baseUrl() + QStringLiteral("/")));
    const QString error = fetchError(untrusted);
    EXPECT_TRUE(error.startsWith(QLatin1String("CURL: "))) << error.toStdString();

    HttpClient trusted;
    trusted.setRequest(QUrl(server.baseUrl() + QStringLiteral("/")));
    trusted.setCertificateAuthorities(forLoopback.certificate);
    EXPECT_EQ(trusted.fetch(), QByteArray("secret"));

    // a trusted certificate for another name is refused too
    Certificate forOtherName(QStringLiteral("DNS:vendor.invalid"));
    LoopbackHttpServer impostor({}, forOtherName.certificate, forOtherName.key);
    HttpClient checked;
    checked.setRequest(QUrl(impostor.baseUrl() + QStringLiteral("/")));
    checked.setCertificateAuthorities(forOtherName.certificate);
    const QString mismatch = fetchError(checked);
    EXPECT_TRUE(mismatch.startsWith(QLatin1String("CURL: "))) << mismatch.toStdString();
}

TEST(VendorEndpointTest, HttpsUnlessTheHostSaysOtherwise)
{
    EXPECT_FALSE(VendorEndpoint().isConfigured());
    EXPECT_FALSE(VendorEndpoint::configured().isConfigured()); // the build's default: no service
    EXPECT_EQ(VendorEndpoint(QStringLiteral("vendor.example"))
                  .url(QStringLiteral("/adv.php"), QStringLiteral("pid=1")),
              QUrl(QStringLiteral("https://vendor.example/adv.php?pid=1")));
    EXPECT_EQ(VendorEndpoint(QStringLiteral("https://vendor.example:8443")).url(QStringLiteral("/a")),
              QUrl(QStringLiteral("https://vendor.example:8443/a")));
    EXPECT_EQ(VendorEndpoint(QStringLiteral("http://127.0.0.1:8080")).url(QStringLiteral("/a")),
              QUrl(QStringLiteral("http://127.0.0.1:8080/a")));
    for (const char* unusable : {"ftp://vendor.example", "https://user@vendor.example",
                                 "https://vendor.example/sub", "https://", "http://vendor.example?x=1"})
        EXPECT_FALSE(VendorEndpoint(QString::fromLatin1(unusable)).isConfigured()) << unusable;

    const VendorEndpoint endpoint(QStringLiteral("http://vendor.example"));
    EXPECT_TRUE(endpoint.isSafeAddressToOpen(QUrl(QStringLiteral("https://vendor.example/download/x.exe"))));
    EXPECT_TRUE(endpoint.isSafeAddressToOpen(QUrl(QStringLiteral("https://VENDOR.example/"))));
    EXPECT_FALSE(endpoint.isSafeAddressToOpen(QUrl(QStringLiteral("http://vendor.example/download"))));
    EXPECT_FALSE(endpoint.isSafeAddressToOpen(QUrl(QStringLiteral("https://vendor.example.evil.test/"))));
    EXPECT_FALSE(endpoint.isSafeAddressToOpen(QUrl(QStringLiteral("https://user@vendor.example/"))));
    EXPECT_FALSE(VendorEndpoint().isSafeAddressToOpen(QUrl(QStringLiteral("https://vendor.example/"))));
}
