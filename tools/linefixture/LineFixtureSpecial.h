#pragma once

#include <QString>

// Names of the unusual rows the builder adds (LineFixtureOptions::specialMessages). Most live in the
// first chat, a single chat; LineFixture::special maps each name to the row's message id.
namespace LineFixtureSpecial {

// Listed by a reader.
inline const QString TextEmoji = QStringLiteral("text-emoji");                // one LINE emoji run
inline const QString TextDamagedEmoji = QStringLiteral("text-damaged-emoji"); // terminator lost to U+FFFD
inline const QString TextLoneEmoji = QStringLiteral("text-lone-emoji");       // one plane-16 code point
inline const QString Text107 = QStringLiteral("text-107");                    // ZCONTENTTYPE 107
inline const QString Photo112 = QStringLiteral("photo-112");                  // ZCONTENTTYPE 112
inline const QString PhotoFull = QStringLiteral("photo-full");                // file, .thumb and blob
inline const QString PhotoBlobOnly = QStringLiteral("photo-blob-only");       // ZTHUMBNAIL only
inline const QString PhotoFileOnly = QStringLiteral("photo-file-only");       // big file, no thumbnail
inline const QString PhotoBrokenThumb = QStringLiteral("photo-broken-thumb"); // blob is not an image
inline const QString VideoMp4 = QStringLiteral("video-mp4");
inline const QString VideoMov = QStringLiteral("video-mov");
inline const QString VoiceM4a = QStringLiteral("voice-m4a");
inline const QString VoiceAac = QStringLiteral("voice-aac");
inline const QString VoiceOutgoing = QStringLiteral("voice-outgoing");
inline const QString StickerMeta = QStringLiteral("sticker-meta");       // ids in ZCONTENTMETADATA
inline const QString StickerPackage = QStringLiteral("sticker-package"); // id in ZLONGITUDE only
inline const QString StickerPackageAgain = QStringLiteral("sticker-package-again");
inline const QString StickerNoPackage = QStringLiteral("sticker-no-package"); // no package holds the id
inline const QString StickerBadMeta = QStringLiteral("sticker-bad-meta");     // metadata is no plist
inline const QString Contact = QStringLiteral("contact");
inline const QString File = QStringLiteral("file");                         // decomposed file name
inline const QString FileWindowsName = QStringLiteral("file-windows-name"); // stored under the valid form
inline const QString Location = QStringLiteral("location");
inline const QString UnknownSender = QStringLiteral("unknown-sender");    // ZSENDER names no user
inline const QString SameTimeFirst = QStringLiteral("same-time-first");   // equal ZTIMESTAMP, lower Z_PK
inline const QString SameTimeSecond = QStringLiteral("same-time-second"); // equal ZTIMESTAMP, higher Z_PK
inline const QString GroupText = QStringLiteral("group-text");            // in the first group chat

// Never listed.
inline const QString Type106 = QStringLiteral("type-106");
inline const QString TypeUnknown = QStringLiteral("type-unknown");
inline const QString AbsurdTime = QStringLiteral("absurd-time");
inline const QString DisabledChatMessage = QStringLiteral("disabled-chat-message");
// (Rows with a NULL or empty ZID have no id to name.)

} // namespace LineFixtureSpecial
