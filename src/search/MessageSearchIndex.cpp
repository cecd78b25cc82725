#include "search/MessageSearchIndex.h"

#include "app/JobControl.h"
#include "line/AbsLineDb.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineMsg.h"
#include "line/MessageType.h"
#include "search/BigramTokenizer.h"
#include "search/MappedReads.h"
#include "search/SearchError.h"
#include "search/VarintCodec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <system_error>
#include <utility>
#include <vector>

namespace {

// "FWSX": marks the file as this program's search index.
constexpr qint64 kApplicationId = 0x46575358;

// The display texts that depend on the language: an index built under another language holds other
// texts for photos, stickers, contacts and places.
QString displayTextFingerprint()
{
    QStringList texts;
    for (int type : {MessageType::Photo, MessageType::Video, MessageType::Voice, MessageType::Sticker,
                     MessageType::Contact, MessageType::Location}) {
        _LineMsg sample;
        sample.type = type;
        texts << sample.displayText();
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(texts.join(QChar(0)).toUtf8(), QCryptographicHash::Md5).toHex());
}

// A prepared insert of a key and a text or blob, finalized however the build ends: a million inserts go
// through it without building a statement text each time.
class KeyedInsert
{
public:
    KeyedInsert(Sqlite3DB& db, const char* sql) : m_db(db)
    {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db.handle(), sql, -1, &raw, nullptr) != SQLITE_OK)
            throwError();
        m_statement.reset(raw);
    }

    void insertText(qint64 key, const QByteArray& text) { insert(key, text, false); }
    void insertBlob(qint64 key, const QByteArray& blob) { insert(key, blob, true); }

private:
    void insert(qint64 key, const QByteArray& value, bool blob)
    {
        sqlite3_stmt* statement = m_statement.get();
        sqlite3_bind_int64(statement, 1, key);
        if (blob)
            sqlite3_bind_blob(statement, 2, value.constData(), int(value.size()), SQLITE_STATIC);
        else
            sqlite3_bind_text(statement, 2, value.constData(), int(value.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE)
            throwError();
    }

    struct Finalize
    {
        void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
    };
    [[noreturn]] void throwError() const
    {
        throwSearchError(MessageSearchIndex::tr("The search index cannot be written: %1")
                             .arg(QString::fromUtf8(sqlite3_errmsg(m_db.handle()))));
    }

    Sqlite3DB& m_db;
    std::unique_ptr<sqlite3_stmt, Finalize> m_statement;
};

void removeIndexFile(const QString& path)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

MessageSearchIndex::MessageSearchIndex(std::shared_ptr<_LineData> data) : m_data(std::move(data))
{
}

MessageSearchIndex::~MessageSearchIndex() = default;

QString MessageSearchIndex::path() const
{
    return pathFor(m_data->db()->path());
}

qint64 MessageSearchIndex::chatKeyOf(const _LineMsg& message)
{
    return message.chat ? message.chat->id : 0;
}

QString MessageSearchIndex::currentIdentity()
{
    return QStringLiteral("%1|%2|%3")
        .arg(FormatVersion)
        .arg(m_data->db()->contentIdentity(), displayTextFingerprint());
}

void MessageSearchIndex::prepare(JobControl& control)
{
    // The identity costs a pass over the message table: taken once for both the check and a build.
    m_data->db()->open();
    const MappedReads mapped(*m_data->db());
    const QString identity = currentIdentity();
    if (!openIfCurrent(identity))
        build(control, identity);
}

bool MessageSearchIndex::openIfCurrent()
{
    m_data->db()->open();
    const MappedReads mapped(*m_data->db());
    return openIfCurrent(currentIdentity());
}

bool MessageSearchIndex::openIfCurrent(const QString& identity)
{
    m_index.close();
    m_chunks.clear();
    m_chatPositions.clear();
    if (!QFileInfo(path()).isFile())
        return false;
    try {
        openChecked(identity);
        return true;
    } catch (const std::exception&) {
        // Damaged, foreign, older or stale: not trusted, built anew.
        m_index.close();
        return false;
    }
}

void MessageSearchIndex::openChecked(const QString& identity)
{
    m_index.openFile(path(), Sqlite3DB::OpenReadWrite);
    if (m_index.queryInt64("pragma application_id") != kApplicationId)
        throwSearchError(tr("The file is not a search index."));
    {
        Sqlite3Cursor check = m_index.query("pragma quick_check");
        if (!check.moveNext() || check.textAt(0) != QLatin1String("ok"))
            throwSearchError(tr("The search index is damaged."));
    }
    QString stored;
    {
        Sqlite3Cursor meta = m_index.query("select value from meta where key='identity'");
        if (meta.moveNext())
            stored = meta.textAt(0);
    }
    if (stored != identity)
        throwSearchError(tr("The search index is out of date."));
    m_count = m_index.queryInt64("select value from meta where key='count'", -1);
    const qint64 chunks = m_index.queryInt64("select count(*) from chunks");
    if (m_count < 0 || chunks != (m_count + ChunkSize - 1) / ChunkSize)
        throwSearchError(tr("The search index is damaged."));
    BigramTokenizer::registerWith(m_index);
    m_identity = identity;
}

void MessageSearchIndex::createSchema(Sqlite3DB& db)
{
    db.execute(QStringLiteral("pragma application_id=%1").arg(kApplicationId));
    db.execute("create table meta(key text primary key, value text)");
    db.execute(QStringLiteral("create virtual table fts using fts5(t, content='', detail=none, columnsize=0, "
                              "tokenize='%1')")
                   .arg(QLatin1String(BigramTokenizer::Name)));
    db.execute("create table chunks(chunk integer primary key, entries blob not null)");
    db.execute("create table chats(chat integer primary key, positions blob not null)");
}

void MessageSearchIndex::build(JobControl& control)
{
    m_data->db()->open();
    const MappedReads mapped(*m_data->db());
    build(control, currentIdentity());
}

void MessageSearchIndex::build(JobControl& control, const QString& identity)
{
    m_index.close();
    m_chunks.clear();
    m_chatPositions.clear();
    control.setStatus(tr("Building the search index..."), 0);
    const qint64 total = identity.section(QLatin1Char('|'), 1, 1).toLongLong();
    const QString file = path();
    const QString building = file + QStringLiteral(".building");
    removeIndexFile(building);
    try {
        {
            Sqlite3DB db;
            db.openFile(building, Sqlite3DB::OpenReadWriteCreate);
            BigramTokenizer::registerWith(db);
            // A file that is only ever renamed into place when complete needs no journal, no syncing
            // and no locking; a large page cache keeps its pages from being written more than once.
            db.execute("pragma journal_mode=off");
            db.execute("pragma synchronous=off");
            db.execute("pragma locking_mode=exclusive");
            db.execute("pragma cache_size=-131072");
            createSchema(db);
            Sqlite3Transaction transaction(db);
            writeIndex(db, control, total);
            db.execute(
                Sqlite3Sql("insert into meta(key, value) values('identity', ?)").addTextParam(identity));
            transaction.commit();
        }
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(building.toStdU16String()),
                                std::filesystem::path(file.toStdU16String()), error);
        if (error)
            throwSearchError(
                tr("The search index %1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(file), QString::fromStdString(error.message())));
    } catch (...) {
        removeIndexFile(building);
        throw;
    }
    openChecked(identity);
}

void MessageSearchIndex::writeIndex(Sqlite3DB& db, JobControl& control, qint64 total)
{
    // The pending terms of up to 256 MiB stay in memory, so most databases are written as one segment,
    // which needs no merging; larger ones are merged once, at the end.
    db.execute("insert into fts(fts, rank) values('automerge', 0)");
    db.execute("insert into fts(fts, rank) values('hashsize', 268435456)");
    qint64 position = 0;
    QByteArray chunk;
    qint64 previousKey = 0;
    // (chat, position) of every message, sorted into each chat's list at the end.
    std::vector<std::pair<qint64, qint64>> chatOfPosition;
    chatOfPosition.reserve(std::size_t(std::max<qint64>(0, total)));
    QByteArray document;
    KeyedInsert documents(db, "insert into fts(rowid, t) values(?, ?)");
    KeyedInsert chunks(db, "insert into chunks(chunk, entries) values(?, ?)");
    m_data->db()->forEachMessageText([&](const _LineMsg& message) {
        const qint64 chat = chatKeyOf(message);
        document.clear();
        document.append(BigramTokenizer::ChatMarkerLead);
        document.append(QByteArray::number(chat));
        document.append(BigramTokenizer::ChatMarkerEnd);
        document.append(message.displayText().toUtf8());
        documents.insertText(position, document);
        VarintCodec::appendSigned(chunk, message.id - previousKey);
        VarintCodec::append(chunk, quint64(chat));
        previousKey = message.id;
        chatOfPosition.emplace_back(chat, position);
        ++position;
        if (position % ChunkSize == 0) {
            chunks.insertBlob(position / ChunkSize - 1, chunk);
            chunk.clear();
            previousKey = 0;
        }
        control.setProgress(position, total);
        control.throwIfCancelled();
    });
    if (!chunk.isEmpty())
        chunks.insertBlob(position / ChunkSize, chunk);
    std::sort(chatOfPosition.begin(), chatOfPosition.end());
    KeyedInsert chats(db, "insert into chats(chat, positions) values(?, ?)");
    for (auto it = chatOfPosition.cbegin(); it != chatOfPosition.cend();) {
        const qint64 chat = it->first;
        QByteArray positions;
        qint64 previous = 0;
        for (; it != chatOfPosition.cend() && it->first == chat; ++it) {
            VarintCodec::append(positions, quint64(it->second - previous));
            previous = it->second;
        }
        chats.insertBlob(chat, positions);
    }
    control.setStatus(tr("Compacting the search index..."));
    db.execute("insert into fts(fts) values('optimize')");
    db.execute(Sqlite3Sql("insert into meta(key, value) values('count', ?)").addInt64Param(position));
    control.flushProgress(position, total);
}

QList<MessageSearchIndex::Entry> MessageSearchIndex::readChunk(qint64 chunk)
{
    Sqlite3Cursor cursor =
        m_index.query(Sqlite3Sql("select entries from chunks where chunk=?").addInt64Param(chunk));
    if (!cursor.moveNext())
        throwSearchError(tr("The search index is damaged."));
    const QByteArray bytes = cursor.blobAt(0);
    QList<Entry> entries;
    entries.reserve(ChunkSize);
    qsizetype offset = 0;
    qint64 key = 0;
    while (offset < bytes.size()) {
        std::int64_t delta = 0;
        std::uint64_t chat = 0;
        if (!VarintCodec::readSigned(bytes, offset, delta) || !VarintCodec::read(bytes, offset, chat))
            throwSearchError(tr("The search index is damaged."));
        key += delta;
        entries.append({key, qint64(chat)});
    }
    return entries;
}

MessageSearchIndex::Entry MessageSearchIndex::entry(qint64 position)
{
    if (position < 0 || position >= m_count)
        throwSearchError(tr("The search index is damaged."));
    const qint64 chunk = position / ChunkSize;
    auto it = m_chunks.find(chunk);
    if (it == m_chunks.end()) {
        // Four thousand chunks at most are kept (each about a kilobyte).
        if (m_chunks.size() >= 4096)
            m_chunks.clear();
        it = m_chunks.insert(chunk, readChunk(chunk));
    }
    const qsizetype index = position % ChunkSize;
    if (index >= it->size())
        throwSearchError(tr("The search index is damaged."));
    return it->at(index);
}

const QList<qint64>& MessageSearchIndex::chatPositions(qint64 chatKey)
{
    auto it = m_chatPositions.find(chatKey);
    if (it != m_chatPositions.end())
        return *it;
    QList<qint64> positions;
    Sqlite3Cursor cursor =
        m_index.query(Sqlite3Sql("select positions from chats where chat=?").addInt64Param(chatKey));
    if (cursor.moveNext()) {
        const QByteArray bytes = cursor.blobAt(0);
        qsizetype offset = 0;
        qint64 value = 0;
        while (offset < bytes.size()) {
            std::uint64_t delta = 0;
            if (!VarintCodec::read(bytes, offset, delta))
                throwSearchError(tr("The search index is damaged."));
            value += qint64(delta);
            positions.append(value);
        }
    }
    return *m_chatPositions.insert(chatKey, positions);
}
