// The update check, the news link, the error report and the remote option against a server on the
// loopback address, and the rule that nothing at all is sent without a configured service.
#include "LoopbackHttpServer.h"
#include "TestFiles.h"
#include "app/AppInfo.h"
#include "online/ErrorReport.h"
#include "online/NewsLink.h"
#include "online/RemoteOptions.h"
#include "online/UpdateCheck.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

using Request = LoopbackHttpServer::Request;
using Response = LoopbackHttpServer::Response;

constexpr qint64 kNow = 1700000000;

Response answer(int status, const QByteArray& body)
{
    Response response;
    response.status = status;
    response.body = body;
    return response;
}

// A server that answers every request with the given status and body.
struct Service
{
    Service(int status, const QByteArray& body)
        : server([status, body](const Request&) { return answer(status, body); }), endpoint(server.baseUrl())
    {
    }
    LoopbackHttpServer server;
    VendorEndpoint endpoint;
};

class UpdateCheckTest : public ::testing::Test
{
protected:
    QString timeFile() const { return QDir(m_dir.path()).filePath(UpdateCheck::timeFileName()); }

    // Runs the daily check against a service and returns the download addresses announced.
    QList<QUrl> check(Service& service)
    {
        UpdateCheck check(QDir(m_dir.path()), service.endpoint);
        QSignalSpy finished(&check, &UpdateCheck::finished);
        QList<QUrl> obsolete;
        QObject::connect(&check, &UpdateCheck::obsoleteVersion, [&](const QUrl& url) { obsolete << url; });
        EXPECT_TRUE(check.startIfDue(kNow));
        EXPECT_TRUE(finished.wait(10000));
        return obsolete;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(UpdateCheckTest, DueAtMostOnceADay)
{
    EXPECT_TRUE(UpdateCheck::isDue(timeFile(), kNow)); // no file
    writeFileBytes(timeFile(), QByteArray::number(kNow - 86400));
    EXPECT_FALSE(UpdateCheck::isDue(timeFile(), kNow));
    writeFileBytes(timeFile(), QByteArray::number(kNow - 86401));
    EXPECT_TRUE(UpdateCheck::isDue(timeFile(), kNow));
    writeFileBytes(timeFile(), "not a number");
    EXPECT_TRUE(UpdateCheck::isDue(timeFile(), kNow));
    writeFileBytes(timeFile(), "0");
    EXPECT_TRUE(UpdateCheck::isDue(timeFile(), kNow));
    writeFileBytes(timeFile(), QByteArray::number(kNow + 5)); // the clock was set back
    EXPECT_TRUE(UpdateCheck::isDue(timeFile(), kNow));

    writeFileBytes(timeFile(), QByteArray::number(kNow - 10));
    Service service(200, "OK");
    UpdateCheck check(QDir(m_dir.path()), service.endpoint);
    EXPECT_FALSE(check.startIfDue(kNow));
    QCoreApplication::processEvents();
    EXPECT_TRUE(service.server.requests().isEmpty());
}

TEST_F(UpdateCheckTest, AnOrdinaryAnswerRecordsTheCheck)
{
    Service service(200, "OK");
    EXPECT_TRUE(check(service).isEmpty());
    EXPECT_EQ(readFileBytes(timeFile()), QByteArray::number(kNow));
    ASSERT_EQ(service.server.requests().size(), 1);
    EXPECT_EQ(service.server.requests().first().method, QByteArray("GET"));
    EXPECT_EQ(service.server.requests().first().target,
              "/sms_check_update.php?pid=" + AppInfo::productId.toLatin1() + "&ver=99&q=1");
}

TEST_F(UpdateCheckTest, AFailedAnswerLeavesTheCheckDue)
{
    Service service(404, "OK");
    EXPECT_TRUE(check(service).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(timeFile()));
}

TEST_F(UpdateCheckTest, OnlyAnHttpsAddressOnTheServiceHostIsOpened)
{
    Service safe(200, "https://127.0.0.1/download/ferrowyn.deb\n"); // the service's host is 127.0.0.1
    EXPECT_EQ(check(safe), QList<QUrl>{QUrl(QStringLiteral("https://127.0.0.1/download/ferrowyn.deb"))});
    EXPECT_FALSE(QFileInfo::exists(timeFile()));
    for (const char* unsafe :
         {"http://127.0.0.1/download", "https://downloads.evil.test/x", "https://127.0.0.1 /x"}) {
        Service service(200, unsafe);
        EXPECT_TRUE(check(service).isEmpty()) << unsafe;
        EXPECT_FALSE(QFileInfo::exists(timeFile())) << unsafe;
    }
}

TEST_F(UpdateCheckTest, ManualPageAndTexts)
{
    UpdateCheck check(QDir(m_dir.path()), VendorEndpoint(QStringLiteral("vendor.example")));
    const QUrl page = check.manualUpdatePage();
    EXPECT_EQ(page.toString(QUrl::RemoveQuery),
              QStringLiteral("https://vendor.example/sms_check_update.php"));
    const QUrlQuery query(page);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("pid")), AppInfo::productId);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("ver")), QStringLiteral("99"));
    EXPECT_FALSE(query.queryItemValue(QStringLiteral("sys")).isEmpty());
    EXPECT_FALSE(UpdateCheck(QDir(m_dir.path()), VendorEndpoint()).manualUpdatePage().isValid());
    EXPECT_FALSE(UpdateCheck::obsoleteText().isEmpty());
}

TEST(NewsLinkTest, OneEscapedLinkIsMadeOfTheAnswer)
{
    EXPECT_EQ(
        NewsLink::linkHtml(QStringLiteral("<a href=\"https://news.example/x?a=1&amp;b=2\" "
                                          "onclick=\"steal()\"><b>Sale</b> &lt;now&gt;</a>")),
        QStringLiteral(
            "<a style=\"color:#FF8B00;text-decoration:none;\" href=\"https://news.example/x?a=1&amp;b=2\">"
            "Sale &lt;now&gt;</a>"));
    EXPECT_EQ(NewsLink::linkHtml(
                  QStringLiteral("<a href='http://n.example/\"><img src=x onerror=alert(1)>'>x</a>")),
              QString()); // not a valid address
    EXPECT_EQ(NewsLink::linkHtml(QStringLiteral("<a href=\"javascript:alert(1)\">click</a>")), QString());
    EXPECT_EQ(NewsLink::linkHtml(QStringLiteral("<img src=x><a href=\"https://n.example/\">x</a>")),
              QString());
    EXPECT_EQ(
        NewsLink::linkHtml(QStringLiteral("<a href=\"https://n.example/\"><script>x</script></a>")),
        QStringLiteral("<a style=\"color:#FF8B00;text-decoration:none;\" href=\"https://n.example/\">x</a>"));
    EXPECT_EQ(
        NewsLink::linkHtml(QStringLiteral("<a href=\"https://n.example/\">a</a><script>evil()</script>")),
        QStringLiteral("<a style=\"color:#FF8B00;text-decoration:none;\" href=\"https://n.example/\">a</a>"));
}

TEST(NewsLinkTest, AnswersAreStoredAndShownAgainAtTheNextStart)
{
    QTemporaryDir dir;
    {
        Service service(200, "<a href=\"https://news.example/spring\">Spring news &amp; more</a>");
        NewsLink news(QDir(dir.path()), service.endpoint);
        EXPECT_TRUE(news.storedHtml().isEmpty());
        QSignalSpy changed(&news, &NewsLink::newsChanged);
        QSignalSpy finished(&news, &NewsLink::finished);
        news.start();
        ASSERT_TRUE(finished.wait(10000));
        ASSERT_EQ(changed.size(), 1);
        EXPECT_TRUE(
            changed.first().first().toString().contains(QLatin1String(">Spring news &amp; more</a>")));
        EXPECT_EQ(service.server.requests().first().target, "/adv.php?pid=" + AppInfo::productId.toLatin1());
    }
    const QString stored = NewsLink(QDir(dir.path()), VendorEndpoint()).storedHtml();
    EXPECT_TRUE(stored.contains(QLatin1String("href=\"https://news.example/spring\"")));
    {
        Service service(200, "no link today");
        NewsLink news(QDir(dir.path()), service.endpoint);
        QSignalSpy changed(&news, &NewsLink::newsChanged);
        QSignalSpy finished(&news, &NewsLink::finished);
        news.start();
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_TRUE(changed.isEmpty());
        EXPECT_EQ(news.storedHtml(), stored);
    }
}

TEST(ErrorReportTest, FieldsAreEncodedAsTheServiceExpects)
{
    EXPECT_EQ(ErrorReport::encodeField(QStringLiteral("abc")), QByteArray("YWJj"));
    EXPECT_EQ(ErrorReport::encodeField(QStringLiteral("a")), QByteArray("YQ--"));
    EXPECT_EQ(ErrorReport::encodeField(QStringLiteral("???")), QByteArray("Pz8!"));
    EXPECT_EQ(ErrorReport::encodeField(QStringLiteral("\u00FE")), QByteArray("w74-"));
    EXPECT_EQ(ErrorReport::plainText(QStringLiteral("a<br/>b< BR >c<br>&lt;d&gt;")),
              QStringLiteral("a\r\nb\r\nc\r\n<d>"));
}

TEST(ErrorReportTest, TheReportCarriesProductVersionAndErrorOnly)
{
    Service service(200, "thanks");
    ErrorReport::send(QStringLiteral("Disk full.<br/>Path &lt;x&gt;"), service.endpoint);
    QElapsedTimer timer;
    timer.start();
    while (service.server.requests().isEmpty() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(service.server.requests().size(), 1);
    const Request request = service.server.requests().first();
    EXPECT_EQ(request.method, QByteArray("POST"));
    EXPECT_EQ(request.target, QByteArray("/err_report.php"));
    EXPECT_EQ(request.headers.value("content-type"), QByteArray("application/x-www-form-urlencoded"));
    QMap<QByteArray, QByteArray> fields;
    for (const QByteArray& field : request.body.split('&')) {
        const qsizetype equals = field.indexOf('=');
        fields.insert(field.left(equals), field.mid(equals + 1));
    }
    ASSERT_EQ(fields.keys(), (QList<QByteArray>{"err", "prod", "ver"}));
    const auto decode = [](QByteArray field) {
        return QString::fromUtf8(QByteArray::fromBase64(field.replace('!', '/').replace('-', '=')));
    };
    EXPECT_EQ(decode(fields["prod"]), QStringLiteral("Ferrowyn"));
    EXPECT_EQ(decode(fields["ver"]), QStringLiteral("3.1.99(99)"));
    EXPECT_EQ(decode(fields["err"]), QStringLiteral("Disk full.\r\nPath <x>"));
}

TEST(OnlineTest, NothingIsSentWithoutAService)
{
    LoopbackHttpServer server([](const Request&) { return answer(200, "OK"); });
    QTemporaryDir dir;
    const VendorEndpoint none;
    UpdateCheck check(QDir(dir.path()), none);
    EXPECT_FALSE(check.startIfDue(kNow));
    NewsLink news(QDir(dir.path()), none);
    news.start();
    ErrorReport::send(QStringLiteral("error"), none);
    EXPECT_FALSE(RemoteOptions(none).remoteSystemMode());
    QCoreApplication::processEvents();
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(RemoteOptionsTest, SystemModeIsAskedUntilTheServiceAnswers)
{
    QByteArray body = "not json"; // changed only between the synchronous requests
    LoopbackHttpServer server([&](const Request& request) {
        EXPECT_EQ(request.target, QByteArray("/itunes_bk_options.php"));
        return answer(200, body);
    });
    RemoteOptions options{VendorEndpoint(server.baseUrl())};
    EXPECT_FALSE(options.remoteSystemMode());
    EXPECT_FALSE(options.remoteSystemMode()); // asked again: no answer yet
    EXPECT_EQ(server.requests().size(), 2);
    body = "{\"system_mode\": 1}";
    EXPECT_TRUE(options.remoteSystemMode());
    EXPECT_TRUE(options.remoteSystemMode()); // kept
    EXPECT_EQ(server.requests().size(), 3);

    LoopbackHttpServer without([](const Request&) { return answer(200, "{\"other\": 1}"); });
    RemoteOptions missing{VendorEndpoint(without.baseUrl())};
    EXPECT_FALSE(missing.remoteSystemMode());
    EXPECT_FALSE(missing.remoteSystemMode());
    EXPECT_EQ(without.requests().size(), 1); // a missing key is an answer: 0
}
