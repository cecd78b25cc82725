#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

struct _LineMsg;

// ZCONTENTMETADATA of LINE's messages: a property list holding a dictionary of strings (sticker ids,
// file name, contact, voice length). Reading tolerates anything; writing makes binary property lists.
namespace IOSContentMetadata {

// The dictionary's string values by key; empty for bytes that are not a property-list dictionary.
QHash<QString, QString> read(const QByteArray& bytes);

// "STKVER", "STKID", "STKOPT" (empty), "STKPKGID".
QByteArray sticker(int stickerId, int packageId, int version);
// "mid" and "displayName" (see storedContactName).
QByteArray contact(const QString& uid, const QString& name);
// A contact's name as LINE keeps it in "displayName": &, <, > and " written as entities; and back.
QString storedContactName(QString name);
QString contactNameFromStored(QString stored);
// "FILE_NAME", "FILE_SIZE", "FILE_EXPIRE_TIMESTAMP" (message time in ms), "OBS_POP" = "sg-1".
QByteArray file(const QString& name, qint64 size, qint64 timestampMs);
// Outgoing voice: "receiverCount" as an integer.
QByteArray outgoingVoice(int receiverCount);
// Incoming voice: "OBS_POP" = "b", "AUDLEN" = the length.
QByteArray incomingVoice(qint64 length);

} // namespace IOSContentMetadata
