#pragma once

#include "line/AbsLineDb.h"
#include "line/CoreDataEntities.h"
#include "line/IOSLineGroupDb.h"
#include "line/LineAccount.h"
#include "line/LineDbSchema.h"
#include "line/LineStoreLocation.h"
#include "line/MessageKeyIndex.h"
#include "storage/Sqlite3Row.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class IOSMessageReader;
struct _LineChat;
struct _LineGroup;
struct _LineUser;

// The Core Data join tables of Line.sqlite and their columns, named from the entity numbers.
struct IOSLineJoinNames
{
    QString chatMembersTable;  // "Z_<Chat>MEMBERS"
    QString chatColumn;        // "Z_<Chat>CHATS": the chat's Z_PK
    QString chatUserColumn;    // "Z_<User>MEMBERS": the user's Z_PK
    QString groupMembersTable; // "Z_<Group>MEMBERS"
    QString groupColumn;       // "Z_<Group>GROUPS"
    QString groupUserColumn;   // "Z_<User>MEMBERS1"
};

// LINE's iPhone message store (Line.sqlite, older talk.sqlite) in a folder that mirrors the app's data
// container, with the optional UnifiedGroup.sqlite and the media beside it. Reads through AbsLineDb and
// takes merged messages through the writer operations below.
//
// open() changes the store (an index, removal of hidden chats): it must only ever see a copy. Code that
// reads a store the program does not own goes through IOSLineStoreCache, which points the object at a
// copy with useWorkFolder().
class IOSLineDb : public AbsLineDb
{
    Q_DECLARE_TR_FUNCTIONS(IOSLineDb)

public:
    // Reads the owner's account from the app's preferences (recording a user account in the registry)
    // and finds the store below rootFolder. containerPath is the app's home folder on the device when
    // the store goes back to one (it forms the device paths of outgoing voice messages); else anything.
    IOSLineDb(const QString& rootFolder, const QString& containerPath = {});
    ~IOSLineDb() override;

    // Reads and writes the store files at the same relative paths below workFolder, and writes made
    // thumbnails there too; media are still read below the root folder. Call before open().
    void useWorkFolder(const QString& workFolder);

    // Leaves chats the user hid (ZENABLE 0) and their messages in the store on open(): a store that goes
    // back to the device must keep them. Call before open().
    void setKeepHiddenChats(bool keep) { m_keepHiddenChats = keep; }
    // Leaves out the indexes open() adds for reading pages of messages: a store opened only to take merged
    // messages does without them, and building them over a large store costs more than the merge itself.
    // Call before open().
    void setReadingIndexes(bool wanted) { m_readingIndexes = wanted; }
    // The store is used by one thread only, never by two at once (SQLite then takes no lock around each
    // call). Call before open().
    void setOneThread(bool oneThread) { m_oneThread = oneThread; }

    const QString& rootFolder() const { return m_rootFolder; }
    const QString& containerPath() const { return m_containerPath; }
    const LineAccount& account() const { return m_account; }
    const LineStoreLocation& location() const { return m_location; }
    const QString& accountPrefix() const { return m_location.accountPrefix; }
    QString storePath() const { return m_storePath; }
    QString storeRelativePath() const { return m_location.storeRelativePath; }
    // Empty when there is no group store.
    QString groupStorePath() const { return m_groupStorePath; }
    QString groupStoreRelativePath() const { return m_location.groupStoreRelativePath; }
    // Where thumbnails made from ZTHUMBNAIL or from the photo are written ("tmp/thumbnails").
    QString thumbnailFolder() const { return m_thumbnailFolder; }

    // Opens the store (and the group store), checks it is a LINE store, adds the program's indexes and
    // removes hidden chats with their messages, members and metadata. Does nothing when already open.
    void open() override;
    // Opens the store when needed.
    qint64 countMessages(const _LineChat* chat) override;

    const LineDbSchema& schema() const { return m_schema; }
    const CoreDataEntities& entities() const { return m_entities; }
    const IOSLineJoinNames& joinNames() const { return m_joins; }
    bool hasGroupStore() const { return m_groupDb.isOpen(); }
    // How many sticker package look-ups reached the database (the rest were answered from memory).
    int stickerPackageQueries() const;
    // The ZTHUMBNAIL blob of a message; empty when it has none.
    QByteArray messageThumbnail(qint64 messagePk);
    // The package and version of a sticker id from ZSTICKERPACKAGE; nullopt when no package holds it.
    std::optional<_LineSticker> findStickerPackage(int stickerId);

    // ---- Writing (one transaction of the caller's, on an opened store) ----

    // Throws, naming what is missing, when the store lacks what writing needs: the tables and columns
    // written, and the Core Data entities whose key counters finish() keeps. Starts the look-ups below
    // afresh (what they remember from an earlier transaction may have been rolled back).
    void checkWritable();
    // Removes LINE's own notice rows (content type 106), which a merge does not carry over.
    void removeNoticeMessages();

    struct ChatRow
    {
        qint64 pk = 0; // 0: not found
        bool enabled = true;
    };
    ChatRow findChat(const QString& uid);
    void enableChat(qint64 chatPk);
    qint64 findGroup(const QString& uid);
    qint64 findUser(const QString& mid);
    // The Z_PK of the message (chat, uid), or 0; never looks up an empty uid or "0". Repairs damaged
    // emoji text of a row it finds.
    qint64 findMessage(qint64 chatPk, const QString& uid);

    qint64 insertChat(const _LineChat& chat);
    // 0 while a group store is open (groups then live there) or when the store has no ZGROUP.
    qint64 insertGroup(const _LineGroup& group);
    qint64 insertUser(const _LineUser& user);
    qint64 insertMessage(qint64 chatPk, const _LineMsg& message);
    void linkChatMembers(qint64 chatPk, const _LineChat& chat);
    void linkGroupMembers(qint64 groupPk, const _LineGroup& group);

    // Brings the chats' summary columns and Z_PRIMARYKEY in line with the rows (a Z_MAX never goes down),
    // and drops the program's indexes so the store goes back to the device as LINE made it. Run before
    // the commit; reading afterwards still works, without the indexes.
    void finish();

protected:
    const MessageTable& messageTable() const override { return m_messageTable; }
    MessageReader messageReader(const Sqlite3Cursor& cursor, const _LineData* data) const override;
    MessageReader textReader(const Sqlite3Cursor& cursor, const _LineData* data) const override;
    void fillContacts(_LineData& data) override;

private:
    void openStores();
    void checkReadable();
    void createIndexes();
    void removeDisabledChats();
    void buildJoinNames();
    void fillGroupsFromGroupStore(_LineData& data, _LineUser* owner,
                                  const QHash<QString, _LineChat*>& chatsByMid,
                                  const QHash<QString, _LineUser*>& usersByMid);
    void fillGroupsFromGroupTable(_LineData& data, _LineUser* owner);
    bool isOwner(const QString& mid) const;
    qint64 userPkOrInsert(const _LineUser& user);
    // The newest listed message of a chat: the latest time, and of messages of the same time the one
    // written last.
    struct NewestMessage
    {
        double time = 0;
        qint64 pk = 0;
    };
    using NewestMessages = QHash<qint64, NewestMessage>;
    static void keepNewest(NewestMessages& newest, qint64 chatPk, double time, qint64 messagePk);
    // One pass over the messages: their keys and each chat's newest, the notice rows removed first when
    // asked.
    void scanMessages(bool removeNotices);
    static quint64 messageKey(qint64 chatPk, QByteArrayView uid);
    void forgetLookups();
    void keepPresentColumns(const QString& table, Sqlite3Row& row) const;
    // The chat's summary columns from its newest listed message.
    void updateChatSummary(qint64 chatPk, qint64 messagePk);
    QString messageFilter() const;

    QString m_rootFolder;
    bool m_keepHiddenChats = false;
    QString m_containerPath;
    QString m_storePath;
    QString m_groupStorePath;
    QString m_thumbnailFolder;
    LineStoreLocation m_location;
    LineAccount m_account;
    LineDbSchema m_schema;
    CoreDataEntities m_entities;
    IOSLineJoinNames m_joins;
    IOSLineGroupDb m_groupDb;
    std::unique_ptr<IOSMessageReader> m_reader;
    MessageTable m_messageTable;
    bool m_readingIndexes = true;
    bool m_oneThread = false;
    bool m_userMidIndex = false;
    bool m_chatMidIndex = false;
    // Whether a table has a column, by table and column as written (cleared with the look-ups).
    mutable QHash<QString, QHash<QString, bool>> m_presentColumns;
    // The messages present by a hash of (chat, uid), read in one pass on the first look-up (LINE does not
    // index message ids, and an index over a large store costs more to build than a merge's look-ups):
    // (hash, Z_PK) pairs of the rows there before, and the rows inserted since. A hash only names
    // candidates; the row itself decides.
    MessageKeyIndex m_messageKeys;
    QMultiHash<quint64, qint64> m_insertedKeys;
    bool m_messageKeysLoaded = false;
    // Each chat's newest message as of that pass, and the highest key then: rows written since have
    // higher keys, so finish() reads only those.
    NewestMessages m_newest;
    qint64 m_scannedMaxPk = 0;
    // Users found, by id.
    QHash<QString, qint64> m_userPks;
};
