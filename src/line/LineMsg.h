#pragma once

#include "line/LineLocation.h"
#include "line/LineSticker.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QVariantHash>

struct _LineChat;
struct _LineUser;

// One message. A plain value: copies share nothing that can change. chat and sender point into the
// _LineData the message was read with, which must outlive the message.
struct _LineMsg
{
    Q_DECLARE_TR_FUNCTIONS(_LineMsg)

public:
    qint64 id = 0;      // row key in the database it was read from; 0 when not yet stored
    QString uid;        // LINE's message id: the de-duplication key
    int type = 0;       // MessageType::Code
    QDateTime time;     // local time
    QByteArray content; // the text as stored: UTF-8 that may hold LINE emoji code points
    QString text;       // content decoded by EmojiText::decodeEmojiText
    QVariantHash atta;  // attachment metadata, keys in LineAttaKeys
    QString filePath;   // media file on the computer; empty when none
    QString thumbPath;  // thumbnail on the computer; empty when none
    _LineChat* chat = nullptr;
    _LineUser* sender = nullptr; // null: sent by the device owner

    bool isOutgoing() const { return sender == nullptr; }

    // Whether uid is a real LINE message id: an empty uid or "0" is none, and a message without one is
    // never matched with another message by (chat, uid).
    static bool isRealUid(const QString& uid) { return !uid.isEmpty() && uid != QLatin1String("0"); }
    bool hasUid() const { return isRealUid(uid); }

    // Typed access to atta; a missing key reads as empty or 0. Setters store the key's variant type.
    QString contactUid() const;
    QString contactName() const;
    void setContact(const QString& uid, const QString& name);
    QString fileName() const;
    void setFileName(const QString& name);
    qint64 size() const;
    void setSize(qint64 size);
    int width() const;
    void setWidth(int width);
    int height() const;
    void setHeight(int height);
    _LineLocation location() const;
    void setLocation(const _LineLocation& location);
    _LineSticker sticker() const;
    void setSticker(const _LineSticker& sticker);

    // The one-line text of the message: "[IMAGE]", "[STICKER-12]", "Contact: name", the file name, the
    // place name, or the text with every emoji as "[EMOJI]".
    QString displayText() const;
    // The voice length as "m:ss" (size counts 980 units a second, rounded half up on the first decimal).
    QString voiceLength() const;
};
