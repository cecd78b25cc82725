#pragma once

#include <QString>

// Where the builder puts the message store inside the app folder: every layout LINE has used.
enum class LineFixtureLayout
{
    PrivateStore,             // Library/Application Support/PrivateStore/P_<mid>/Messages/Line.sqlite
    PrivateStoreOtherAccount, // the same under a folder named for another account
    DocumentsPrivateStore,    // Documents/PrivateStore/P_<mid>/talk.sqlite (old)
    ApplicationSupport,       // Library/Application Support/Messages/Line.sqlite
    DocumentsTalk,            // Documents/talk.sqlite (oldest)
};

// Where groups live: the separate UnifiedGroup.sqlite beside the store, or ZGROUP inside it (older).
enum class LineFixtureGroups
{
    UnifiedStore,
    GroupTable,
};

// Core Data entity numbers. Join tables and their columns are named from them ("Z_1MEMBERS", ...), so a
// store built with other numbers has other table names.
struct LineFixtureEntities
{
    int chat = 1;
    int chatMetadata = 2;
    int group = 4;
    int message = 5;
    int stickerPackage = 9;
    int user = 12;
    // In UnifiedGroup.sqlite.
    int unifiedGroup = 1;
    int unifiedGroupUser = 2;

    // A second, valid numbering in which every join name differs from the default one.
    static LineFixtureEntities alternative();
};

struct LineFixtureOptions
{
    quint64 seed = 1;
    int users = 12;        // contacts besides the owner
    int chats = 8;         // enabled chats (single, multi-user rooms and groups)
    int disabledChats = 1; // chats the owner hid (ZENABLE 0), with messages, members and metadata
    qint64 messages = 300; // ordinary messages, spread over the enabled chats
    LineFixtureLayout layout = LineFixtureLayout::PrivateStore;
    LineFixtureGroups groups = LineFixtureGroups::UnifiedStore;
    LineFixtureEntities entities;
    bool attachments = true;       // media files of photos, videos, voice messages and files
    bool messageThumbnails = true; // "Message Thumbnails/<chat>/<message>.thumb"
    bool thumbnailBlobs = true;    // ZTHUMBNAIL of photos and videos
    bool specialMessages = true;   // the catalogue of unusual rows (LineFixtureSpecial)
    bool ownerInUsers = false;     // whether ZUSER has a row for the owner
    bool preferences = true;       // Library/Preferences/jp.naver.line.plist
    // The last this many messages are written in WAL mode and left in "Line.sqlite-wal" without a
    // checkpoint, as a store copied from a running app has them.
    int pendingWalMessages = 0;
    QString ownerMid; // empty: derived from the seed
    QString ownerName = QStringLiteral("Kenji Owner");
    QString ownerTel = QStringLiteral("+81 90 1234 5678");
};
