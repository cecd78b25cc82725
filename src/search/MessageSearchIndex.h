#pragma once

#include "line/IOSLineStoreCache.h"
#include "storage/Sqlite3DB.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>

class JobControl;
class _LineData;
struct _LineMsg;

// The full-text index of every message of one database (a local message database or a LINE store
// copy), kept in a file of its own beside the database (its path + FileSuffix); the database's own
// tables are never changed.
//
// Each message is one row of an FTS5 table (tokenizer BigramTokenizer, no positions kept) whose rowid is
// the message's position in the oldest-first order of all chats (the order of LineMsgsDataSource over
// all chats), holding the display text behind its chat's marker. Beside it: per run of ChunkSize
// positions the messages' row keys and chat keys, and per chat the positions of its messages, so a hit
// is found in the database and placed in its chat's order.
//
// The index records what identifies the content it was built from (format version, the database's
// contentIdentity(), the display texts of the current language); an index whose record differs, or a
// file that is damaged or not such an index, is built anew (under a temporary name, then renamed into
// place). The jobs that change a local database therefore need do nothing: its next search finds the
// index stale.
class MessageSearchIndex
{
    Q_DECLARE_TR_FUNCTIONS(MessageSearchIndex)

public:
    static constexpr int FormatVersion = 2;
    static constexpr int ChunkSize = 64;
    // The store cache keeps an index across fresh copies by this name.
    static inline const QString FileSuffix = IOSLineStoreCache::SearchIndexSuffix;

    // The data set's database is what is indexed; its contacts must be loaded.
    explicit MessageSearchIndex(std::shared_ptr<_LineData> data);
    ~MessageSearchIndex();
    MessageSearchIndex(const MessageSearchIndex&) = delete;
    MessageSearchIndex& operator=(const MessageSearchIndex&) = delete;

    static QString pathFor(const QString& databasePath) { return databasePath + FileSuffix; }
    QString path() const;
    const std::shared_ptr<_LineData>& data() const { return m_data; }

    // Opens the index when it is current, else builds it (reporting progress). Throws with a text for the
    // user when the database cannot be read or the index cannot be written; JobCancelled when cancelled.
    void prepare(JobControl& control);
    // Opens the index when its file is current; false (nothing open) when it would have to be built.
    bool openIfCurrent();
    // Builds the index anew from the database, replacing any file there.
    void build(JobControl& control);
    bool isOpen() const { return m_index.isOpen(); }

    // Of the open index:
    qint64 messageCount() const { return m_count; }
    struct Entry
    {
        qint64 key = 0;  // the message's row key in the database
        qint64 chat = 0; // its chat's row key, 0 for none
    };
    // The message at a position (0 <= position < messageCount()); throws for a damaged index.
    Entry entry(qint64 position);
    // The positions of a chat's messages, ascending (empty for an unknown chat).
    const QList<qint64>& chatPositions(qint64 chatKey);
    Sqlite3DB& index() { return m_index; }

    // The chat key stored for a message.
    static qint64 chatKeyOf(const _LineMsg& message);

private:
    QString currentIdentity();
    bool openIfCurrent(const QString& identity);
    void build(JobControl& control, const QString& identity);
    void openChecked(const QString& identity);
    static void createSchema(Sqlite3DB& db);
    void writeIndex(Sqlite3DB& db, JobControl& control, qint64 total);
    QList<Entry> readChunk(qint64 chunk);

    std::shared_ptr<_LineData> m_data;
    Sqlite3DB m_index;
    qint64 m_count = 0;
    QString m_identity;
    QHash<qint64, QList<Entry>> m_chunks;
    QHash<qint64, QList<qint64>> m_chatPositions;
};
