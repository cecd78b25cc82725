// ferrowyn-cli search: the messages whose text contains a query, newest first, found through the search
// index beside the database (built with a progress bar on first use, and again whenever the messages
// changed) of a LINE folder, a local database, or LINE's data loaded from a backup or an iPhone.
#include "CliCommand.h"
#include "CliLineLoad.h"
#include "CliMessageSource.h"
#include "ConsoleJobReporter.h"
#include "LineListing.h"
#include "jobs/BuildSearchIndexThread.h"
#include "line/LineChat.h"
#include "line/LineUser.h"
#include "search/MessageSearch.h"
#include "search/MessageSearchIndex.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption JsonOption(QStringLiteral("json"), QStringLiteral("One JSON object per line."));
const QCommandLineOption LimitOption(QStringLiteral("limit"),
                                     QStringLiteral("At most N messages (default 100; 0 for all)."),
                                     QStringLiteral("N"), QStringLiteral("100"));

QJsonObject hitJson(const SearchHit& hit)
{
    QJsonObject object = LineListing::messageJson(hit.message);
    object.insert(QStringLiteral("chatTitle"),
                  hit.message.chat ? hit.message.chat->chatTitle(false) : QString());
    object.insert(QStringLiteral("snippet"), hit.markedSnippet(QStringLiteral("«"), QStringLiteral("»")));
    return object;
}

int search(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("QUERY"),
                                 QStringLiteral("The text to find, ignoring case (at least one character)."));
    CliMessageSource::addOptions(parser);
    CliLineLoad::addOptions(parser, QStringLiteral("--line or --localdb"));
    parser.addOption(LimitOption);
    parser.addOption(JsonOption);
    int exitCode = CliOk;
    if (!context.parse(parser,
                       QStringLiteral("Lists the messages whose text contains QUERY, newest first, with the "
                                      "found text marked «so». The first search of a database builds its "
                                      "search index beside it."),
                       exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1) {
        context.err << "error: give exactly one QUERY (quote it when it has spaces)\n";
        return CliUsage;
    }
    bool numeric = false;
    const qint64 limit = parser.value(LimitOption).toLongLong(&numeric);
    if (!numeric || limit < 0) {
        context.err << "error: --limit takes a number of 0 or more\n";
        return CliUsage;
    }
    CliMessageSource store;
    if (CliLineLoad::isSet(parser)) {
        if (CliLineLoad::bothSet(parser) || parser.isSet(QStringLiteral("line")) ||
            parser.isSet(QStringLiteral("localdb"))) {
            context.err
                << "error: give one of --line APP_ROOT, --localdb DIR, --backup DIR or --device UDID\n";
            return CliUsage;
        }
        const QString root = CliLineLoad::load(context, parser, exitCode);
        if (root.isEmpty() || !store.openAppRoot(context, parser, root, exitCode))
            return exitCode;
    } else if (!store.open(context, parser, exitCode)) {
        return exitCode;
    }
    try {
        MessageSearchIndex index(store.data());
        if (!index.openIfCurrent()) {
            ConsoleJobReporter reporter(context);
            BuildSearchIndexThread job(index, &reporter);
            const int built = reporter.run(job);
            if (built != CliOk)
                return built;
        }
        MessageSearch query(index, parser.positionalArguments().first());
        const int batch = limit == 0 || limit > 1000 ? 1000 : int(limit);
        qint64 printed = 0;
        qint64 after = -1;
        while (limit == 0 || printed < limit) {
            const QList<SearchHit> hits =
                query.hits(store.chat(), true,
                           int(limit == 0 ? batch : std::min<qint64>(batch, limit - printed)), after);
            for (const SearchHit& hit : hits) {
                if (parser.isSet(JsonOption)) {
                    context.printJson(hitJson(hit));
                    continue;
                }
                const _LineMsg& message = hit.message;
                const QString from = message.sender ? message.sender->displayName() : QStringLiteral("(me)");
                const QString chat = message.chat ? message.chat->chatTitle(false) : QString();
                context.out << QStringLiteral("%1  %2  %3  %4\n")
                                   .arg(LineListing::tableTime(message.time).leftJustified(19),
                                        LineListing::oneLine(chat).leftJustified(20),
                                        LineListing::oneLine(from).leftJustified(20),
                                        hit.markedSnippet(QStringLiteral("«"), QStringLiteral("»")));
            }
            printed += hits.size();
            if (hits.isEmpty())
                break;
            after = hits.last().position;
        }
        context.out.flush();
    } catch (const std::exception& error) {
        return context.fail(QString::fromUtf8(error.what()));
    }
    return CliOk;
}

const CliRegistration
    registration(QStringLiteral("search"),
                 QStringLiteral("Find messages by their text, through a search index."),
                 {
                     {QString(), QString(), QStringLiteral("Find messages by their text."), &search},
                 });

} // namespace
