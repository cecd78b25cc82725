#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// Message type codes. The words are what the local database keeps in line_msg.type.
namespace MessageType {

enum Code : int
{
    Text = 0,
    Photo = 1,
    Video = 2,
    Voice = 3,
    Sticker = 4,
    Contact = 5,
    File = 6,
    Location = 7,
};

// "text", "photo", ... ; an unknown code gives "text".
QString word(int code);
// The code of a word, ignoring case; an unknown word counts as Text.
int fromWord(const QString& word);
// The same for the word's UTF-8 bytes (as a database returns them).
int fromWordBytes(QByteArrayView word);

// LINE's iPhone ZCONTENTTYPE -> code; -1 for a content type the program does not read.
int fromIosContentType(int contentType);
// The ZCONTENTTYPE written back for a code (Text -> 0, Photo -> 1, Sticker -> 7, ...); unknown -> 0.
int toIosContentType(int code);
// The ten ZCONTENTTYPE values that are read, for the SQL filter "in (0, 107, 1, ...)".
const QList<int>& knownIosContentTypes();

} // namespace MessageType
