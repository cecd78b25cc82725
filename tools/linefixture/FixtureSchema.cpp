#include "FixtureSchema.h"

namespace FixtureSchema {
namespace {

QString numbered(const char* pattern, int number)
{
    return QString::fromLatin1(pattern).arg(number);
}

QString bookkeeping()
{
    return QStringLiteral(
        "CREATE TABLE Z_PRIMARYKEY (Z_ENT INTEGER PRIMARY KEY, Z_NAME VARCHAR, Z_SUPER INTEGER, "
        "Z_MAX INTEGER)");
}

} // namespace

QString chatMembersTable(const LineFixtureEntities& e)
{
    return numbered("Z_%1MEMBERS", e.chat);
}
QString chatMembersChatColumn(const LineFixtureEntities& e)
{
    return numbered("Z_%1CHATS", e.chat);
}
QString chatMembersUserColumn(const LineFixtureEntities& e)
{
    return numbered("Z_%1MEMBERS", e.user);
}
QString groupMembersTable(const LineFixtureEntities& e)
{
    return numbered("Z_%1MEMBERS", e.group);
}
QString groupMembersGroupColumn(const LineFixtureEntities& e)
{
    return numbered("Z_%1GROUPS", e.group);
}
QString groupMembersUserColumn(const LineFixtureEntities& e)
{
    return numbered("Z_%1MEMBERS1", e.user);
}
QString unifiedMembersTable(const LineFixtureEntities& e)
{
    return numbered("Z_%1MEMBERCHATUSERS", e.unifiedGroup);
}
QString unifiedMembersGroupColumn(const LineFixtureEntities& e)
{
    return numbered("Z_%1GROUPS", e.unifiedGroup);
}
QString unifiedMembersUserColumn(const LineFixtureEntities& e)
{
    return numbered("Z_%1MEMBERCHATUSERS", e.unifiedGroupUser);
}

QStringList lineStore(const LineFixtureEntities& e)
{
    QStringList sql;
    sql << bookkeeping();
    sql << QStringLiteral(
        "CREATE TABLE Z_METADATA (Z_VERSION INTEGER PRIMARY KEY, Z_UUID VARCHAR(255), Z_PLIST BLOB)");
    sql << QStringLiteral("CREATE TABLE Z_MODELCACHE (Z_CONTENT BLOB)");
    sql << QStringLiteral(
        "CREATE TABLE ZUSER ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZALERT INTEGER, "
        "ZBLOCKING INTEGER, ZCAPABILITIES INTEGER, ZCONTACTTYPE INTEGER, ZE2EECONTENTTYPES INTEGER, "
        "ZFAVORITEORDER INTEGER, ZFRIENDREQUESTSTATUS INTEGER, ZISFRIEND INTEGER, ZISHIDDEN INTEGER, "
        "ZISINADDRESSBOOK INTEGER, ZISRECOMMENDED INTEGER, ZISREMOVED INTEGER, ZISUNREGISTERED INTEGER, "
        "ZISVIEWED INTEGER, ZUSERTYPE INTEGER, ZCREATEDTIME TIMESTAMP, ZUPDATEDTIME TIMESTAMP, "
        "ZADDRESSBOOKNAME VARCHAR, ZCUSTOMNAME VARCHAR, ZMID VARCHAR, ZNAME VARCHAR, ZPICTURESTATUS VARCHAR, "
        "ZPICTUREURL VARCHAR, ZSORTABLENAME VARCHAR, ZSTATUSMESSAGE VARCHAR, ZMUSICPROFILE BLOB )");
    sql << QStringLiteral(
        "CREATE TABLE ZCHAT ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZALERT INTEGER, "
        "ZE2EECONTENTTYPES INTEGER, ZENABLE INTEGER, ZEXPIREINTERVAL INTEGER, ZLIVE INTEGER, ZSESSIONID "
        "INTEGER, "
        "ZSORTORDER INTEGER, ZTYPE INTEGER, ZUNREAD INTEGER, ZLASTUPDATED TIMESTAMP, ZLASTMESSAGE VARCHAR, "
        "ZLASTRECEIVEDMESSAGEID VARCHAR, ZMID VARCHAR, ZREADUPTOMESSAGEID VARCHAR, "
        "ZREADUPTOMESSAGEIDSYNCED VARCHAR, ZINPUTTEXT VARCHAR, ZSKINKEY VARCHAR, ZNOTIFICATIONSTATUS BLOB )");
    sql << QStringLiteral(
        "CREATE TABLE ZGROUP ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZALERT INTEGER, "
        "ZENABLE INTEGER, ZFAVORITEORDER INTEGER, ZISACCEPTED INTEGER, ZISPREVENTLINKINVITATION INTEGER, "
        "ZISVIEWED INTEGER, ZCREATOR INTEGER, ZCREATEDTIME TIMESTAMP, ZID VARCHAR, ZNAME VARCHAR, "
        "ZPICTURESTATUS VARCHAR, ZINVITATIONTICKET VARCHAR )");
    sql << QStringLiteral(
        "CREATE TABLE ZMESSAGE ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZCONTENTTYPE "
        "INTEGER, "
        "ZREADCOUNT INTEGER, ZSENDSTATUS INTEGER, ZCHAT INTEGER, ZSENDER INTEGER, ZTIMESTAMP INTEGER, "
        "ZLATITUDE FLOAT, ZLONGITUDE FLOAT, ZDELIVEREDTIME TIMESTAMP, ZID VARCHAR, ZTEXT VARCHAR, "
        "ZRELATEDMESSAGEID VARCHAR, ZCONTENTMETADATA BLOB, ZTHUMBNAIL BLOB, ZATTRIBUTEDTEXT BLOB )");
    sql << QStringLiteral(
        "CREATE TABLE ZSTICKERPACKAGE ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, "
        "ZPACKAGEID INTEGER, ZVERSION INTEGER, ZSTICKERIDSTART INTEGER, ZSTICKERIDEND INTEGER, "
        "ZDOWNLOADED INTEGER, ZNAME VARCHAR, ZAUTHOR VARCHAR )");
    sql << QStringLiteral(
        "CREATE TABLE ZCHATMETADATA ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZCHAT INTEGER, "
        "ZKEY VARCHAR, ZVALUE VARCHAR )");
    sql << QStringLiteral("CREATE TABLE %1 ( %2 INTEGER, %3 INTEGER, PRIMARY KEY (%2, %3) )")
               .arg(chatMembersTable(e), chatMembersChatColumn(e), chatMembersUserColumn(e));
    sql << QStringLiteral("CREATE TABLE %1 ( %2 INTEGER, %3 INTEGER, PRIMARY KEY (%2, %3) )")
               .arg(groupMembersTable(e), groupMembersGroupColumn(e), groupMembersUserColumn(e));
    sql << QStringLiteral("CREATE INDEX %1_%2_INDEX ON %1 (%2, %3)")
               .arg(chatMembersTable(e), chatMembersUserColumn(e), chatMembersChatColumn(e));
    sql << QStringLiteral("CREATE INDEX %1_%2_INDEX ON %1 (%2, %3)")
               .arg(groupMembersTable(e), groupMembersUserColumn(e), groupMembersGroupColumn(e));
    sql << QStringLiteral("CREATE INDEX ZMESSAGE_ZCHAT_INDEX ON ZMESSAGE (ZCHAT)");
    sql << QStringLiteral("CREATE INDEX ZMESSAGE_ZSENDER_INDEX ON ZMESSAGE (ZSENDER)");
    sql << QStringLiteral("CREATE INDEX ZGROUP_ZCREATOR_INDEX ON ZGROUP (ZCREATOR)");
    sql << QStringLiteral("CREATE INDEX ZCHATMETADATA_ZCHAT_INDEX ON ZCHATMETADATA (ZCHAT)");
    return sql;
}

QStringList groupStore(const LineFixtureEntities& e)
{
    QStringList sql;
    sql << bookkeeping();
    sql << QStringLiteral(
        "CREATE TABLE Z_METADATA (Z_VERSION INTEGER PRIMARY KEY, Z_UUID VARCHAR(255), Z_PLIST BLOB)");
    sql << QStringLiteral(
        "CREATE TABLE ZUNIFIEDGROUP ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZCREATOR "
        "INTEGER, "
        "ZISPREVENTLINKINVITATION INTEGER, ZMEMBERCOUNT INTEGER, ZCREATEDTIME TIMESTAMP, ZID VARCHAR, "
        "ZNAME VARCHAR, ZPICTURESTATUS VARCHAR, ZINVITATIONTICKET VARCHAR )");
    sql << QStringLiteral(
        "CREATE TABLE ZUNIFIEDGROUPUSER ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, "
        "ZMID VARCHAR, ZNAME VARCHAR )");
    sql << QStringLiteral("CREATE TABLE %1 ( %2 INTEGER, %3 INTEGER, PRIMARY KEY (%2, %3) )")
               .arg(unifiedMembersTable(e), unifiedMembersGroupColumn(e), unifiedMembersUserColumn(e));
    sql << QStringLiteral("CREATE INDEX %1_%2_INDEX ON %1 (%2, %3)")
               .arg(unifiedMembersTable(e), unifiedMembersUserColumn(e), unifiedMembersGroupColumn(e));
    return sql;
}

const QStringList& messageColumns()
{
    static const QStringList columns = {
        QStringLiteral("Z_PK"),       QStringLiteral("Z_ENT"),
        QStringLiteral("Z_OPT"),      QStringLiteral("ZCONTENTTYPE"),
        QStringLiteral("ZREADCOUNT"), QStringLiteral("ZSENDSTATUS"),
        QStringLiteral("ZCHAT"),      QStringLiteral("ZSENDER"),
        QStringLiteral("ZTIMESTAMP"), QStringLiteral("ZLATITUDE"),
        QStringLiteral("ZLONGITUDE"), QStringLiteral("ZID"),
        QStringLiteral("ZTEXT"),      QStringLiteral("ZCONTENTMETADATA"),
        QStringLiteral("ZTHUMBNAIL"),
    };
    return columns;
}

} // namespace FixtureSchema
