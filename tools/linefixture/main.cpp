// ferrowyn-line-fixture: writes a mirrored LINE app folder (see LineFixtureBuilder).
#include "LineFixtureBuilder.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

bool parseLayout(const QString& text, LineFixtureLayout& layout)
{
    const QList<QPair<QString, LineFixtureLayout>> names = {
        {QStringLiteral("private-store"), LineFixtureLayout::PrivateStore},
        {QStringLiteral("private-store-other"), LineFixtureLayout::PrivateStoreOtherAccount},
        {QStringLiteral("documents-private-store"), LineFixtureLayout::DocumentsPrivateStore},
        {QStringLiteral("application-support"), LineFixtureLayout::ApplicationSupport},
        {QStringLiteral("documents-talk"), LineFixtureLayout::DocumentsTalk},
    };
    for (const auto& [name, value] : names) {
        if (name == text) {
            layout = value;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // Images are encoded through Qt's image plugins; no window is ever shown.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a mirrored LINE app folder with a message store."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("APP_ROOT"),
                                 QStringLiteral("Folder to write (created when missing)."));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption messages(QStringLiteral("messages"),
                                      QStringLiteral("Ordinary messages (default 300)."), QStringLiteral("N"),
                                      QStringLiteral("300"));
    const QCommandLineOption users(QStringLiteral("users"), QStringLiteral("Contacts (default 12)."),
                                   QStringLiteral("N"), QStringLiteral("12"));
    const QCommandLineOption chats(QStringLiteral("chats"), QStringLiteral("Enabled chats (default 8)."),
                                   QStringLiteral("N"), QStringLiteral("8"));
    const QCommandLineOption disabled(QStringLiteral("disabled-chats"),
                                      QStringLiteral("Hidden chats (default 1)."), QStringLiteral("N"),
                                      QStringLiteral("1"));
    const QCommandLineOption layout(
        QStringLiteral("layout"),
        QStringLiteral("private-store (default), private-store-other, documents-private-store, "
                       "application-support or documents-talk."),
        QStringLiteral("NAME"), QStringLiteral("private-store"));
    const QCommandLineOption groupTable(QStringLiteral("group-table"),
                                        QStringLiteral("Groups in ZGROUP instead of UnifiedGroup.sqlite."));
    const QCommandLineOption otherEntities(QStringLiteral("other-entities"),
                                           QStringLiteral("Use the alternative Core Data entity numbers."));
    const QCommandLineOption noAttachments(QStringLiteral("no-attachments"),
                                           QStringLiteral("Write no media files."));
    const QCommandLineOption noSpecial(QStringLiteral("no-special"),
                                       QStringLiteral("Leave out the catalogue of unusual rows."));
    const QCommandLineOption pendingWal(QStringLiteral("pending-wal"),
                                        QStringLiteral("Leave the last N messages in Line.sqlite-wal."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOptions({seed, messages, users, chats, disabled, layout, groupTable, otherEntities,
                       noAttachments, noSpecial, pendingWal});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        err << "error: give exactly one APP_ROOT\n";
        return 2;
    }

    LineFixtureOptions options;
    bool ok = true;
    bool all = true;
    options.seed = parser.value(seed).toULongLong(&ok);
    all = all && ok;
    options.messages = parser.value(messages).toLongLong(&ok);
    all = all && ok && options.messages >= 0;
    options.users = parser.value(users).toInt(&ok);
    all = all && ok && options.users >= 0;
    options.chats = parser.value(chats).toInt(&ok);
    all = all && ok && options.chats >= 0;
    options.disabledChats = parser.value(disabled).toInt(&ok);
    all = all && ok && options.disabledChats >= 0;
    options.pendingWalMessages = parser.value(pendingWal).toInt(&ok);
    all = all && ok && options.pendingWalMessages >= 0;
    if (!all || !parseLayout(parser.value(layout), options.layout)) {
        err << "error: invalid option value\n";
        return 2;
    }
    if (parser.isSet(groupTable))
        options.groups = LineFixtureGroups::GroupTable;
    if (parser.isSet(otherEntities))
        options.entities = LineFixtureEntities::alternative();
    options.attachments = !parser.isSet(noAttachments);
    options.messageThumbnails = options.attachments;
    options.specialMessages = !parser.isSet(noSpecial);

    QElapsedTimer timer;
    timer.start();
    try {
        const LineFixture fixture = LineFixtureBuilder::build(parser.positionalArguments().first(), options);
        out << "app root:  " << fixture.appRoot << "\n"
            << "owner:     " << fixture.ownerMid << " (" << fixture.ownerName << ")\n"
            << "store:     " << fixture.storeRelativePath << "\n"
            << "groups:    "
            << (fixture.groupStoreRelativePath.isEmpty() ? QStringLiteral("ZGROUP")
                                                         : fixture.groupStoreRelativePath)
            << "\n"
            << "messages:  " << fixture.messageRows << " rows, " << fixture.visibleMessages << " listed\n"
            << "built in   " << timer.elapsed() << " ms\n";
    } catch (const std::exception& error) {
        err << "error: " << QString::fromUtf8(error.what()) << "\n";
        return 1;
    }
    return 0;
}
