#include "CliMessageSource.h"

#include "CliCommand.h"
#include "app/JobControl.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineLocalDb.h"
#include "line/LineMsgsDataSource.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {
const QString kLine = QStringLiteral("line");
const QString kLocalDb = QStringLiteral("localdb");
const QString kChat = QStringLiteral("chat");
} // namespace

void CliMessageSource::addOptions(QCommandLineParser& parser)
{
    parser.addOption({kLine,
                      QStringLiteral("Read LINE's store in this folder mirroring LINE's app data (Documents, "
                                     "Library); it is read from a copy and never changed."),
                      QStringLiteral("APP_ROOT")});
    parser.addOption(
        {kLocalDb, QStringLiteral("Read the local message database in this folder."), QStringLiteral("DIR")});
    parser.addOption(
        {kChat, QStringLiteral("Only the messages of the chat with this LINE id."), QStringLiteral("UID")});
}

bool CliMessageSource::open(CliContext& context, const QCommandLineParser& parser, int& exitCode)
{
    if (parser.isSet(kLine) == parser.isSet(kLocalDb)) {
        context.err << "error: give either --line APP_ROOT or --localdb DIR\n";
        context.err.flush();
        exitCode = CliUsage;
        return false;
    }
    return openDb(context, parser, parser.isSet(kLine) ? parser.value(kLine) : QString(), exitCode);
}

bool CliMessageSource::openAppRoot(CliContext& context, const QCommandLineParser& parser, const QString& root,
                                   int& exitCode)
{
    return openDb(context, parser, root, exitCode);
}

bool CliMessageSource::openDb(CliContext& context, const QCommandLineParser& parser, const QString& root,
                              int& exitCode)
{
    exitCode = CliFailed;
    try {
        if (!root.isEmpty()) {
            // Absolute, so that the paths of its media are too.
            const QString appRoot = QFileInfo(root).absoluteFilePath();
            if (!QFileInfo(appRoot).isDir()) {
                context.fail(QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(appRoot)));
                return false;
            }
            JobControl control = context.control();
            auto db = IOSLineStoreCache::openCopy(appRoot, control);
            m_stickerFiles = LineStickerFiles::inAppFolder(appRoot, db->accountPrefix());
            m_db = db;
        } else {
            const QString folder = parser.value(kLocalDb);
            // Reading must not create a database where there was none.
            if (!LineLocalDb::existsIn(folder)) {
                context.fail(QStringLiteral("there is no local message database in %1")
                                 .arg(QDir::toNativeSeparators(folder)));
                return false;
            }
            // Absolute, so that the paths of its media are too.
            m_localDbFolder = QFileInfo(folder).absoluteFilePath();
            m_db = std::make_shared<LineLocalDb>(m_localDbFolder);
        }
        m_data = std::make_shared<_LineData>(m_db);
        m_db->loadContacts(m_data);
    } catch (const JobCancelled&) {
        exitCode = context.cancelled();
        return false;
    } catch (const std::exception& error) {
        context.fail(QString::fromUtf8(error.what()));
        return false;
    }

    _LineChat* chat = nullptr;
    if (parser.isSet(kChat)) {
        const QString uid = parser.value(kChat);
        for (_LineChat* candidate : m_data->chatsById()) {
            if (candidate->uid == uid) {
                chat = candidate;
                break;
            }
        }
        if (!chat) {
            context.fail(QStringLiteral("there is no chat with the id '%1'").arg(uid));
            return false;
        }
    }
    m_chat = chat;
    m_source = std::make_shared<LineMsgsDataSource>(m_data, chat, true);
    exitCode = CliOk;
    return true;
}
