#pragma once

#include "device/MobiledeviceSubscribe.h"
#include "line/AbsLineMsgsSource.h"
#include "line/LineData.h"
#include "ui/AbsTreeItemModel.h"
#include "ui/LineBubbleViewMgr.h"

#include <QHash>
#include <QItemSelection>
#include <QMainWindow>
#include <QStringList>
#include <memory>

class AbsLineDb;
class BackupManifest;
class DeviceLoadDialogs;
class ItemModelMain;
class ItemModelSms;
class MessageSearchPanel;
class MyTreeView;
class QAction;
class QEvent;
class QLabel;
class QLineEdit;
class QSplitter;
class QToolButton;
class QWebEngineView;
struct LineTransferSource;
class WindowFileChooser;
class WindowPrinting;
struct _AbsDBItemNode;
struct _IOSDeviceItemNode;
struct _LineChat;

// The program's main window: the data-source tree (devices, local databases and their chats), the
// message list of the chosen chat or database and the chat-bubble view of the same messages. It lists
// the local databases and kept device folders at start, loads an iPhone's LINE data when one is
// attached and drops it when it goes, and deletes from local databases.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    ItemModelMain* mainModel() const { return m_mainModel; }
    ItemModelSms* messageModel() const { return m_smsModel; }
    LineBubbleViewMgr& bubbleView() { return m_bubbleView; }
    _LineChat* currentChat() const { return m_currentChat; }
    MessageSearchPanel* searchPanel() const { return m_searchPanel; }
    // Where the export and extract actions ask for their paths (file dialogs unless replaced).
    void setFileChooser(std::unique_ptr<WindowFileChooser> chooser);

    // Shows the messages of a chat of the data set, or all of its messages when chat is null.
    void showMessages(const PLineData& data, _LineChat* chat, bool ascending);
    void clearPanes();
    void updateActions();
    // Every message of the current database node, oldest first; an empty list without one.
    PAbsLineMsgsSource allMessagesSource();
    // The messages of the selected rows of the message list.
    PAbsLineMsgsSource selectedSource();
    // Loads a database's users, chats and groups behind a progress form; null after a cancel or a failure
    // (which was shown).
    PLineData loadDataSet(const std::shared_ptr<AbsLineDb>& db);

public slots:
    void onMainTreeSelected(const QItemSelection& selected, const QItemSelection& deselected);
    void onMainTreeContextMenu();
    void onSMSItemSelected(const QItemSelection& selected, const QItemSelection& deselected);
    void onSMSContextMenu();
    void onSMSSortIndicatorChanged(int column, Qt::SortOrder order);
    void searchMessages();
    void searchCotnact();
    void miDelete();
    void miDeleteChat();
    void miDeleteAll();
    void miDeleteToolbar();
    void miBackup();
    void miBackupChat();
    void miBackupAll();
    void miBackupToolbar();
    void miExtractMedia();
    void miExtractMediaChat();
    void miExtractMediaAll();
    void miExtractMediaToolbar();
    void miExport();
    void miExportChat();
    void miExportAll();
    void miExportToolbar();
    void miDb2i();
    void miDb2iChat();
    void miDb2iAll();
    void miDb2iToolbar();
    void miI2i();
    void miI2iChat();
    void miI2iAll();
    void miExport2ITunesBKSel();
    void miExport2ITunesBKChat();
    void miExport2ITunesBKAll();
    void miPrint();
    void miPrintChat();
    void miPrintAll();
    void miPrintToolbar();
    void miOpenDBFolder();
    void miImportiTunes();
    void miImportiTunesToLocalDb();
    void miViewIOSCacheFiles();
    void miUnmoutDevice();
    void miClearCache();
    void miCheckUpdate();
    void miHelp();
    void miFeedback();
    void miAbout();
    void iosDeviceConnected(const QString& udid);
    void iosDeviceDisconnected(const QString& udid);
    void androidUsbTips();
    void androidUsbTipsHref(const QString& link);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void buildSearchAndPrint();
    // Shows a chat of the current database (null: all of its messages) for a chosen search hit.
    void openChatOfHit(_LineChat* chat);
    void connectWidgets();
    void listLocalDatabases();
    void listKeptDevices();
    void startDeviceEvents();
    void loadDevice(const QString& udid);
    void loadNextDevice();
    // Loads and lists a database node's chats unless it has them already; false when loading failed.
    bool ensureLoaded(_AbsDBItemNode* node);
    // After a change to a local database: reload its data set and chats, then select it again.
    void reloadLocalDb(_AbsDBItemNode* node);
    AbsTreeItemModel::_ItemNode* currentNode() const;
    _AbsDBItemNode* currentDbNode() const;
    void selectNode(AbsTreeItemModel::_ItemNode* node);
    void updateFirstRunHint();
    // The source of the tool-bar and File-menu actions: the selected rows, else the shown chat, else all.
    PAbsLineMsgsSource toolbarSource();
    void backupMessages(const PAbsLineMsgsSource& source);
    void extractMedia(const PAbsLineMsgsSource& source);
    void exportMessages(const PAbsLineMsgsSource& source);
    // Loads a chosen iTunes backup's LINE data and backs all of it up into a local database (default name:
    // defaultName, or the backup's device name + "_Backup").
    void importFromiTunes(const QString& defaultName);
    // Backs source up into the local database name (added to the tree when new), then shows it.
    void backupIntoLocalDb(const PAbsLineMsgsSource& source, const QString& name);
    // Lists the local database name (added to the tree when new) afresh and selects it.
    void showLocalDb(const QString& name);
    // The messages with the backup folder or device they were read from, for a transfer.
    LineTransferSource transferSource(const PAbsLineMsgsSource& messages);
    void transferToDevice(const PAbsLineMsgsSource& messages);
    void exportToBackup(const PAbsLineMsgsSource& messages);
    // The iPhones attached now (not the device folders kept on the computer).
    QList<_IOSDeviceItemNode*> attachedDevices() const;
    // Whether an attached iPhone other than the source's own can take the source's messages.
    bool hasTransferTarget(const _AbsDBItemNode* source) const;
    // Every text of the window again, in the language now installed.
    void retranslate();

    ItemModelMain* m_mainModel = nullptr;
    ItemModelSms* m_smsModel = nullptr;
    LineBubbleViewMgr m_bubbleView;
    _LineChat* m_currentChat = nullptr;
    MobiledeviceSubscribe m_deviceEvents;

    QSplitter* m_splitter = nullptr;
    QLineEdit* m_txtHandleKeyword = nullptr;
    QToolButton* m_btnSearchHandle = nullptr;
    MyTreeView* m_treeViewDS = nullptr;
    QLineEdit* m_txtSMSKeyword = nullptr;
    QToolButton* m_btnSearchSMS = nullptr;
    MyTreeView* m_treeViewSMS = nullptr;
    QLabel* m_lbSMSCount = nullptr;
    QLabel* m_lbChatName = nullptr;
    QLabel* m_lbChatImg = nullptr;
    QLabel* m_lbListHint = nullptr;
    QLabel* m_lbBubbleHint = nullptr;
    QWebEngineView* m_webViewSMS = nullptr;
    QLabel* m_newsLabel = nullptr;

    QAction* m_actBackupToolbar = nullptr;
    QAction* m_actDb2iToolbar = nullptr;
    QAction* m_actExtractToolbar = nullptr;
    QAction* m_actExportToolbar = nullptr;
    QAction* m_actDeleteToolbar = nullptr;
    QAction* m_actPrintToolbar = nullptr;
    MessageSearchPanel* m_searchPanel = nullptr;
    WindowPrinting* m_printing = nullptr;
    std::unique_ptr<WindowFileChooser> m_fileChooser;
    // Passwords of encrypted backups that unlocked them, by backup folder; in memory only.
    QHash<QString, QString> m_backupPasswords;

    // Devices are loaded one at a time: an attach during a load waits for it.
    QStringList m_pendingDevices;
    QString m_loadingDevice;
    bool m_loadingDeviceGone = false;
    // A transfer to an iPhone is under way: attached devices wait for it to end before they are read.
    bool m_transferring = false;
};
