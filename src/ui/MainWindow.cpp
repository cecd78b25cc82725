#include "ui/MainWindow.h"

#include "app/FolderUtils.h"
#include "app/StyleSheet.h"
#include "device/DeviceInfo.h"
#include "jobs/BackupLineMessagesThread.h"
#include "jobs/DeviceLineLoad.h"
#include "jobs/ExportMessagesThread.h"
#include "jobs/ExtractMediaFilesThread.h"
#include "jobs/LineTransferFlow.h"
#include "jobs/LoadLineDbThread.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineChat.h"
#include "line/LineLocalDb.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineMsgsListSource.h"
#include "platform/AppDataDir.h"
#include "platform/Shell.h"
#include "platform/UsbMultiplexer.h"
#include "ui/AboutUsForm.h"
#include "ui/CacheFiles.h"
#include "ui/DataSourceSelForm.h"
#include "ui/ExportTarget.h"
#include "ui/ItemModelMain.h"
#include "ui/ItemModelSms.h"
#include "ui/LanguageMenu.h"
#include "ui/LocalDbSelForm.h"
#include "ui/MessageBoxes.h"
#include "ui/MessageSearchPanel.h"
#include "ui/MyTreeView.h"
#include "ui/ProgressForm.h"
#include "ui/WindowBusyLock.h"
#include "ui/WindowDeviceDialogs.h"
#include "ui/WindowFileChooser.h"
#include "ui/WindowJobRunner.h"
#include "ui/WindowOnlineActions.h"
#include "ui/WindowTransferActions.h"

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMutex>
#include <QScopeGuard>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <exception>
#include <memory>
#include <mutex>

namespace {
constexpr int kNoDeviceTipsMs = 10000;
constexpr int kChatNameShown = 17;
constexpr int kChatNameLimit = 20;
constexpr int kChatImageSide = 32;
const QString kLineFolder = QStringLiteral("jp.naver.line");
const QString kRestartService = QStringLiteral("#restart_applemobileservice");

QWidget* paneWidget(const QString& name, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(name);
    return widget;
}

template <typename Layout>
Layout* paneLayout(const QString& name, QWidget* widget)
{
    auto* layout = new Layout(widget);
    layout->setObjectName(name);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QToolButton* searchButton(const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(QStringLiteral(":/res/search.png")));
    button->setText(QStringLiteral("..."));
    return button;
}

// The sub-folders of a folder, sorted by name.
QStringList subFolders(const QDir& folder)
{
    return folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QString chatNameShown(const QString& name)
{
    return name.size() > kChatNameLimit ? name.left(kChatNameShown) + QStringLiteral("...") : name;
}

// Where a kept device folder has LINE's files: its "jp.naver.line" when that is a folder, else itself.
QString lineHomeOfKept(const QString& folder)
{
    const QString line = QDir(folder).filePath(kLineFolder);
    return QFileInfo(line).isDir() ? line : folder;
}
} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    buildWidgets();
    setStyleSheet(appStyleSheet());
    connectWidgets();
    m_splitter->setSizes({200, 450, 350});

    m_mainModel = new ItemModelMain(this);
    m_smsModel = new ItemModelSms(this);
    m_treeViewDS->setModel(m_mainModel);
    m_treeViewSMS->setModel(m_smsModel);
    m_treeViewSMS->setColumnWidth(0, 160);
    m_treeViewSMS->setColumnWidth(1, 50);
    m_treeViewSMS->setColumnWidth(2, 120);
    m_treeViewSMS->setSortingEnabled(true);
    m_treeViewSMS->header()->setSectionsMovable(false);
    m_treeViewSMS->header()->setSortIndicator(0, Qt::AscendingOrder);
    // Connected after the models are set: the views' selection models exist only from here.
    connect(m_treeViewDS, &MyTreeView::onSelectionChanged, this, &MainWindow::onMainTreeSelected);
    connect(m_treeViewSMS, &MyTreeView::onSelectionChanged, this, &MainWindow::onSMSItemSelected);
    connect(m_treeViewSMS->header(), &QHeaderView::sortIndicatorChanged, this,
            &MainWindow::onSMSSortIndicatorChanged);

    m_bubbleView.setWebView(m_webViewSMS);
    setWindowTitle(tr("Ferrowyn"));
    clearPanes();
    buildMenus();
    buildSearchAndPrint();

    m_newsLabel = new QLabel(statusBar());
    m_newsLabel->setObjectName(QStringLiteral("lbNews"));
    m_newsLabel->setOpenExternalLinks(true);
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item{border: 0px}"));
    statusBar()->addWidget(m_newsLabel);
    QFile news(appDataDir().filePath(QStringLiteral("last-adv")));
    if (news.open(QIODevice::ReadOnly))
        m_newsLabel->setText(QString::fromUtf8(news.readAll()));

    connect(&m_deviceEvents, &MobiledeviceSubscribe::newDevice, this, &MainWindow::iosDeviceConnected,
            Qt::QueuedConnection);
    connect(&m_deviceEvents, &MobiledeviceSubscribe::kickDevice, this, &MainWindow::iosDeviceDisconnected,
            Qt::QueuedConnection);
    // After the constructor, so a failure box does not open before the window.
    QTimer::singleShot(0, this, &MainWindow::startDeviceEvents);
    QTimer::singleShot(kNoDeviceTipsMs, this, &MainWindow::androidUsbTips);

    listLocalDatabases();
    m_treeViewDS->expand(m_mainModel->indexOf(m_mainModel->localDbRoot()));
    listKeptDevices();
    m_treeViewDS->expand(m_mainModel->indexOf(m_mainModel->deviceRoot()));
    updateFirstRunHint();
    resize(1024, 700);
}

MainWindow::~MainWindow()
{
    m_deviceEvents.stop();
}

void MainWindow::buildWidgets()
{
    auto* central = paneWidget(QStringLiteral("centralWidget"), this);
    auto* centralLayout = paneLayout<QVBoxLayout>(QStringLiteral("verticalLayout_4"), central);
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setHandleWidth(1);
    m_splitter->setChildrenCollapsible(false);
    centralLayout->addWidget(m_splitter);
    setCentralWidget(central);

    // Left: the chat search row and the data-source tree.
    auto* left = paneWidget(QStringLiteral("widget_5"), m_splitter);
    auto* leftLayout = paneLayout<QVBoxLayout>(QStringLiteral("verticalLayout_3"), left);
    auto* leftSearch = paneWidget(QStringLiteral("widget_4"), left);
    auto* leftSearchLayout = paneLayout<QHBoxLayout>(QStringLiteral("horizontalLayout_2"), leftSearch);
    m_txtHandleKeyword = new QLineEdit(leftSearch);
    m_txtHandleKeyword->setObjectName(QStringLiteral("txtHandleKeyword"));
    m_btnSearchHandle = searchButton(QStringLiteral("btnSearchHandle"), leftSearch);
    leftSearchLayout->addWidget(m_txtHandleKeyword);
    leftSearchLayout->addWidget(m_btnSearchHandle);
    m_treeViewDS = new MyTreeView(left);
    m_treeViewDS->setObjectName(QStringLiteral("treeViewDS"));
    m_treeViewDS->setHeaderHidden(true);
    m_treeViewDS->setSelectionMode(QAbstractItemView::SingleSelection);
    leftLayout->addWidget(leftSearch);
    leftLayout->addWidget(m_treeViewDS);

    // Middle: the message search row, the message list and its count.
    auto* middle = paneWidget(QStringLiteral("widget"), m_splitter);
    auto* middleLayout = paneLayout<QVBoxLayout>(QStringLiteral("verticalLayout"), middle);
    auto* middleSearch = paneWidget(QStringLiteral("widget_3"), middle);
    auto* middleSearchLayout = paneLayout<QHBoxLayout>(QStringLiteral("horizontalLayout"), middleSearch);
    m_txtSMSKeyword = new QLineEdit(middleSearch);
    m_txtSMSKeyword->setObjectName(QStringLiteral("txtSMSKeyword"));
    m_btnSearchSMS = searchButton(QStringLiteral("btnSearchSMS"), middleSearch);
    middleSearchLayout->addWidget(m_txtSMSKeyword);
    middleSearchLayout->addWidget(m_btnSearchSMS);
    m_treeViewSMS = new MyTreeView(middle);
    m_treeViewSMS->setObjectName(QStringLiteral("treeViewSMS"));
    m_treeViewSMS->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_treeViewSMS->setIndentation(5);
    m_treeViewSMS->setItemsExpandable(false);
    m_treeViewSMS->setRootIsDecorated(false);
    m_treeViewSMS->setUniformRowHeights(true);
    m_lbListHint = new QLabel(middle);
    m_lbListHint->setObjectName(QStringLiteral("lbListHint"));
    m_lbListHint->setAlignment(Qt::AlignCenter);
    m_lbListHint->setWordWrap(true);
    m_lbSMSCount = new QLabel(tr("Total: 0"), middle);
    m_lbSMSCount->setObjectName(QStringLiteral("lbSMSCount"));
    m_lbSMSCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The list or the hint takes the height; the search row and the count keep theirs.
    middleSearch->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_lbSMSCount->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    middleLayout->addWidget(middleSearch);
    middleLayout->addWidget(m_treeViewSMS, 1);
    middleLayout->addWidget(m_lbListHint, 1);
    middleLayout->addWidget(m_lbSMSCount);

    // Right: the conversation's header and the bubbles.
    auto* right = paneWidget(QStringLiteral("widget_2"), m_splitter);
    auto* rightLayout = paneLayout<QVBoxLayout>(QStringLiteral("verticalLayout_2"), right);
    auto* header = paneWidget(QStringLiteral("lbConversation"), right);
    header->setAttribute(Qt::WA_StyledBackground);
    auto* headerLayout = paneLayout<QHBoxLayout>(QStringLiteral("horizontalLayout_4"), header);
    auto* headerInner = paneWidget(QStringLiteral("widget_6"), header);
    auto* headerInnerLayout = paneLayout<QHBoxLayout>(QStringLiteral("horizontalLayout_3"), headerInner);
    headerInnerLayout->setContentsMargins(8, 4, 8, 4);
    headerInnerLayout->setSpacing(8);
    m_lbChatImg = new QLabel(headerInner);
    m_lbChatImg->setObjectName(QStringLiteral("lbChatImg"));
    m_lbChatImg->setFixedSize(kChatImageSide, kChatImageSide);
    m_lbChatName = new QLabel(headerInner);
    m_lbChatName->setObjectName(QStringLiteral("lbChatName"));
    headerInnerLayout->addWidget(m_lbChatImg);
    headerInnerLayout->addWidget(m_lbChatName, 1);
    headerLayout->addWidget(headerInner);
    m_webViewSMS = new QWebEngineView(right);
    m_webViewSMS->setObjectName(QStringLiteral("webViewSMS"));
    m_webViewSMS->setUrl(QUrl(QStringLiteral("about:blank")));
    m_lbBubbleHint = new QLabel(right);
    m_lbBubbleHint->setObjectName(QStringLiteral("lbBubbleHint"));
    m_lbBubbleHint->setAlignment(Qt::AlignCenter);
    m_lbBubbleHint->setWordWrap(true);
    rightLayout->addWidget(header);
    rightLayout->addWidget(m_webViewSMS, 1);
    rightLayout->addWidget(m_lbBubbleHint, 1);

    m_splitter->addWidget(left);
    m_splitter->addWidget(middle);
    m_splitter->addWidget(right);

    menuBar()->setObjectName(QStringLiteral("menuBar"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
}

void MainWindow::connectWidgets()
{
    connect(m_treeViewDS, &MyTreeView::createContextMenu, this, &MainWindow::onMainTreeContextMenu);
    connect(m_treeViewSMS, &MyTreeView::createContextMenu, this, &MainWindow::onSMSContextMenu);
    connect(m_btnSearchHandle, &QToolButton::pressed, this, &MainWindow::searchCotnact);
    connect(m_txtHandleKeyword, &QLineEdit::returnPressed, this, &MainWindow::searchCotnact);
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("File"));
    const auto fileAction = [&](const char* icon, const QString& text, void (MainWindow::*slot)(),
                                const char* name) {
        QAction* action = file->addAction(QIcon(QString::fromLatin1(icon)), text, this, slot);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(false);
        return action;
    };
    m_actBackupToolbar = fileAction(":res/backup.png", tr("IDS_MI_BACKUP_TOOLBAR"),
                                    &MainWindow::miBackupToolbar, "actBackupToolbar");
    m_actDb2iToolbar =
        fileAction(":res/db2i.png", tr("IDS_MI_DB2I_TOOLBAR"), &MainWindow::miDb2iToolbar, "actDb2iToolbar");
    file->addSeparator();
    m_actExtractToolbar = fileAction(":res/extract_media.png", tr("IDS_MI_EXTRACT_MEDIA_TOOLBAR"),
                                     &MainWindow::miExtractMediaToolbar, "actExtractMediaToolbar");
    m_actExportToolbar = fileAction(":res/export.png", tr("IDS_MI_EXPORT_TOOLBAR"),
                                    &MainWindow::miExportToolbar, "actExportToolbar");
    m_actPrintToolbar = fileAction(":res/print.png", tr("IDS_MI_PRINT_TOOLBAR"), &MainWindow::miPrintToolbar,
                                   "actPrintToolbar");
    m_actDeleteToolbar = file->addAction(QIcon(QStringLiteral(":res/delete.png")),
                                         tr("IDS_MI_DELETE_TOOLBAR"), this, &MainWindow::miDeleteToolbar);
    m_actDeleteToolbar->setObjectName(QStringLiteral("actDeleteToolbar"));
    m_actDeleteToolbar->setEnabled(false);
    file->addSeparator();
    QAction* import = file->addAction(QIcon(QStringLiteral(":res/load_itunes.png")),
                                      tr("IDS_MI_IMPORT_FROM_ITUNES"), this, &MainWindow::miImportiTunes);
    import->setObjectName(QStringLiteral("actImportiTunes"));
    QAction* openFolder = file->addAction(QIcon(QStringLiteral(":res/open_db_folder.png")),
                                          tr("IDS_MI_OPEN_DB_FOLDER"), this, &MainWindow::miOpenDBFolder);
    openFolder->setObjectName(QStringLiteral("actOpenDBFolder"));
    file->addSeparator();
    QAction* exit =
        file->addAction(QIcon(QStringLiteral(":res/exit.png")), tr("IDS_MI_EXIT"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("actExit"));
    QMenu* toolsMenu = menuBar()->addMenu(tr("Tools"));
    toolsMenu->setObjectName(QStringLiteral("menuTools"));
    toolsMenu
        ->addAction(QIcon(QStringLiteral(":res/check-update.png")), tr("IDS_MI_CHECK_UPDATE"), this,
                    &MainWindow::miCheckUpdate)
        ->setObjectName(QStringLiteral("actCheckUpdate"));
    toolsMenu
        ->addAction(QIcon(QStringLiteral(":res/clear-cache.png")), tr("IDS_CLEAR_CACHE"), this,
                    &MainWindow::miClearCache)
        ->setObjectName(QStringLiteral("actClearCache"));
    QMenu* help = menuBar()->addMenu(tr("Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addMenu(new LanguageMenu(help));
    help->addAction(QIcon(QStringLiteral(":res/help.png")), tr("IDS_MI_HELP"), this, &MainWindow::miHelp)
        ->setObjectName(QStringLiteral("actHelp"));
    help->addAction(QIcon(QStringLiteral(":res/feedback.png")), tr("IDS_MI_FEEDBACK"), this,
                    &MainWindow::miFeedback)
        ->setObjectName(QStringLiteral("actFeedback"));
    help->addAction(QIcon(QStringLiteral(":res/about.png")), tr("IDS_MI_ABOUT"), this, &MainWindow::miAbout);

    QToolBar* tools = addToolBar(tr("File"));
    tools->setObjectName(QStringLiteral("mainToolBar"));
    tools->setMovable(false);
    tools->addAction(m_actBackupToolbar);
    tools->addAction(m_actDb2iToolbar);
    tools->addAction(import);
    tools->addSeparator();
    tools->addAction(m_actExtractToolbar);
    tools->addAction(m_actExportToolbar);
    tools->addAction(m_actPrintToolbar);
    tools->addAction(m_actDeleteToolbar);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void MainWindow::retranslate()
{
    if (!m_mainModel)
        return;
    setWindowTitle(tr("Ferrowyn"));
    // The menus and the tool bar are made again with the new texts; the old ones go once their own
    // signals (the language menu's, say) have returned.
    const QList<QMenu*> menus = menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    const QList<QToolBar*> toolBars =
        findChildren<QToolBar*>(QStringLiteral("mainToolBar"), Qt::FindDirectChildrenOnly);
    menuBar()->clear();
    for (QToolBar* bar : toolBars) {
        removeToolBar(bar);
        bar->deleteLater();
    }
    for (QMenu* menu : menus)
        menu->deleteLater();
    buildMenus();
    updateActions();
    m_mainModel->retranslate();
    m_smsModel->retranslate();
    if (m_searchPanel)
        m_searchPanel->retranslate();
    m_lbSMSCount->setText(tr("Messages: %1").arg(m_smsModel->total()));
    if (!m_currentChat && !m_lbChatName->text().isEmpty())
        m_lbChatName->setText(tr("All"));
    updateFirstRunHint();
}

// ---- Start-up listings ----

void MainWindow::listLocalDatabases()
{
    const QDir root = localDbDir();
    for (const QString& name : subFolders(root)) {
        const QString folder = root.filePath(name);
        if (!QFileInfo::exists(QDir(folder).filePath(LineLocalDb::DbFileName)))
            continue;
        _LocalDbItemNode* node = m_mainModel->addLocalDbNode(name);
        node->data = std::make_shared<_LineData>(std::make_shared<LineLocalDb>(folder));
    }
}

void MainWindow::listKeptDevices()
{
    const QDir root(appDataDir().filePath(QStringLiteral("virtual_ios")));
    for (const QString& name : subFolders(root)) {
        const QString folder = root.filePath(name);
        auto device = std::make_shared<DeviceInfo>();
        device->name = name;
        device->udid = folder;
        std::shared_ptr<AbsLineDb> db;
        QString ownerId;
        QString ownerName;
        try {
            if (QFileInfo::exists(QDir(folder).filePath(LineLocalDb::DbFileName))) {
                db = std::make_shared<LineLocalDb>(folder);
            } else {
                // Only the owner is read here; the store itself is opened from a copy when it is selected.
                auto lineDb = std::make_shared<IOSLineDb>(lineHomeOfKept(folder));
                ownerId = lineDb->account().uid;
                ownerName = lineDb->account().name;
                db = lineDb;
            }
        } catch (const std::exception& failure) {
            qWarning("kept device folder %s: %s", qUtf8Printable(folder), failure.what());
            continue;
        }
        _IOSDeviceItemNode* node = m_mainModel->addDeviceNode(device, ownerId, ownerName, true);
        node->data = std::make_shared<_LineData>(db);
    }
}

void MainWindow::startDeviceEvents()
{
    if (m_deviceEvents.start())
        return;
    showTips(
        tr("Failed to detect iPhone. Please launch iTunes (Finder if MacOS 10.15 or above) first and then "
           "re-connect your iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or "
           "above), please restart Vantorel software."),
        this);
}

// ---- Panes ----

void MainWindow::showMessages(const PLineData& data, _LineChat* chat, bool ascending)
{
    m_currentChat = chat;
    const PAbsLineMsgsSource source = std::make_shared<LineMsgsDataSource>(data, chat, ascending);
    m_smsModel->setSource(source);
    m_bubbleView.showBubble(source);
    m_lbSMSCount->setText(tr("Messages: %1").arg(m_smsModel->total()));
    if (chat) {
        m_lbChatName->setText(chatNameShown(chat->chatTitle(true)));
        const QString icon = chat->type == _LineChat::Single  ? QStringLiteral(":res/contact.png")
                             : chat->type == _LineChat::Multi ? QStringLiteral(":res/group.png")
                                                              : QStringLiteral(":res/group2.png");
        m_lbChatImg->setPixmap(QPixmap(icon).scaled(kChatImageSide, kChatImageSide, Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation));
        m_lbChatImg->show();
    } else {
        m_lbChatImg->hide();
        m_lbChatName->setText(tr("All"));
    }
    updateFirstRunHint();
}

void MainWindow::clearPanes()
{
    m_currentChat = nullptr;
    // The search lets go of the database too: it may be closed, deleted or reloaded next.
    if (m_searchPanel)
        m_searchPanel->forget();
    const auto empty = std::make_shared<LineMsgsListSource>();
    m_smsModel->setSource(empty);
    m_bubbleView.showBubble(empty);
    m_lbSMSCount->setText(tr("Messages: 0"));
    m_lbChatName->clear();
    m_lbChatImg->clear();
    m_lbChatImg->hide();
    updateFirstRunHint();
}

void MainWindow::updateFirstRunHint()
{
    if (!m_mainModel)
        return;
    // Until there is anything to show, the panes say how to get something instead of staying blank.
    const bool nothing = m_mainModel->deviceNodes().isEmpty() && m_mainModel->localDbNodes().isEmpty();
    m_lbListHint->setText(tr("No iPhone and no message database yet.\n\nAttach your iPhone with a USB cable "
                             "and unlock it, or import an iTunes backup (File menu)."));
    m_lbBubbleHint->setText(tr("Your LINE chats appear here once an iPhone is attached or a backup is "
                               "imported."));
    m_treeViewSMS->setVisible(!nothing);
    m_lbListHint->setVisible(nothing);
    m_webViewSMS->setVisible(!nothing);
    m_lbBubbleHint->setVisible(nothing);
}

AbsTreeItemModel::_ItemNode* MainWindow::currentNode() const
{
    return m_mainModel->nodeOf(m_treeViewDS->currentIndex());
}

_AbsDBItemNode* MainWindow::currentDbNode() const
{
    return ItemModelMain::databaseNodeOf(currentNode());
}

void MainWindow::selectNode(AbsTreeItemModel::_ItemNode* node)
{
    m_treeViewDS->setCurrentIndex(m_mainModel->indexOf(node));
}

void MainWindow::updateActions()
{
    const _AbsDBItemNode* node = currentDbNode();
    m_actBackupToolbar->setEnabled(node && node->kind == DeviceKind);
    m_actDb2iToolbar->setEnabled(node && node->kind == LocalDbKind && !attachedDevices().isEmpty());
    m_actExtractToolbar->setEnabled(node != nullptr);
    m_actExportToolbar->setEnabled(node != nullptr);
    m_actPrintToolbar->setEnabled(node != nullptr);
    m_actDeleteToolbar->setEnabled(node && node->kind == LocalDbKind);
}

PAbsLineMsgsSource MainWindow::allMessagesSource()
{
    const _AbsDBItemNode* node = currentDbNode();
    if (!node || !node->data)
        return std::make_shared<LineMsgsListSource>();
    return std::make_shared<LineMsgsDataSource>(node->data, nullptr, true);
}

PAbsLineMsgsSource MainWindow::selectedSource()
{
    QList<_LineMsg> messages;
    const PAbsLineMsgsSource& source = m_smsModel->source();
    if (source) {
        QModelIndexList rows = m_treeViewSMS->selectionModel()->selectedRows(0);
        std::sort(rows.begin(), rows.end(),
                  [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        for (const QModelIndex& row : std::as_const(rows))
            messages << source->message(row.row());
    }
    return std::make_shared<LineMsgsListSource>(messages);
}

PLineData MainWindow::loadDataSet(const std::shared_ptr<AbsLineDb>& db)
{
    WindowDeviceDialogs dialogs(this);
    try {
        return LoadLineDbThread::load(db, dialogs);
    } catch (const std::exception& failure) {
        dialogs.showError(QString::fromUtf8(failure.what()));
        return nullptr;
    }
}

bool MainWindow::ensureLoaded(_AbsDBItemNode* node)
{
    if (node->loaded)
        return true;
    std::shared_ptr<AbsLineDb> db = node->data ? node->data->db() : nullptr;
    if (node->kind == DeviceKind) {
        auto* device = static_cast<_IOSDeviceItemNode*>(node);
        // A kept LINE folder is read from a fresh copy: opening a store changes it.
        if (device->kept && std::dynamic_pointer_cast<IOSLineDb>(db)) {
            try {
                db = IOSLineStoreCache::openCopy(lineHomeOfKept(device->device->udid));
            } catch (const std::exception& failure) {
                showErrorReport(QString::fromUtf8(failure.what()).toHtmlEscaped(), this);
                return false;
            }
        }
    }
    if (!db)
        return false;
    PLineData data = loadDataSet(db);
    if (!data)
        return false;
    node->data = data;
    node->loaded = true;
    m_mainModel->loadChats(node);
    m_treeViewDS->expand(m_mainModel->indexOf(node));
    return true;
}

// ---- Tree and list ----

void MainWindow::onMainTreeSelected(const QItemSelection& selected, const QItemSelection&)
{
    updateActions();
    if (selected.isEmpty() || selected.indexes().isEmpty())
        return;
    m_treeViewSMS->header()->setSortIndicator(-1, Qt::AscendingOrder);
    AbsTreeItemModel::_ItemNode* node = m_mainModel->nodeOf(selected.indexes().first());
    if (!node) {
        clearPanes();
        return;
    }
    switch (node->kind) {
    case DeviceKind:
    case LocalDbKind: {
        auto* dbNode = static_cast<_AbsDBItemNode*>(node);
        if (!ensureLoaded(dbNode)) {
            clearPanes();
            return;
        }
        showMessages(dbNode->data, nullptr, true);
        return;
    }
    case ChatKind: {
        auto* dbNode = ItemModelMain::databaseNodeOf(node);
        showMessages(dbNode->data, static_cast<_ChatSessionItemNode*>(node)->chat, true);
        return;
    }
    default:
        clearPanes();
    }
}

void MainWindow::onSMSItemSelected(const QItemSelection& selected, const QItemSelection&)
{
    if (selected.isEmpty() || selected.indexes().isEmpty())
        return;
    const QModelIndex first = selected.indexes().first();
    if (first.column() == 0)
        m_bubbleView.showMessage(first.row());
}

void MainWindow::onSMSSortIndicatorChanged(int column, Qt::SortOrder order)
{
    if (column != 0)
        return;
    AbsTreeItemModel::_ItemNode* node = currentNode();
    _AbsDBItemNode* dbNode = ItemModelMain::databaseNodeOf(node);
    if (!dbNode || !dbNode->data || !dbNode->loaded)
        return;
    _LineChat* chat = node->kind == ChatKind ? static_cast<_ChatSessionItemNode*>(node)->chat : nullptr;
    showMessages(dbNode->data, chat, order == Qt::AscendingOrder);
}

void MainWindow::onMainTreeContextMenu()
{
    AbsTreeItemModel::_ItemNode* node = currentNode();
    if (!node)
        return;
    const bool hasOtherTarget = hasTransferTarget(ItemModelMain::databaseNodeOf(node));
    QMenu menu(this);
    switch (node->kind) {
    case RootLocalDbKind:
        menu.addAction(QIcon(QStringLiteral(":res/open_db_folder.png")), tr("IDS_MI_OPEN_DB_FOLDER"), this,
                       &MainWindow::miOpenDBFolder);
        menu.addAction(QIcon(QStringLiteral(":res/load_itunes.png")), tr("IDS_MI_IMPORT_FROM_ITUNES"), this,
                       &MainWindow::miImportiTunes);
        break;
    case DeviceKind:
        menu.addAction(QIcon(QStringLiteral(":res/backup.png")), tr("IDS_MI_BACKUP_ALL"), this,
                       &MainWindow::miBackupAll);
        menu.addAction(QIcon(QStringLiteral(":res/i2i.png")), tr("IDS_MI_I2I_ALL"), this,
                       &MainWindow::miI2iAll)
            ->setEnabled(hasOtherTarget);
        menu.addAction(QIcon(QStringLiteral(":res/extract_media.png")), tr("IDS_MI_EXTRACT_MEDIA_All"), this,
                       &MainWindow::miExtractMediaAll);
        menu.addAction(QIcon(QStringLiteral(":res/export.png")), tr("IDS_MI_EXPORT_ALL"), this,
                       &MainWindow::miExportAll);
        menu.addAction(QIcon(QStringLiteral(":res/print.png")), tr("IDS_MI_PRINT_ALL"), this,
                       &MainWindow::miPrintAll);
        menu.addAction(QIcon(QStringLiteral(":res/unmount.png")), tr("IDS_MI_UNMOUNT_DEVICE"), this,
                       &MainWindow::miUnmoutDevice)
            ->setEnabled(!static_cast<_IOSDeviceItemNode*>(node)->kept);
        menu.addAction(QIcon(QStringLiteral(":res/view-cache.png")), tr("View Cache Files"), this,
                       &MainWindow::miViewIOSCacheFiles);
        break;
    case LocalDbKind:
        menu.addAction(QIcon(QStringLiteral(":res/db2i.png")), tr("IDS_MI_DB2I_ALL"), this,
                       &MainWindow::miDb2iAll)
            ->setEnabled(hasOtherTarget);
        menu.addAction(QIcon(QStringLiteral(":res/extract_media.png")), tr("IDS_MI_EXTRACT_MEDIA_All"), this,
                       &MainWindow::miExtractMediaAll);
        menu.addAction(QIcon(QStringLiteral(":res/export.png")), tr("IDS_MI_EXPORT_ALL"), this,
                       &MainWindow::miExportAll);
        menu.addAction(QIcon(QStringLiteral(":res/print.png")), tr("IDS_MI_PRINT_ALL"), this,
                       &MainWindow::miPrintAll);
        menu.addAction(QIcon(QStringLiteral(":res/delete.png")), tr("IDS_MI_DELETE_ALL"), this,
                       &MainWindow::miDeleteAll);
        menu.addAction(QIcon(QStringLiteral(":res/load_itunes.png")), tr("IDS_MI_IMPORT_FROM_ITUNES"), this,
                       &MainWindow::miImportiTunesToLocalDb);
        menu.addAction(tr("Export Messages to iTunes Backup"), this, &MainWindow::miExport2ITunesBKAll);
        break;
    case ChatKind:
        if (node->parent && node->parent->kind == DeviceKind) {
            menu.addAction(QIcon(QStringLiteral(":res/backup.png")), tr("IDS_MI_BACKUP_CHAT"), this,
                           &MainWindow::miBackupChat);
            menu.addAction(QIcon(QStringLiteral(":res/i2i.png")), tr("IDS_MI_I2I_CHAT"), this,
                           &MainWindow::miI2iChat)
                ->setEnabled(hasOtherTarget);
        } else {
            menu.addAction(QIcon(QStringLiteral(":res/db2i.png")), tr("IDS_MI_DB2I_CHAT"), this,
                           &MainWindow::miDb2iChat)
                ->setEnabled(hasOtherTarget);
        }
        menu.addAction(QIcon(QStringLiteral(":res/extract_media.png")), tr("IDS_MI_EXTRACT_MEDIA_CHAT"), this,
                       &MainWindow::miExtractMediaChat);
        menu.addAction(QIcon(QStringLiteral(":res/export.png")), tr("IDS_MI_EXPORT_CHAT"), this,
                       &MainWindow::miExportChat);
        menu.addAction(QIcon(QStringLiteral(":res/print.png")), tr("IDS_MI_PRINT_CHAT"), this,
                       &MainWindow::miPrintChat);
        if (node->parent && node->parent->kind == LocalDbKind) {
            menu.addAction(QIcon(QStringLiteral(":res/delete.png")), tr("IDS_MI_DELETE_CHAT"), this,
                           &MainWindow::miDeleteChat);
            menu.addAction(tr("Export Messages with this contact to iTunes Backup"), this,
                           &MainWindow::miExport2ITunesBKChat);
        }
        break;
    default:
        break;
    }
    if (!menu.isEmpty())
        menu.exec(QCursor::pos());
}

void MainWindow::onSMSContextMenu()
{
    const _AbsDBItemNode* node = currentDbNode();
    if (!node || (node->kind != LocalDbKind && node->kind != DeviceKind))
        return;
    QMenu menu(this);
    if (node->kind == DeviceKind) {
        menu.addAction(QIcon(QStringLiteral(":res/i2i.png")), tr("IDS_MI_I2I_SEL"), this, &MainWindow::miI2i)
            ->setEnabled(hasTransferTarget(node));
    } else {
        menu.addAction(QIcon(QStringLiteral(":res/db2i.png")), tr("IDS_MI_DB2I_SEL"), this,
                       &MainWindow::miDb2i)
            ->setEnabled(hasTransferTarget(node));
    }
    menu.addAction(QIcon(QStringLiteral(":res/print.png")), tr("IDS_MI_PRINT_SEL"), this,
                   &MainWindow::miPrint);
    if (node->kind == LocalDbKind) {
        menu.addAction(QIcon(QStringLiteral(":res/delete.png")), tr("IDS_MI_DELETE_SEL"), this,
                       &MainWindow::miDelete);
        menu.addAction(tr("Export selected Messages to iTunes Backup"), this,
                       &MainWindow::miExport2ITunesBKSel);
    }
    menu.exec(QCursor::pos());
}

void MainWindow::searchCotnact()
{
    const QString keyword = m_txtHandleKeyword->text().trimmed();
    AbsTreeItemModel::_ItemNode* node = currentNode();
    _AbsDBItemNode* dbNode = ItemModelMain::databaseNodeOf(node);
    if (keyword.isEmpty() || !dbNode)
        return;
    if (!dbNode->loaded) {
        // Its chats are listed when it is loaded; selecting it does that.
        if (!ensureLoaded(dbNode))
            return;
    }
    const int count = dbNode->childCount();
    const int start = node->kind == ChatKind ? node->rowInParent() + 1 : 0;
    // From the chat after the current one to the end, then around from the first chat.
    for (int step = 0; step < count; ++step) {
        AbsTreeItemModel::_ItemNode* chat = dbNode->child((start + step) % count);
        if (chat->text.contains(keyword, Qt::CaseInsensitive)) {
            selectNode(chat);
            return;
        }
    }
    showTips(tr("IDS_CAN_NOT_FOUNDCONTACT_KEYWORD_%0").arg(keyword.toHtmlEscaped()), this);
}

// ---- Deleting from local databases ----

void MainWindow::reloadLocalDb(_AbsDBItemNode* node)
{
    m_treeViewDS->setCurrentIndex(QModelIndex());
    clearPanes();
    m_mainModel->removeChildren(node);
    node->loaded = false;
    node->data = std::make_shared<_LineData>(node->data->db());
    ensureLoaded(node);
    selectNode(node);
}

void MainWindow::miDelete()
{
    _AbsDBItemNode* node = currentDbNode();
    if (!node || node->kind != LocalDbKind || !node->loaded)
        return;
    const auto selection = std::static_pointer_cast<LineMsgsListSource>(selectedSource());
    if (selection->messages().isEmpty())
        return;
    if (!askYesNo(tr("IDS_CONFIRM_DEL_SEL_MESSAGES"), this))
        return;
    try {
        std::static_pointer_cast<LineLocalDb>(node->data->db())->deleteMessages(selection->messages());
    } catch (const std::exception& failure) {
        showErrorReport(QString::fromUtf8(failure.what()).toHtmlEscaped(), this);
        return;
    }
    reloadLocalDb(node);
}

void MainWindow::miDeleteChat()
{
    AbsTreeItemModel::_ItemNode* current = currentNode();
    _AbsDBItemNode* node = ItemModelMain::databaseNodeOf(current);
    if (!current || current->kind != ChatKind || !node || node->kind != LocalDbKind)
        return;
    if (!askYesNo(tr("IDS_CONFIRM_DEL_THIS_CHAT"), this))
        return;
    try {
        std::static_pointer_cast<LineLocalDb>(node->data->db())
            ->deleteChat(static_cast<_ChatSessionItemNode*>(current)->chat->id);
    } catch (const std::exception& failure) {
        showErrorReport(QString::fromUtf8(failure.what()).toHtmlEscaped(), this);
        return;
    }
    reloadLocalDb(node);
}

void MainWindow::miDeleteAll()
{
    AbsTreeItemModel::_ItemNode* current = currentNode();
    if (!current || current->kind != LocalDbKind)
        return;
    auto* node = static_cast<_LocalDbItemNode*>(current);
    if (!askYesNo(tr("IDS_CONFIRM_DEL_THIS_LOCALDB"), this))
        return;
    m_treeViewDS->setCurrentIndex(QModelIndex());
    clearPanes();
    const QString folder = localDbDir().filePath(node->text);
    // The database closes with the last holder of its data set: the node, now that the panes let go.
    node->data.reset();
    m_mainModel->removeNode(node);
    removeTree(folder);
    updateFirstRunHint();
    showTips(tr("IDS_DEL_LOCALDB_SUC"), this);
}

void MainWindow::miDeleteToolbar()
{
    AbsTreeItemModel::_ItemNode* current = currentNode();
    if (!m_treeViewSMS->selectionModel()->selectedRows(0).isEmpty())
        miDelete();
    else if (current && current->kind == ChatKind)
        miDeleteChat();
    else
        miDeleteAll();
}

// ---- Back up, extract, export ----

PAbsLineMsgsSource MainWindow::toolbarSource()
{
    if (!m_treeViewSMS->selectionModel()->selectedRows(0).isEmpty())
        return selectedSource();
    const AbsTreeItemModel::_ItemNode* node = currentNode();
    if (node && node->kind == ChatKind && m_smsModel->source())
        return m_smsModel->source();
    return allMessagesSource();
}

void MainWindow::miBackup()
{
    backupMessages(selectedSource());
}

void MainWindow::miBackupChat()
{
    backupMessages(m_smsModel->source());
}

void MainWindow::miBackupAll()
{
    backupMessages(allMessagesSource());
}

void MainWindow::miBackupToolbar()
{
    backupMessages(toolbarSource());
}

void MainWindow::backupMessages(const PAbsLineMsgsSource& source)
{
    const _AbsDBItemNode* node = currentDbNode();
    if (!source || !node)
        return;
    QStringList names;
    for (const _LocalDbItemNode* local : m_mainModel->localDbNodes())
        names << local->text;
    const QString name =
        LocalDbSelForm::choose(names, node->text + QStringLiteral("_Backup"), this).trimmed();
    if (!name.isEmpty())
        backupIntoLocalDb(source, name);
}

void MainWindow::miExtractMedia()
{
    extractMedia(selectedSource());
}

void MainWindow::miExtractMediaChat()
{
    extractMedia(m_smsModel->source());
}

void MainWindow::miExtractMediaAll()
{
    extractMedia(allMessagesSource());
}

void MainWindow::miExtractMediaToolbar()
{
    extractMedia(toolbarSource());
}

void MainWindow::extractMedia(const PAbsLineMsgsSource& source)
{
    if (!source)
        return;
    const QString folder =
        m_fileChooser->folder(this, tr("IDS_TITLE_SEL_OUTPUT_FOLDER_EXTRACT_MEDIA_FILES"), QDir::homePath());
    if (folder.isEmpty())
        return;
    const QString target = QDir(folder).filePath(
        QStringLiteral("attachments(%1)")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"))));
    ProgressForm form(QString(), this);
    ExtractMediaFilesThread job(source, target, &form);
    runJobModal(job, form);
}

void MainWindow::miExport()
{
    exportMessages(selectedSource());
}

void MainWindow::miExportChat()
{
    exportMessages(m_smsModel->source());
}

void MainWindow::miExportAll()
{
    exportMessages(allMessagesSource());
}

void MainWindow::miExportToolbar()
{
    exportMessages(toolbarSource());
}

void MainWindow::exportMessages(const PAbsLineMsgsSource& source)
{
    // Export processes events while it asks and runs: it must not start again from inside itself.
    const std::unique_lock<QMutex> lock(windowBusyLock(), std::try_to_lock);
    if (!lock.owns_lock() || !source)
        return;
    const WindowFileChooser::Choice chosen = m_fileChooser->saveFile(
        this, tr("IDS_SEL_EXPORT_MESSAGES_PATH"),
        QDir::home().filePath(
            QStringLiteral("chats(%1)")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")))),
        ExportTarget::filters());
    if (chosen.path.isEmpty())
        return;
    ExportTarget target;
    try {
        target = ExportTarget::of(chosen.path, chosen.filter);
    } catch (const std::exception& failure) {
        showErrorReport(QString::fromUtf8(failure.what()).toHtmlEscaped(), this);
        return;
    }
    const AbsTreeItemModel::_ItemNode* node = currentNode();
    const _AbsDBItemNode* dbNode =
        ItemModelMain::databaseNodeOf(const_cast<AbsTreeItemModel::_ItemNode*>(node));
    const QString owner = dbNode && dbNode->kind == DeviceKind
                              ? static_cast<const _IOSDeviceItemNode*>(dbNode)->ownerName
                              : QString();
    ProgressForm form(QString(), this);
    ExportMessagesThread job(source, target.path, target.format, &form, owner);
    runJobModal(job, form);
}

void MainWindow::miOpenDBFolder()
{
    openInFileManager(localDbDir().absolutePath());
}

void MainWindow::miImportiTunes()
{
    importFromiTunes(QString());
}

void MainWindow::miImportiTunesToLocalDb()
{
    const AbsTreeItemModel::_ItemNode* node = currentNode();
    if (node && node->kind == LocalDbKind)
        importFromiTunes(node->text);
}

void MainWindow::importFromiTunes(const QString& defaultName)
{
    QStringList names;
    for (const _LocalDbItemNode* node : m_mainModel->localDbNodes())
        names << node->text;
    const QString name = WindowTransferActions(this, m_backupPasswords).importBackup(defaultName, names);
    if (!name.isEmpty())
        showLocalDb(name);
}

void MainWindow::backupIntoLocalDb(const PAbsLineMsgsSource& source, const QString& name)
{
    const QString folder = localDbDir().filePath(name);
    {
        ProgressForm form(QString(), this);
        BackupLineMessagesThread job(source, folder, &form);
        runJobModal(job, form);
        if (!job.succeeded())
            return;
    }
    showLocalDb(name);
}

void MainWindow::showLocalDb(const QString& name)
{
    const QString folder = localDbDir().filePath(name);
    m_treeViewDS->setCurrentIndex(QModelIndex());
    clearPanes();
    _LocalDbItemNode* node = m_mainModel->findLocalDbNode(name);
    if (node)
        m_mainModel->removeChildren(node);
    else
        node = m_mainModel->addLocalDbNode(name);
    node->loaded = false;
    node->data = std::make_shared<_LineData>(std::make_shared<LineLocalDb>(folder));
    m_treeViewDS->expand(m_mainModel->indexOf(m_mainModel->localDbRoot()));
    updateFirstRunHint();
    selectNode(node);
}

// ---- Transfers ----

QList<_IOSDeviceItemNode*> MainWindow::attachedDevices() const
{
    QList<_IOSDeviceItemNode*> attached;
    for (_IOSDeviceItemNode* node : m_mainModel->deviceNodes())
        if (!node->kept)
            attached << node;
    return attached;
}

bool MainWindow::hasTransferTarget(const _AbsDBItemNode* source) const
{
    const QString sourceUdid = source && source->kind == DeviceKind
                                   ? static_cast<const _IOSDeviceItemNode*>(source)->device->udid
                                   : QString();
    for (const _IOSDeviceItemNode* node : attachedDevices())
        if (node->device->udid != sourceUdid)
            return true;
    return false;
}

LineTransferSource MainWindow::transferSource(const PAbsLineMsgsSource& messages)
{
    LineTransferSource source;
    source.messages = messages;
    const _AbsDBItemNode* node = currentDbNode();
    if (node && node->kind == DeviceKind && !static_cast<const _IOSDeviceItemNode*>(node)->kept)
        source.udid = static_cast<const _IOSDeviceItemNode*>(node)->device->udid;
    return source;
}

void MainWindow::transferToDevice(const PAbsLineMsgsSource& messages)
{
    if (!messages || !currentDbNode())
        return;
    QList<DataSourceEntry> targets;
    for (const _IOSDeviceItemNode* node : attachedDevices())
        targets << DataSourceEntry{QStringLiteral(":res/iphone.png"), node->text, node->device->udid};
    // The target restarts at the end and comes back while the result is still shown: it is read again
    // once the transfer is over, not from inside it.
    m_transferring = true;
    const auto loadLater = qScopeGuard([this] {
        m_transferring = false;
        QTimer::singleShot(0, this, [this] {
            if (m_loadingDevice.isEmpty())
                loadNextDevice();
        });
    });
    WindowTransferActions(this, m_backupPasswords).toDevice(transferSource(messages), targets);
}

void MainWindow::exportToBackup(const PAbsLineMsgsSource& messages)
{
    if (!messages || !currentDbNode())
        return;
    WindowTransferActions(this, m_backupPasswords).toBackup(transferSource(messages));
}

void MainWindow::miDb2i()
{
    transferToDevice(selectedSource());
}

void MainWindow::miDb2iChat()
{
    transferToDevice(m_smsModel->source());
}

void MainWindow::miDb2iAll()
{
    transferToDevice(allMessagesSource());
}

void MainWindow::miDb2iToolbar()
{
    transferToDevice(toolbarSource());
}

void MainWindow::miI2i()
{
    transferToDevice(selectedSource());
}

void MainWindow::miI2iChat()
{
    transferToDevice(m_smsModel->source());
}

void MainWindow::miI2iAll()
{
    transferToDevice(allMessagesSource());
}

void MainWindow::miExport2ITunesBKSel()
{
    exportToBackup(selectedSource());
}

void MainWindow::miExport2ITunesBKChat()
{
    exportToBackup(m_smsModel->source());
}

void MainWindow::miExport2ITunesBKAll()
{
    exportToBackup(allMessagesSource());
}

// ---- Devices, cache and the vendor ----

void MainWindow::miViewIOSCacheFiles()
{
    const _AbsDBItemNode* node = currentDbNode();
    if (!node || node->kind != DeviceKind)
        return;
    const auto* device = static_cast<const _IOSDeviceItemNode*>(node);
    // A kept device folder is its own data; an attached iPhone's data is in its cache folder.
    openInFileManager(device->kept ? device->device->udid : CacheFiles::deviceFolder(device->device->udid));
}

void MainWindow::miUnmoutDevice()
{
    AbsTreeItemModel::_ItemNode* node = currentNode();
    if (!node || node->kind != DeviceKind || static_cast<_IOSDeviceItemNode*>(node)->kept)
        return;
    m_treeViewDS->setCurrentIndex(QModelIndex());
    clearPanes();
    m_mainModel->removeNode(node);
    updateActions();
    updateFirstRunHint();
}

void MainWindow::miClearCache()
{
    // An attached iPhone's node reads its cached data; so does a load under way.
    if (!attachedDevices().isEmpty() || !m_loadingDevice.isEmpty()) {
        showTips(tr("To delete and clear the cache files, please disconnect your phone first."), this);
        return;
    }
    if (!askYesNo(tr("Delete the cached copies of your iPhones' data? They are made again when an iPhone is "
                     "attached; your local databases are not touched."),
                  this))
        return;
    // Kept device folders are read from working copies in the cache: those stay.
    QStringList inUse;
    for (const _IOSDeviceItemNode* node : m_mainModel->deviceNodes())
        if (node->kept)
            inUse << IOSLineStoreCache::folderFor(lineHomeOfKept(node->device->udid));
    if (!CacheFiles::clear(inUse)) {
        showWarning(tr("Some cache files could not be deleted (they may be in use). Please try again later."),
                    this);
        return;
    }
    showTips(tr("IDS_SUC_CLEAR_CACHE"), this);
}

void MainWindow::miCheckUpdate()
{
    WindowOnlineActions().checkForUpdate(this);
}

void MainWindow::miHelp()
{
    WindowOnlineActions().help(this);
}

void MainWindow::miFeedback()
{
    WindowOnlineActions().feedback(this);
}

void MainWindow::miAbout()
{
    AboutUsForm form(this);
    form.exec();
}

// ---- Devices ----

void MainWindow::iosDeviceConnected(const QString& udid)
{
    if (udid == m_loadingDevice || m_pendingDevices.contains(udid))
        return;
    m_pendingDevices << udid;
    if (m_loadingDevice.isEmpty() && !m_transferring)
        loadNextDevice();
}

void MainWindow::loadNextDevice()
{
    while (!m_pendingDevices.isEmpty()) {
        m_loadingDevice = m_pendingDevices.takeFirst();
        m_loadingDeviceGone = false;
        loadDevice(m_loadingDevice);
        m_loadingDevice.clear();
    }
}

void MainWindow::loadDevice(const QString& udid)
{
    WindowDeviceDialogs dialogs(this);
    DeviceLineLoad load(dialogs);
    PDeviceInfo device;
    try {
        device = load.connect(udid);
        if (!device || m_loadingDeviceGone || load.loadLine(device) != DeviceLineLoad::Result::Loaded)
            return;
    } catch (const std::exception& failure) {
        dialogs.showError(QString::fromUtf8(failure.what()));
        return;
    }
    if (m_loadingDeviceGone)
        return;
    std::shared_ptr<IOSLineDb> db;
    try {
        db = IOSLineStoreCache::openCopy(lineCacheDir(*device));
    } catch (const std::exception& failure) {
        dialogs.showError(QString::fromUtf8(failure.what()));
        return;
    }
    PLineData data = loadDataSet(db);
    if (!data || m_loadingDeviceGone)
        return;
    // A phone attached again replaces its earlier node.
    for (_IOSDeviceItemNode* old : m_mainModel->deviceNodes()) {
        if (!old->kept && old->device->udid == udid) {
            m_treeViewDS->setCurrentIndex(QModelIndex());
            clearPanes();
            m_mainModel->removeNode(old);
        }
    }
    _IOSDeviceItemNode* node =
        m_mainModel->addDeviceNode(device, db->account().uid, db->account().name, false);
    node->data = data;
    node->loaded = true;
    m_mainModel->loadChats(node);
    m_treeViewDS->expand(m_mainModel->indexOf(m_mainModel->deviceRoot()));
    m_treeViewDS->expand(m_mainModel->indexOf(node));
    updateFirstRunHint();
    selectNode(node);
}

void MainWindow::iosDeviceDisconnected(const QString& udid)
{
    m_pendingDevices.removeAll(udid);
    if (udid == m_loadingDevice)
        m_loadingDeviceGone = true;
    for (_IOSDeviceItemNode* node : m_mainModel->deviceNodes()) {
        if (node->kept || node->device->udid != udid)
            continue;
        m_treeViewDS->setCurrentIndex(QModelIndex());
        clearPanes();
        m_mainModel->removeNode(node);
    }
    updateActions();
    updateFirstRunHint();
}

void MainWindow::androidUsbTips()
{
    if (m_deviceEvents.attachedCount() > 0 || !m_loadingDevice.isEmpty())
        return;
    const QString text =
        tr("<b>Failed to Detect Your Phone.</b>") + QStringLiteral("<br/><br/>") +
        tr("For iPhone, please follow these steps:<br/>1. Use your passcode to unlock iPhone.<br/>2. "
           "Connect your iPhone with another USB port.<br/>3. Exit Vantorel and then launch iTunes "
           "(Finder  if MacOS 10.15 or above) to install USB driver.") +
        QStringLiteral("<br/>") +
        tr("4. Click <a href=\"#restart_applemobileservice\">HERE</a> to restart "
           "AppleMobileService.");
    showMessage(QMessageBox::Information, text, QMessageBox::Ok, false, this, [this](QLabel* label) {
        label->setOpenExternalLinks(false);
        connect(label, &QLabel::linkActivated, this, &MainWindow::androidUsbTipsHref);
    });
}

void MainWindow::androidUsbTipsHref(const QString& link)
{
    if (link != kRestartService) {
        openWithShell(link);
        return;
    }
    if (!restartMultiplexer()) {
        showErrorReport(tr("Failed to restart."), this);
        return;
    }
    showTips(
        tr("Successfully restarted! Now please reconnect your iPhone to PC.<br/><br/>Note:<br/>1. Make sure "
           "you have unlocked your iPhone screen.<br/>2. If you get a \"Trust this computer?\" prompt on "
           "your "
           "iPhone, please tap \"Trust\"<br/><br/><img src=\":res/trust_iphone.png\"/>"),
        this);
    m_deviceEvents.stop();
    startDeviceEvents();
}
