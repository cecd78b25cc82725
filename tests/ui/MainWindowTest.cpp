// The main window driven like a user, under Xvfb: a simulated iPhone (its own simulator and socket) that
// asks to be trusted is attached, its LINE chats are listed and shown; a local database written from the
// chat fixture is opened and a chat deleted from it; an encrypted iTunes backup is imported into a new
// local database; the phone is detached. A local database is transferred to the phone through the menu,
// then that phone's messages to a second phone on a newer system (a whole-phone transfer) through the
// context menu; the cache is cleared once no phone is left and the language is switched to Japanese and
// back. Saves test-artifacts/main-window-device-chat.png, backup-list-dialog.png, password-dialog.png,
// main-window-first-run.png and main-window-japanese.png.
#include "ui/MainWindow.h"
#include "../device/DeviceTestSupport.h"
#include "BackupFixtureBuilder.h"
#include "ChatFixture.h"
#include "LineContent.h"
#include "LineFixtureBuilder.h"
#include "ModalCloser.h"
#include "WebViewTestSupport.h"
#include "device/PartialBackupRoot.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineImageUrls.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsDataSource.h"
#include "platform/AppDataDir.h"
#include "platform/AppLanguage.h"
#include "storage/Sqlite3DB.h"
#include "ui/ItemModelMain.h"
#include "ui/ItemModelSms.h"
#include "ui/MyTreeView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <QTreeView>
#include <QWebEngineView>
#include <sqlite3.h>

using namespace iphonesim;

namespace {

constexpr int kDeviceWaitMs = 180000;

class MainWindowTest : public SimulatorTest
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"line", "line-full", "line-restore"})
            PartialBackupRoot::resetPartialBackupRoot(QLatin1String(folder));
        // The window speaks English, as a user sees it.
        ASSERT_FALSE(setAppLanguage(QStringLiteral("en_US")).isEmpty());
        LineImageUrls::setStickerServer(QString());
        LineImageUrls::setMapServer(QString());
        SimulatorTest::SetUp();
    }
    void TearDown() override
    {
        SimulatorTest::TearDown();
        LineImageUrls::resetServers();
    }

    GeneratorOptions deviceOptions() const override
    {
        GeneratorOptions options = currentPhoneOptions();
        LineFixtureOptions line;
        line.seed = 5;
        line.messages = 80;
        line.users = 5;
        line.chats = 4;
        options.fillLine = [this, line](const LineContainers& containers) {
            m_fixture = fillLineContainers(containers, line);
        };
        return options;
    }

    // A local database "Family" with the chat fixture's messages, as a backup into it leaves it.
    static void writeLocalDb()
    {
        ChatFixture chats;
        LineLocalDb target(localDbDir().filePath(QStringLiteral("Family")));
        LineLocalDbMerger(target).merge(*chats.source());
    }

    // An encrypted iTunes backup with LINE's data where the program looks for backups.
    static void writeItunesBackup()
    {
        QTemporaryDir app;
        LineFixtureOptions line;
        line.seed = 9;
        line.messages = 40;
        line.users = 4;
        line.chats = 3;
        LineFixtureBuilder::build(app.filePath(QStringLiteral("jp.naver.line")), line);
        backupfixture::EncryptionSettings encryption;
        encryption.enabled = true;
        encryption.password = QStringLiteral("secret");
        backupfixture::DeviceIdentity device;
        device.deviceName = QStringLiteral("Old iPhone");
        backupfixture::BackupFixtureBuilder builder;
        builder.setDevice(device).setEncryption(encryption);
        builder.addLineAppFolder(app.filePath(QStringLiteral("jp.naver.line")));
        ASSERT_TRUE(
            builder.write(QDir::home().filePath(QStringLiteral("Apple/MobileSync/Backup/") + device.udid)));
    }

    // The user's answers in the import dialogs, given from a timer as each dialog runs its own loop: the
    // first listed backup, its password, the proposed database name.
    static void answerImportDialogs(QTimer& timer)
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            const auto button = [modal](const char* name) {
                return modal->findChild<QPushButton*>(QString::fromLatin1(name));
            };
            const auto save = [modal](const QString& name) {
                QDir().mkpath(artifactDir());
                modal->grab().save(QDir(artifactDir()).filePath(name));
            };
            if (modal->objectName() == QStringLiteral("LoadItunesBackupDlg")) {
                auto* list = modal->findChild<QTreeView*>(QStringLiteral("listBackups"));
                list->setCurrentIndex(list->model()->index(0, 0));
                save(QStringLiteral("backup-list-dialog.png"));
                button("btnLoad")->click();
            } else if (modal->objectName() == QStringLiteral("PasscodeDlg")) {
                modal->findChild<QLineEdit*>(QStringLiteral("txtPasscode"))
                    ->setText(QStringLiteral("secret"));
                save(QStringLiteral("password-dialog.png"));
                button("btnOK")->click();
            } else if (modal->objectName() == QStringLiteral("LocalDbSelForm")) {
                button("btnOK")->click();
            }
        });
        timer.start();
    }

    static MyTreeView* tree(MainWindow& window, const char* name)
    {
        return window.findChild<MyTreeView*>(QString::fromLatin1(name));
    }

    // The user's answer to the trust prompt, given from a timer: the prompt runs its own event loop.
    // Taps Trust on the phone, then clicks Retry in the window; then the notes box is answered.
    void trustWhenAsked(QTimer& timer, ModalCloser& closer)
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this, &timer, &closer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->text().contains(QStringLiteral("Trust")))
                return;
            timer.stop();
            control("accept " + m_udid);
            for (QAbstractButton* button : box->buttons())
                if (button->text() == QStringLiteral("Retry"))
                    button->click();
            ++m_trustPrompts;
            closer.answer(QStringLiteral("OK")); // the notes before the backup
        });
        timer.start();
    }

    // Waits until the bubble view shows its page and saves the window.
    static void saveScreenshot(MainWindow& window, const QString& name)
    {
        QTest::qWait(1500); // the web view paints its page after the load finished
        QDir().mkpath(artifactDir());
        EXPECT_TRUE(window.grab().save(QDir(artifactDir()).filePath(name)));
    }

    // A number from the phone's own message store, read with plain SQL.
    qint64 storeValue(const char* sql) const
    {
        Sqlite3DB db;
        db.openFile(QString::fromStdString(deviceFile("AppDomainGroup-group.com.linecorp.line",
                                                      m_fixture.storeRelativePath.toStdString())),
                    SQLITE_OPEN_READONLY);
        return db.queryInt64(sql);
    }

    // The one action of that name once the menus made before a language change are gone.
    static QAction* onlyAction(MainWindow& window, const QString& name)
    {
        const QList<QAction*> actions = window.findChildren<QAction*>(name);
        return actions.size() == 1 ? actions.first() : nullptr;
    }

    // Chooses a language from the Help menu and waits until the window shows it: the transfer entry reads
    // expected.
    static bool switchLanguage(MainWindow& window, const QString& locale, const QString& expected)
    {
        QAction* choice = onlyAction(window, QStringLiteral("miLanguage_") + locale);
        if (!choice)
            return false;
        choice->trigger();
        return QTest::qWaitFor(
            [&] {
                QAction* transfer = onlyAction(window, QStringLiteral("actDb2iToolbar"));
                return transfer && transfer->text() == expected;
            },
            5000);
    }

    // A number from a message store, read with plain SQL; the stores in attached are reachable as s0, s1...
    static qint64 sqlValue(const QString& store, const QString& sql, const QStringList& attached = {})
    {
        Sqlite3DB db;
        db.openFile(store, SQLITE_OPEN_READONLY);
        for (int i = 0; i < attached.size(); ++i)
            db.execute(Sqlite3Sql(QStringLiteral("attach '%1' as s%2").arg(attached[i]).arg(i)));
        return db.queryInt64(Sqlite3Sql(sql));
    }

    // The message store inside a simulated phone's folder.
    static QString storeIn(const std::string& deviceFolder, const LineFixture& fixture)
    {
        return QString::fromStdString(deviceFolder) +
               QStringLiteral("/files/AppDomainGroup-group.com.linecorp.line/") + fixture.storeRelativePath;
    }

    static _IOSDeviceItemNode* deviceNode(ItemModelMain& model, const std::string& udid)
    {
        for (_IOSDeviceItemNode* node : model.deviceNodes())
            if (node->device->udid == QString::fromStdString(udid))
                return node;
        return nullptr;
    }

    enum class MenuEntry
    {
        Missing,
        Disabled,
        Chosen,
    };

    // Right-clicks the sources tree and chooses the entry of the context menu with that text, as a user
    // does with the keyboard; a disabled entry is not chosen and the menu is closed.
    static MenuEntry chooseFromContextMenu(MyTreeView* tree, const QString& text)
    {
        MenuEntry entry = MenuEntry::Missing;
        QTimer pick;
        pick.setInterval(20);
        QObject::connect(&pick, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            pick.stop();
            for (QAction* action : menu->actions()) {
                if (action->text() != text)
                    continue;
                if (!action->isEnabled()) {
                    entry = MenuEntry::Disabled;
                    break;
                }
                entry = MenuEntry::Chosen;
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return); // runs the entry's action
                return;
            }
            menu->close();
        });
        pick.start();
        const QPoint at = tree->visualRect(tree->currentIndex()).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &click);
        return entry;
    }

    mutable LineFixture m_fixture;
    int m_trustPrompts = 0;
};

TEST_F(MainWindowTest, AttachedPhoneShowsItsChatsAndLocalDatabasesAreEdited)
{
    control("trust " + m_udid + " dialog");
    writeLocalDb();
    writeItunesBackup();
    ModalCloser closer({}, 60000);
    closer.ignoreNamed(QStringLiteral("ProgressForm"));
    MainWindow window;
    QElapsedTimer sinceStart; // the window's no-device timer started inside its constructor
    sinceStart.start();
    window.show();
    ItemModelMain& model = *window.mainModel();
    ItemModelSms& messages = *window.messageModel();
    MyTreeView* sources = tree(window, "treeViewDS");
    MyTreeView* list = tree(window, "treeViewSMS");
    ASSERT_TRUE(sources && list);

    // The local database is listed at once, not loaded yet.
    ASSERT_EQ(model.localDbNodes().size(), 1);
    _LocalDbItemNode* family = model.localDbNodes().first();
    EXPECT_EQ(family->text, QStringLiteral("Family"));
    EXPECT_EQ(family->childCount(), 0);

    // The phone does not trust the computer yet: the window asks, the user taps Trust and then Retry.
    QTimer trustAnswer;
    trustWhenAsked(trustAnswer, closer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.deviceNodes().size() == 1; }, kDeviceWaitMs))
        << closer.texts.join('\n').toStdString();
    EXPECT_EQ(m_trustPrompts, 1);
    _IOSDeviceItemNode* phone = model.deviceNodes().first();
    EXPECT_EQ(phone->device->udid, QString::fromStdString(m_udid));
    EXPECT_EQ(phone->ownerId, m_fixture.ownerMid);
    int enabledChats = 0;
    for (const LineFixtureChat& chat : m_fixture.chats)
        enabledChats += chat.enabled;
    EXPECT_EQ(phone->childCount(), enabledChats);
    // The phone's node is selected: every message of it is listed.
    EXPECT_EQ(model.nodeOf(sources->currentIndex()), phone);
    EXPECT_EQ(messages.total(), m_fixture.visibleMessages);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lbChatName"))->text(), QStringLiteral("All"));

    // A chat: the list and the bubbles show its messages.
    AbsTreeItemModel::_ItemNode* chatNode = nullptr;
    for (int row = 0; row < phone->childCount() && !chatNode; ++row)
        if (phone->data->db()->countMessages(static_cast<_ChatSessionItemNode*>(phone->child(row))->chat) > 0)
            chatNode = phone->child(row);
    ASSERT_NE(chatNode, nullptr);
    _LineChat* chat = static_cast<_ChatSessionItemNode*>(chatNode)->chat;
    sources->setCurrentIndex(model.indexOf(chatNode));
    EXPECT_EQ(window.currentChat(), chat);
    const qint64 chatCount = phone->data->db()->countMessages(chat);
    EXPECT_EQ(messages.total(), chatCount);
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.rowCount() == qMin<qint64>(chatCount, 500); }, 10000));
    EXPECT_EQ(window.bubbleView().messageCount(), chatCount);
    EXPECT_FALSE(window.bubbleView().currentHtml().isEmpty());
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lbSMSCount"))->text(),
              QStringLiteral("Messages: %1").arg(chatCount));
    // Newest first when the date column is sorted the other way.
    const QString firstAscending = messages.data(messages.index(0, 3)).toString();
    list->header()->setSortIndicator(0, Qt::DescendingOrder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.rowCount() > 0; }, 10000));
    EXPECT_EQ(messages.data(messages.index(int(messages.rowCount()) - 1, 3)).toString(), firstAscending);
    list->header()->setSortIndicator(0, Qt::AscendingOrder);
    saveScreenshot(window, QStringLiteral("main-window-device-chat.png"));

    closer.ignoreNamed(QStringLiteral("LocalDbSelForm"));

    // The chat search finds a chat by part of its name, ignoring case.
    auto* keyword = window.findChild<QLineEdit*>(QStringLiteral("txtHandleKeyword"));
    sources->setCurrentIndex(model.indexOf(phone));
    keyword->setText(chatNode->text.left(3).toUpper());
    QTest::keyClick(keyword, Qt::Key_Return);
    EXPECT_TRUE(
        model.nodeOf(sources->currentIndex())->text.contains(chatNode->text.left(3), Qt::CaseInsensitive));

    // The phone's messages backed up into a new local database with the proposed name.
    {
        sources->setCurrentIndex(model.indexOf(phone));
        QTimer answers;
        answerImportDialogs(answers);
        closer.answer(QStringLiteral("OK")); // the backup's result
        window.findChild<QAction*>(QStringLiteral("actBackupToolbar"))->trigger();
        _LocalDbItemNode* copy = model.findLocalDbNode(phone->text + QStringLiteral("_Backup"));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(model.nodeOf(sources->currentIndex()), copy);
        EXPECT_EQ(messages.total(), m_fixture.visibleMessages);
        EXPECT_EQ(copy->childCount(), phone->childCount());
    }

    // The local database: selecting it loads it and lists its chats; a chat is deleted through the tool bar.
    sources->setCurrentIndex(model.indexOf(family));
    ASSERT_EQ(family->childCount(), 3);
    auto* victim = static_cast<_ChatSessionItemNode*>(family->child(0));
    const QString victimUid = victim->chat->uid;
    sources->setCurrentIndex(model.indexOf(victim));
    auto* deleteAction = window.findChild<QAction*>(QStringLiteral("actDeleteToolbar"));
    ASSERT_TRUE(deleteAction && deleteAction->isEnabled());
    closer.answer(QStringLiteral("No"));
    deleteAction->trigger();
    EXPECT_EQ(family->childCount(), 3); // "No" changes nothing
    closer.answer(QStringLiteral("Yes"));
    deleteAction->trigger();
    ASSERT_EQ(family->childCount(), 2);
    for (int row = 0; row < family->childCount(); ++row)
        EXPECT_NE(static_cast<_ChatSessionItemNode*>(family->child(row))->chat->uid, victimUid);
    EXPECT_EQ(model.nodeOf(sources->currentIndex()), family);
    {
        // Read again from the file: the chat and its messages are gone.
        auto reread = std::make_shared<LineLocalDb>(localDbDir().filePath(QStringLiteral("Family")));
        auto data = std::make_shared<_LineData>(reread);
        reread->loadContacts(data);
        EXPECT_EQ(data->chats().size(), 2);
        for (const _LineChat* left : data->chats())
            EXPECT_NE(left->uid, victimUid);
        EXPECT_EQ(messages.total(), reread->countMessages(nullptr));
    }

    // An encrypted iTunes backup imported into a new local database named after its device.
    QTimer importAnswers;
    answerImportDialogs(importAnswers);
    closer.ignoreNamed(QStringLiteral("LoadItunesBackupDlg"));
    closer.ignoreNamed(QStringLiteral("PasscodeDlg"));
    closer.ignoreNamed(QStringLiteral("LocalDbSelForm"));
    closer.answer(QStringLiteral("OK")); // the backup's result
    window.findChild<QAction*>(QStringLiteral("actImportiTunes"))->trigger();
    importAnswers.stop();
    _LocalDbItemNode* imported = model.findLocalDbNode(QStringLiteral("Old iPhone_Backup"));
    ASSERT_NE(imported, nullptr) << closer.texts.join('\n').toStdString();
    EXPECT_EQ(model.nodeOf(sources->currentIndex()), imported);
    EXPECT_EQ(imported->childCount(), 3);
    EXPECT_GT(messages.total(), 0);
    EXPECT_EQ(messages.total(), imported->data->db()->countMessages(nullptr));
    EXPECT_TRUE(closer.texts.last().startsWith(QStringLiteral("Successfully backed up")))
        << closer.texts.last().toStdString();

    // Detaching the phone while its chat is shown empties both panes.
    sources->setCurrentIndex(model.indexOf(chatNode));
    ASSERT_GT(messages.total(), 0);
    // The no-device tips are due 10 s after start (a coarse timer: up to 5 % later) when no phone is
    // attached; past that the detach is quiet.
    QTest::qWait(int(qMax<qint64>(0, 11500 - sinceStart.elapsed())));
    control("detach " + m_udid);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.deviceNodes().isEmpty(); }, 20000));
    EXPECT_EQ(messages.total(), 0);
    EXPECT_EQ(messages.rowCount(), 0);
    EXPECT_EQ(window.bubbleView().messageCount(), 0);
    EXPECT_EQ(window.currentChat(), nullptr);

    // The whole databases deleted: with nothing left, the panes show how to start.
    for (_LocalDbItemNode* node : model.localDbNodes()) {
        sources->setCurrentIndex(model.indexOf(node));
        closer.answer(QStringLiteral("Yes"));
        closer.answer(QStringLiteral("OK"));
        deleteAction->trigger();
    }
    EXPECT_TRUE(model.localDbNodes().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(localDbDir().filePath(QStringLiteral("Family"))));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("lbListHint"))->isVisible());
    EXPECT_FALSE(list->isVisible());
    saveScreenshot(window, QStringLiteral("main-window-first-run.png"));
    for (const QToolBar* bar : window.findChildren<QToolBar*>())
        for (const QAction* action : bar->actions())
            EXPECT_TRUE(action->isSeparator() || !action->icon().pixmap(16).isNull())
                << "no picture for " << action->text().toStdString();
    EXPECT_EQ(closer.timedOut, 0) << closer.texts.join('\n').toStdString();
}

TEST_F(MainWindowTest, ALocalDatabaseGoesToThePhoneAndOnToASecondThenTheCacheIsClearedAndTheLanguageSwitched)
{
    writeLocalDb();
    ModalCloser closer({}, 60000);
    closer.ignoreNamed(QStringLiteral("ProgressForm"));
    closer.answer(QStringLiteral("OK")); // the notes before the phone is read
    MainWindow window;
    window.show();
    ItemModelMain& model = *window.mainModel();
    MyTreeView* sources = tree(window, "treeViewDS");
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.deviceNodes().size() == 1; }, kDeviceWaitMs))
        << closer.texts.join('\n').toStdString();
    _IOSDeviceItemNode* phone = model.deviceNodes().first();
    ASSERT_EQ(model.localDbNodes().size(), 1);
    _LocalDbItemNode* family = model.localDbNodes().first();
    auto* transfer = window.findChild<QAction*>(QStringLiteral("actDb2iToolbar"));
    auto* clearCache = window.findChild<QAction*>(QStringLiteral("actClearCache"));
    ASSERT_TRUE(transfer && clearCache);

    // Messages go from a local database to an iPhone, never from the phone through this entry.
    sources->setCurrentIndex(model.indexOf(phone));
    EXPECT_FALSE(transfer->isEnabled());
    sources->setCurrentIndex(model.indexOf(family));
    ASSERT_TRUE(transfer->isEnabled());

    // While a phone is attached its cache stays: the window only says to disconnect it first.
    const QString phoneCache = QDir(IOSLineStoreCache::cacheRoot()).filePath(QString::fromStdString(m_udid));
    ASSERT_TRUE(QFileInfo::exists(phoneCache));
    closer.answer(QStringLiteral("OK"));
    clearCache->trigger();
    EXPECT_TRUE(closer.texts.last().contains(QStringLiteral("disconnect your phone first")))
        << closer.texts.last().toStdString();
    EXPECT_TRUE(QFileInfo::exists(phoneCache));

    // The whole local database into the phone: its store holds the new messages afterwards.
    const qint64 before = storeValue("select count(*) from ZMESSAGE where ZCONTENTTYPE<>106");
    const qint64 familyMessages = family->data->db()->countMessages(nullptr);
    ASSERT_GT(familyMessages, 0);
    closer.answer(QStringLiteral("Confirm")); // the target iPhone, the only one offered
    closer.answer(QStringLiteral("OK"));      // the notes: Find My iPhone off, LINE closed
    closer.answer(QStringLiteral("OK"));      // the result
    closer.answer(QStringLiteral("OK"));      // the notes before the restarted phone is read again
    const int shownBefore = int(closer.texts.size());
    transfer->trigger();
    const QStringList shown = closer.texts.mid(shownBefore);
    ASSERT_GE(shown.size(), 3) << closer.texts.join('\n').toStdString();
    EXPECT_EQ(shown[0], QStringLiteral("DataSourceSelForm"));
    EXPECT_TRUE(shown[1].contains(QStringLiteral("Find My iPhone"))) << shown[1].toStdString();
    EXPECT_TRUE(
        shown[2].startsWith(QStringLiteral("Successfully transferred %1 messages").arg(familyMessages)))
        << shown.join('\n').toStdString();
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE"), before + familyMessages);
    EXPECT_EQ(storeValue("select count(*) from (select distinct ZCHAT, ZID from ZMESSAGE)"),
              before + familyMessages);

    // The phone restarts and is read again, now with the transferred messages.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<_IOSDeviceItemNode*> phones = model.deviceNodes();
            return phones.size() == 1 && phones.first()->loaded &&
                   phones.first()->data->db()->countMessages(nullptr) > m_fixture.visibleMessages;
        },
        kDeviceWaitMs))
        << closer.texts.join('\n').toStdString();
    phone = deviceNode(model, m_udid);
    ASSERT_NE(phone, nullptr);

    // With no other phone attached there is nothing to transfer the phone's messages to.
    const QString phoneToPhone = QStringLiteral("Transfer Messages from iPhone to iPhone");
    sources->setCurrentIndex(model.indexOf(phone));
    EXPECT_EQ(chooseFromContextMenu(sources, phoneToPhone), MenuEntry::Disabled);

    // A second phone, on a system that takes LINE's files only with a whole-phone restore, is attached.
    GeneratorOptions secondOptions = currentPhoneOptions("27.0");
    secondOptions.seed = 2;
    secondOptions.deviceName = "Second iPhone";
    LineFixtureOptions secondLine;
    secondLine.seed = 12;
    secondLine.messages = 30;
    secondLine.users = 3;
    secondLine.chats = 2;
    LineFixture secondFixture;
    secondOptions.fillLine = [&secondFixture, secondLine](const LineContainers& containers) {
        secondFixture = fillLineContainers(containers, secondLine);
    };
    const std::string secondFolder = makeDevice("second", secondOptions);
    closer.answer(QStringLiteral("OK")); // the notes before it is read
    const std::string secondUdid = m_simulator->attach(secondFolder);
    ASSERT_NE(secondUdid, m_udid);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const _IOSDeviceItemNode* second = deviceNode(model, secondUdid);
            return second && second->loaded;
        },
        kDeviceWaitMs))
        << closer.texts.join('\n').toStdString();
    const QString secondStore = storeIn(secondFolder, secondFixture);
    const QString firstStore = storeIn(m_deviceFolder, m_fixture);
    const QString secondBefore = QString::fromStdString(path("second-before.sqlite"));
    {
        Sqlite3DB db;
        db.openFile(secondStore, SQLITE_OPEN_READONLY);
        db.execute(Sqlite3Sql(QStringLiteral("vacuum into '%1'").arg(secondBefore)));
    }
    // LINE's own notices are not carried over by a merge; every other message stays.
    const qint64 secondRows =
        sqlValue(secondStore, QStringLiteral("select count(*) from ZMESSAGE where ZCONTENTTYPE<>106"));

    // Every message of the first phone to the second through the first phone's context menu: the target
    // is chosen, the whole-phone transfer confirmed with its size, free space and time.
    sources->setCurrentIndex(model.indexOf(phone));
    const qint64 phoneMessages = phone->data->db()->countMessages(nullptr);
    ASSERT_GT(phoneMessages, m_fixture.visibleMessages);
    closer.answer(QStringLiteral("Confirm")); // the target iPhone, the only other one
    closer.answer(QStringLiteral("OK"));      // the notes: Find My iPhone off, LINE closed
    closer.answer(QStringLiteral("Yes"));     // the whole-phone backup and restore
    closer.answer(QStringLiteral("OK"));      // the result
    closer.answer(QStringLiteral("OK"));      // the notes before the restarted phone is read again
    const int shownBeforeCopy = int(closer.texts.size());
    ASSERT_EQ(chooseFromContextMenu(sources, phoneToPhone), MenuEntry::Chosen);
    const QStringList copyShown = closer.texts.mid(shownBeforeCopy);
    ASSERT_GE(copyShown.size(), 4) << closer.texts.join('\n').toStdString();
    EXPECT_EQ(copyShown[0], QStringLiteral("DataSourceSelForm"));
    EXPECT_TRUE(copyShown[1].contains(QStringLiteral("Find My iPhone"))) << copyShown[1].toStdString();
    EXPECT_TRUE(copyShown[2].contains(QStringLiteral("whole iPhone")) &&
                copyShown[2].contains(QStringLiteral("GB free")) &&
                copyShown[2].contains(QStringLiteral("minutes")))
        << copyShown[2].toStdString();
    EXPECT_TRUE(
        copyShown[3].startsWith(QStringLiteral("Successfully transferred %1 messages").arg(phoneMessages)))
        << copyShown.join('\n').toStdString();
    // The second phone's own store: its own messages kept, each of the first phone's there exactly once.
    EXPECT_EQ(sqlValue(secondStore, QStringLiteral("select count(*) from ZMESSAGE")),
              secondRows + phoneMessages);
    EXPECT_EQ(sqlValue(secondStore,
                       QStringLiteral(
                           "select count(*) from s0.ZMESSAGE o where o.ZCONTENTTYPE<>106 and not exists "
                           "(select 1 from main.ZMESSAGE m where m.ZID is o.ZID and m.ZTEXT is o.ZTEXT)"),
                       {secondBefore}),
              0);
    EXPECT_EQ(sqlValue(secondStore,
                       QStringLiteral(
                           "select count(*) from s0.ZMESSAGE a where a.ZID<>'' and (select count(*) from "
                           "main.ZMESSAGE m where m.ZID=a.ZID)=1"),
                       {firstStore}),
              phoneMessages);
    EXPECT_EQ(sqlValue(secondStore,
                       QStringLiteral(
                           "select count(*) from s0.ZMESSAGE a where a.ZID<>'' and (select count(*) from "
                           "main.ZMESSAGE m where m.ZID=a.ZID)>1"),
                       {firstStore}),
              0);
    EXPECT_EQ(
        sqlValue(secondStore,
                 QStringLiteral("select count(*) from ZMESSAGE where ZCHAT not in (select Z_PK from ZCHAT)")),
        0);
    // The whole-phone backup as taken stays on the computer, to put the phone back.
    EXPECT_TRUE(QFileInfo::exists(
        PartialBackupRoot::partialBackupRoot(QStringLiteral("line-full"))
            .filePath(QString::fromStdString(secondUdid) + QStringLiteral("/Manifest.db"))));
    // The second phone restarts and is read again with them; the first stays as it was.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const _IOSDeviceItemNode* second = deviceNode(model, secondUdid);
            return second && second->loaded &&
                   second->data->db()->countMessages(nullptr) ==
                       secondFixture.visibleMessages + phoneMessages;
        },
        kDeviceWaitMs))
        << closer.texts.join('\n').toStdString();
    EXPECT_EQ(deviceNode(model, m_udid), phone);

    // The same messages into an encrypted iTunes backup, chosen in the backup list.
    {
        writeItunesBackup();
        sources->setCurrentIndex(model.indexOf(family));
        QTimer answers;
        answerImportDialogs(answers);
        closer.ignoreNamed(QStringLiteral("LoadItunesBackupDlg"));
        closer.ignoreNamed(QStringLiteral("PasscodeDlg"));
        closer.answer(QStringLiteral("OK")); // the result
        window.miExport2ITunesBKAll();
        EXPECT_EQ(closer.texts.last(),
                  QStringLiteral("Successfully transferred %1 messages to iPhone.").arg(familyMessages))
            << closer.texts.join('\n').toStdString();
    }

    // Without a vendor service the update check says so and sends nothing.
    closer.answer(QStringLiteral("OK"));
    window.findChild<QAction*>(QStringLiteral("actCheckUpdate"))->trigger();
    EXPECT_TRUE(closer.texts.last().contains(QStringLiteral("no update service")))
        << closer.texts.last().toStdString();

    // Disconnected in the window, the phones' nodes go; the cache can be cleared then, local databases stay.
    for (const std::string& udid : {secondUdid, m_udid}) {
        sources->setCurrentIndex(model.indexOf(deviceNode(model, udid)));
        window.miUnmoutDevice();
    }
    EXPECT_TRUE(model.deviceNodes().isEmpty());
    EXPECT_EQ(window.messageModel()->total(), 0);
    sources->setCurrentIndex(model.indexOf(family));
    EXPECT_FALSE(transfer->isEnabled());
    closer.answer(QStringLiteral("No"));
    clearCache->trigger();
    EXPECT_TRUE(QFileInfo::exists(phoneCache)); // "No" changes nothing
    closer.answer(QStringLiteral("Yes"));
    closer.answer(QStringLiteral("OK"));
    clearCache->trigger();
    EXPECT_EQ(closer.texts.last(), QStringLiteral("Successfully cleared cache files."));
    EXPECT_FALSE(QFileInfo::exists(phoneCache));
    EXPECT_FALSE(PartialBackupRoot::partialBackupRoot(QStringLiteral("line")).exists());
    EXPECT_TRUE(
        QFileInfo::exists(localDbDir().filePath(QStringLiteral("Family/") + LineLocalDb::DbFileName)));

    // Japanese at once, from the Help menu, remembered for the next start; then English again.
    QTranslator japanese;
    ASSERT_TRUE(japanese.load(QStringLiteral(":/ja_JP.qm")));
    const QString japaneseTransfer = japanese.translate("MainWindow", "IDS_MI_DB2I_TOOLBAR");
    ASSERT_FALSE(japaneseTransfer.isEmpty());
    sources->setCurrentIndex(model.indexOf(family->child(0)));
    ASSERT_TRUE(switchLanguage(window, QStringLiteral("ja_JP"), japaneseTransfer));
    EXPECT_EQ(model.deviceRoot()->text, japanese.translate("ItemModelMain", "IDS_ROOT_DEVICE"));
    EXPECT_EQ(model.localDbRoot()->text, japanese.translate("ItemModelMain", "IDS_ROOT_LOCALDB"));
    EXPECT_FALSE(onlyAction(window, QStringLiteral("actDb2iToolbar"))->isEnabled());
    EXPECT_TRUE(onlyAction(window, QStringLiteral("actExportToolbar"))->isEnabled());
    EXPECT_TRUE(onlyAction(window, QStringLiteral("actPrintToolbar"))->isEnabled());
    EXPECT_EQ(window.messageModel()->headerData(ItemModelSms::ContactColumn, Qt::Horizontal),
              japanese.translate("ItemModelSms", "Contact"));
    QFile saved(savedLanguageFilePath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("ja_JP"));
    saved.close();
    saveScreenshot(window, QStringLiteral("main-window-japanese.png"));
    ASSERT_TRUE(switchLanguage(window, QStringLiteral("en_US"),
                               QStringLiteral("Transfer Messages from Database to iPhone")));
    EXPECT_EQ(model.deviceRoot()->text, QStringLiteral("Devices"));
    EXPECT_EQ(closer.timedOut, 0) << closer.texts.join('\n').toStdString();
}

} // namespace
