#include "LineFixtureBuilder.h"

#include "FixtureMessageMaker.h"
#include "FixturePlan.h"
#include "FixturePlist.h"
#include "FixtureSchema.h"
#include "storage/Sqlite3DB.h"
#include "storage/Sqlite3Row.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <sqlite3.h>
#include <stdexcept>

namespace {

constexpr double kCoreDataEpoch = 978307200.0;

struct StorePaths
{
    QString prefix;
    QString store;
    QString groupStore; // empty: groups in ZGROUP
};

StorePaths pathsFor(const LineFixtureOptions& options, const QString& ownerMid, FixtureRandom& random)
{
    const QString privateStore = QStringLiteral("Library/Application Support/PrivateStore/");
    StorePaths paths;
    switch (options.layout) {
    case LineFixtureLayout::PrivateStore:
    case LineFixtureLayout::PrivateStoreOtherAccount: {
        const QString folder =
            options.layout == LineFixtureLayout::PrivateStore ? ownerMid : fixtureMid('u', random);
        paths.prefix = privateStore + QStringLiteral("P_") + folder + QLatin1Char('/');
        paths.store = paths.prefix + QStringLiteral("Messages/Line.sqlite");
        if (options.groups == LineFixtureGroups::UnifiedStore)
            paths.groupStore = paths.prefix + QStringLiteral("Messages/UnifiedGroup.sqlite");
        break;
    }
    // The old layouts predate UnifiedGroup.sqlite: their groups are always in ZGROUP.
    case LineFixtureLayout::DocumentsPrivateStore:
        paths.prefix = privateStore + QStringLiteral("P_") + ownerMid + QLatin1Char('/');
        paths.store = QStringLiteral("Documents/PrivateStore/P_") + ownerMid + QStringLiteral("/talk.sqlite");
        break;
    case LineFixtureLayout::ApplicationSupport:
        paths.prefix = QStringLiteral("Library/Application Support/");
        paths.store = paths.prefix + QStringLiteral("Messages/Line.sqlite");
        break;
    case LineFixtureLayout::DocumentsTalk:
        paths.prefix = QStringLiteral("Library/Application Support/");
        paths.store = QStringLiteral("Documents/talk.sqlite");
        break;
    }
    return paths;
}

class FileWriter
{
public:
    explicit FileWriter(QString root) : m_root(std::move(root)) {}

    void write(const QString& relativePath, const QByteArray& bytes)
    {
        const QString path = QDir(m_root).filePath(relativePath);
        const QString folder = QFileInfo(path).absolutePath();
        if (!m_folders.contains(folder)) {
            QDir().mkpath(folder);
            m_folders.insert(folder);
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + path.toStdString());
    }

private:
    QString m_root;
    QSet<QString> m_folders;
};

QVariant orNull(const std::optional<double>& value)
{
    return value ? QVariant(*value) : QVariant();
}

void removeStoreFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

class StoreWriter
{
public:
    StoreWriter(const LineFixtureOptions& options, const FixturePlan& plan, LineFixture& fixture)
        : m_options(options), m_plan(plan), m_fixture(fixture), m_files(fixture.appRoot)
    {
    }

    void writeLineStore(FixtureMessageMaker& maker)
    {
        const QString path = m_fixture.storePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        removeStoreFiles(path);
        Sqlite3DB db;
        db.openFile(path, Sqlite3DB::OpenReadWriteCreate);
        Sqlite3Transaction transaction(db);
        for (const QString& statement : FixtureSchema::lineStore(m_options.entities))
            db.execute(statement);
        writeMetadata(db);
        writeUsers(db);
        writeChats(db);
        if (m_fixture.groupStoreRelativePath.isEmpty())
            writeGroupTable(db);
        writeStickerPackages(db);

        const QList<FixtureMessage> specials =
            m_options.specialMessages ? maker.specials() : QList<FixtureMessage>();
        const qint64 total = specials.size() + m_options.messages;
        const qint64 pending = std::min<qint64>(m_options.pendingWalMessages, total);
        QList<FixtureMessage> held;
        qint64 written = 0;
        auto take = [&](FixtureMessage message) {
            if (written++ >= total - pending)
                held.append(std::move(message));
            else
                writeMessage(db, message);
        };
        for (const FixtureMessage& message : specials)
            take(message);
        for (qint64 i = 0; i < m_options.messages; ++i)
            take(maker.ordinary());
        writeChatSummaries(db);
        writePrimaryKeys(db, m_nextMessagePk - 1 + held.size());
        transaction.commit();
        db.close();
        if (!held.isEmpty())
            writePendingWal(path, held);
    }

    void writeGroupStore()
    {
        const QString path = m_fixture.groupStorePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        removeStoreFiles(path);
        const LineFixtureEntities& e = m_options.entities;
        Sqlite3DB db;
        db.openFile(path, Sqlite3DB::OpenReadWriteCreate);
        Sqlite3Transaction transaction(db);
        for (const QString& statement : FixtureSchema::groupStore(e))
            db.execute(statement);
        db.execute(Sqlite3Sql("insert into Z_METADATA(Z_VERSION, Z_UUID, Z_PLIST) values(1, ?, ?)")
                       .addTextParam(QStringLiteral("6B1A2F0E-9C1D-4E7A-8E55-2D8F0C3B4A10"))
                       .addBlobParam(FixturePlist::binaryDict(
                           {{QStringLiteral("NSStoreType"), QStringLiteral("SQLite")}})));
        QHash<qint64, qint64> groupUserPks; // ZUSER pk -> ZUNIFIEDGROUPUSER pk
        for (const FixtureGroup& group : m_plan.groups) {
            db.execute(
                Sqlite3Sql(
                    "insert into ZUNIFIEDGROUP(Z_PK, Z_ENT, Z_OPT, ZCREATOR, ZISPREVENTLINKINVITATION, "
                    "ZMEMBERCOUNT, ZCREATEDTIME, ZID, ZNAME, ZPICTURESTATUS) values(?,?,3,?,0,?,?,?,?,?)")
                    .addInt64Param(group.pk)
                    .addIntParam(e.unifiedGroup)
                    .addInt64Param(group.creatorPk)
                    .addIntParam(int(group.memberPks.size()) + 1)
                    .addDoubleParam(group.createdTime)
                    .addTextParam(group.id)
                    .addTextParam(group.name)
                    .addTextParam(group.pictureStatus));
            for (qint64 member : group.memberPks) {
                qint64& groupUserPk = groupUserPks[member];
                if (groupUserPk == 0) {
                    groupUserPk = groupUserPks.size();
                    db.execute(Sqlite3Sql("insert into ZUNIFIEDGROUPUSER(Z_PK, Z_ENT, Z_OPT, ZMID, "
                                          "ZNAME) values(?,?,1,?,?)")
                                   .addInt64Param(groupUserPk)
                                   .addIntParam(e.unifiedGroupUser)
                                   .addTextParam(m_plan.user(member)->mid)
                                   .addTextParam(m_plan.user(member)->name));
                }
                db.execute(QStringLiteral("insert into %1(%2, %3) values(%4, %5)")
                               .arg(FixtureSchema::unifiedMembersTable(e),
                                    FixtureSchema::unifiedMembersGroupColumn(e),
                                    FixtureSchema::unifiedMembersUserColumn(e))
                               .arg(group.pk)
                               .arg(groupUserPk));
            }
        }
        db.execute(
            Sqlite3Sql(
                "insert into Z_PRIMARYKEY(Z_ENT, Z_NAME, Z_SUPER, Z_MAX) values(?, 'UnifiedGroup', 0, ?)")
                .addIntParam(e.unifiedGroup)
                .addInt64Param(m_plan.groups.size()));
        db.execute(
            Sqlite3Sql(
                "insert into Z_PRIMARYKEY(Z_ENT, Z_NAME, Z_SUPER, Z_MAX) values(?, 'UnifiedGroupUser', 0, ?)")
                .addIntParam(e.unifiedGroupUser)
                .addInt64Param(groupUserPks.size()));
        transaction.commit();
    }

private:
    void writeMetadata(Sqlite3DB& db)
    {
        const QByteArray plist = FixturePlist::binaryDict(
            {{QStringLiteral("NSStoreType"), QStringLiteral("SQLite")},
             {QStringLiteral("NSStoreUUID"), QStringLiteral("0F8E2C1B-5A4D-4B3C-9E2F-7A6B5C4D3E21")},
             {QStringLiteral("NSPersistenceFrameworkVersion"), 1138},
             {QStringLiteral("NSStoreModelVersionHashesVersion"), 3},
             {QStringLiteral("NSStoreModelVersionIdentifiers"), QVariantList{QStringLiteral("")}},
             {QStringLiteral("NSAutoVacuumLevel"), QStringLiteral("2")}});
        db.execute(Sqlite3Sql("insert into Z_METADATA(Z_VERSION, Z_UUID, Z_PLIST) values(1, ?, ?)")
                       .addTextParam(QStringLiteral("0F8E2C1B-5A4D-4B3C-9E2F-7A6B5C4D3E21"))
                       .addBlobParam(plist));
        db.execute(
            Sqlite3Sql("insert into Z_MODELCACHE(Z_CONTENT) values(?)").addBlobParam(QByteArray(64, '\x5a')));
    }

    void writeUsers(Sqlite3DB& db)
    {
        for (const FixtureUser& user : m_plan.users) {
            Sqlite3Sql sql(
                "insert into ZUSER(Z_PK, Z_ENT, Z_OPT, ZALERT, ZBLOCKING, ZCAPABILITIES, ZCONTACTTYPE, "
                "ZE2EECONTENTTYPES, ZFAVORITEORDER, ZFRIENDREQUESTSTATUS, ZISFRIEND, ZISHIDDEN, "
                "ZISINADDRESSBOOK, ZISRECOMMENDED, ZISREMOVED, ZISUNREGISTERED, ZISVIEWED, ZUSERTYPE, "
                "ZCREATEDTIME, ZADDRESSBOOKNAME, ZCUSTOMNAME, ZMID, ZNAME, ZPICTUREURL, ZSORTABLENAME) "
                "values(?,?,2,1,0,1,0,0,0,0,1,0,?,0,0,0,1,0,?,?,?,?,?,?,?)");
            sql.addInt64Param(user.pk)
                .addIntParam(m_options.entities.user)
                .addIntParam(user.addressBookName.isEmpty() ? 0 : 1);
            sql.addDoubleParam(user.createdTime);
            user.addressBookName.isEmpty() ? sql.addNullParam() : sql.addTextParam(user.addressBookName);
            user.customName.isEmpty() ? sql.addNullParam() : sql.addTextParam(user.customName);
            sql.addTextParam(user.mid)
                .addTextParam(user.name)
                .addTextParam(user.pictureUrl)
                .addTextParam(user.name);
            db.execute(sql);
            m_fixture.users.append({user.pk, user.mid, user.addressBookName, user.name, user.customName});
        }
    }

    void writeChats(Sqlite3DB& db)
    {
        const LineFixtureEntities& e = m_options.entities;
        const QString link =
            QStringLiteral("insert into %1(%2, %3) values(?, ?)")
                .arg(FixtureSchema::chatMembersTable(e), FixtureSchema::chatMembersChatColumn(e),
                     FixtureSchema::chatMembersUserColumn(e));
        qint64 metadataPk = 0;
        for (const FixtureChat& chat : m_plan.chats) {
            db.execute(Sqlite3Sql("insert into ZCHAT(Z_PK, Z_ENT, Z_OPT, ZALERT, ZE2EECONTENTTYPES, ZENABLE, "
                                  "ZEXPIREINTERVAL, ZLIVE, ZSESSIONID, ZSORTORDER, ZTYPE, ZUNREAD, ZMID) "
                                  "values(?,?,4,1,0,?,0,0,0,0,?,0,?)")
                           .addInt64Param(chat.pk)
                           .addIntParam(e.chat)
                           .addIntParam(chat.enabled ? 1 : 0)
                           .addIntParam(chat.type)
                           .addTextParam(chat.mid));
            for (qint64 member : chat.memberPks)
                db.execute(Sqlite3Sql(link).addInt64Param(chat.pk).addInt64Param(member));
            if (!chat.enabled || chat.pk % 3 == 0) {
                db.execute(Sqlite3Sql("insert into ZCHATMETADATA(Z_PK, Z_ENT, Z_OPT, ZCHAT, ZKEY, ZVALUE) "
                                      "values(?, ?, 1, ?, 'notification', 'on')")
                               .addInt64Param(++metadataPk)
                               .addIntParam(e.chatMetadata)
                               .addInt64Param(chat.pk));
            }
            LineFixtureChat info;
            info.pk = chat.pk;
            info.mid = chat.mid;
            info.type = chat.type;
            info.enabled = chat.enabled;
            for (qint64 member : chat.memberPks)
                info.memberMids << m_plan.user(member)->mid;
            if (chat.groupIndex >= 0) {
                const FixtureGroup& group = m_plan.groups[chat.groupIndex];
                info.groupId = group.id;
                info.groupName = group.name;
                for (qint64 member : group.memberPks)
                    info.groupMemberMids << m_plan.user(member)->mid;
            }
            m_fixture.chats.append(info);
        }
        m_chatMetadataCount = metadataPk;
    }

    void writeGroupTable(Sqlite3DB& db)
    {
        const LineFixtureEntities& e = m_options.entities;
        const QString link =
            QStringLiteral("insert into %1(%2, %3) values(?, ?)")
                .arg(FixtureSchema::groupMembersTable(e), FixtureSchema::groupMembersGroupColumn(e),
                     FixtureSchema::groupMembersUserColumn(e));
        for (const FixtureGroup& group : m_plan.groups) {
            db.execute(
                Sqlite3Sql(
                    "insert into ZGROUP(Z_PK, Z_ENT, Z_OPT, ZALERT, ZENABLE, ZFAVORITEORDER, ZISACCEPTED, "
                    "ZISPREVENTLINKINVITATION, ZISVIEWED, ZCREATOR, ZCREATEDTIME, ZID, ZNAME, "
                    "ZPICTURESTATUS) values(?,?,2,1,1,0,1,0,1,?,?,?,?,?)")
                    .addInt64Param(group.pk)
                    .addIntParam(e.group)
                    .addInt64Param(group.creatorPk)
                    .addDoubleParam(group.createdTime)
                    .addTextParam(group.id)
                    .addTextParam(group.name)
                    .addTextParam(group.pictureStatus));
            for (qint64 member : group.memberPks)
                db.execute(Sqlite3Sql(link).addInt64Param(group.pk).addInt64Param(member));
        }
    }

    void writeStickerPackages(Sqlite3DB& db)
    {
        qint64 pk = 0;
        for (const FixtureStickerPackage& package : m_plan.stickerPackages) {
            db.execute(
                Sqlite3Sql("insert into ZSTICKERPACKAGE(Z_PK, Z_ENT, Z_OPT, ZPACKAGEID, ZVERSION, "
                           "ZSTICKERIDSTART, ZSTICKERIDEND, ZDOWNLOADED, ZNAME) values(?,?,1,?,?,?,?,1,?)")
                    .addInt64Param(++pk)
                    .addIntParam(m_options.entities.stickerPackage)
                    .addInt64Param(package.packageId)
                    .addIntParam(package.version)
                    .addIntParam(package.firstStickerId)
                    .addIntParam(package.lastStickerId)
                    .addTextParam(QStringLiteral("Package %1").arg(package.packageId)));
        }
    }

    void writeMessage(Sqlite3DB& db, const FixtureMessage& message)
    {
        static const QString sql =
            QStringLiteral("insert into ZMESSAGE(%1) values(%2)")
                .arg(FixtureSchema::messageColumns().join(QLatin1Char(',')),
                     QStringList(FixtureSchema::messageColumns().size(), QStringLiteral("?"))
                         .join(QLatin1Char(',')));
        const qint64 pk = m_nextMessagePk++;
        Sqlite3Sql insert(sql);
        insert.addInt64Param(pk)
            .addIntParam(m_options.entities.message)
            .addIntParam(message.senderPk == 0 ? 3 : 1);
        insert.addIntParam(message.contentType)
            .addIntParam(message.readCount)
            .addIntParam(message.sendStatus);
        insert.addInt64Param(m_plan.chats[message.chatIndex].pk);
        message.senderPk == 0 ? insert.addNullParam() : insert.addInt64Param(message.senderPk);
        insert.addInt64Param(message.timestamp);
        insert.addParam(Sqlite3Row::toParam(orNull(message.latitude)));
        insert.addParam(Sqlite3Row::toParam(orNull(message.longitude)));
        message.id ? insert.addTextParam(*message.id) : insert.addNullParam();
        message.text ? insert.addTextBytesParam(*message.text) : insert.addNullParam();
        message.metadata.isEmpty() ? insert.addNullParam() : insert.addBlobParam(message.metadata);
        message.thumbnail.isEmpty() ? insert.addNullParam() : insert.addBlobParam(message.thumbnail);
        db.execute(insert);
        account(message);
    }

    void account(const FixtureMessage& message)
    {
        for (const FixtureFile& file : message.files)
            m_files.write(file.relativePath, file.bytes);
        ++m_fixture.messageRows;
        LineFixtureChat& chat = m_fixture.chats[message.chatIndex];
        if (message.listable() && chat.enabled) {
            ++chat.visibleMessages;
            ++m_fixture.visibleMessages;
        }
        if (!message.special.isEmpty() && message.id)
            m_fixture.special.insert(message.special, *message.id);
        if (message.timestamp < 4000000000000) {
            Summary& summary = m_summaries[message.chatIndex];
            if (message.timestamp >= summary.timestamp) {
                summary.timestamp = message.timestamp;
                summary.text = message.text.value_or(QByteArray());
            }
        }
    }

    void writeChatSummaries(Sqlite3DB& db)
    {
        for (auto it = m_summaries.cbegin(); it != m_summaries.cend(); ++it) {
            db.execute(Sqlite3Sql("update ZCHAT set ZLASTUPDATED=?, ZLASTMESSAGE=? where Z_PK=?")
                           .addDoubleParam(double(it->timestamp) / 1000.0 - kCoreDataEpoch)
                           .addTextBytesParam(it->text)
                           .addInt64Param(m_plan.chats[it.key()].pk));
        }
    }

    void writePrimaryKeys(Sqlite3DB& db, qint64 messageMax)
    {
        const LineFixtureEntities& e = m_options.entities;
        const QList<std::tuple<int, const char*, qint64>> rows = {
            {e.chat, "Chat", m_plan.chats.size()},
            {e.chatMetadata, "ChatMetadata", m_chatMetadataCount},
            {e.group, "Group", m_fixture.groupStoreRelativePath.isEmpty() ? m_plan.groups.size() : 0},
            {e.message, "Message", messageMax},
            {e.stickerPackage, "StickerPackage", m_plan.stickerPackages.size()},
            {e.user, "User", m_plan.users.size()},
        };
        for (const auto& [entity, name, max] : rows)
            db.execute(
                Sqlite3Sql("insert into Z_PRIMARYKEY(Z_ENT, Z_NAME, Z_SUPER, Z_MAX) values(?, ?, 0, ?)")
                    .addIntParam(entity)
                    .addTextParam(QString::fromLatin1(name))
                    .addInt64Param(max));
    }

    // Switches the store to WAL (as Core Data keeps it) and writes the held rows through a connection
    // that does not checkpoint when it closes, so they stay in "-wal".
    void writePendingWal(const QString& path, const QList<FixtureMessage>& held)
    {
        Sqlite3DB db;
        db.openFile(path, Sqlite3DB::OpenReadWrite);
        db.execute("PRAGMA journal_mode=WAL");
        sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        Sqlite3Transaction transaction(db);
        for (const FixtureMessage& message : held)
            writeMessage(db, message);
        transaction.commit();
        db.close();
    }

    struct Summary
    {
        qint64 timestamp = 0;
        QByteArray text;
    };

    const LineFixtureOptions& m_options;
    const FixturePlan& m_plan;
    LineFixture& m_fixture;
    FileWriter m_files;
    qint64 m_nextMessagePk = 1;
    qint64 m_chatMetadataCount = 0;
    QHash<int, Summary> m_summaries;
};

void writePreferences(const LineFixtureOptions& options, const LineFixture& fixture)
{
    const QString path =
        QDir(fixture.appRoot).filePath(QStringLiteral("Library/Preferences/jp.naver.line.plist"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes =
        FixturePlist::binaryDict({{QStringLiteral("LINE_APP_VERSION"), QStringLiteral("9.14.0")},
                                  {QStringLiteral("mid"), fixture.ownerMid},
                                  {QStringLiteral("name"), options.ownerName},
                                  {QStringLiteral("tel"), options.ownerTel},
                                  {QStringLiteral("regionCode"), QStringLiteral("JP")},
                                  {QStringLiteral("isAgreedToTermsOfUse"), true}});
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace

LineFixtureEntities LineFixtureEntities::alternative()
{
    LineFixtureEntities e;
    e.chat = 3;
    e.chatMetadata = 4;
    e.group = 7;
    e.message = 8;
    e.stickerPackage = 11;
    e.user = 14;
    e.unifiedGroup = 2;
    e.unifiedGroupUser = 3;
    return e;
}

LineFixture LineFixtureBuilder::build(const QString& appRoot, const LineFixtureOptions& options)
{
    if (!QDir().mkpath(appRoot))
        throw std::runtime_error("cannot create " + appRoot.toStdString());
    FixtureRandom random(options.seed);
    const FixturePlan plan = FixturePlan::make(options, random);
    const StorePaths paths = pathsFor(options, plan.ownerMid, random);

    LineFixture fixture;
    fixture.appRoot = QDir(appRoot).absolutePath();
    fixture.ownerMid = plan.ownerMid;
    fixture.ownerName = options.ownerName;
    fixture.ownerTel = options.ownerTel;
    fixture.accountPrefix = paths.prefix;
    fixture.storeRelativePath = paths.store;
    fixture.groupStoreRelativePath = paths.groupStore;

    if (options.preferences)
        writePreferences(options, fixture);
    FixtureMessageMaker maker(plan, options, paths.prefix, random);
    StoreWriter writer(options, plan, fixture);
    writer.writeLineStore(maker);
    if (!paths.groupStore.isEmpty())
        writer.writeGroupStore();
    return fixture;
}
