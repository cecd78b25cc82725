#pragma once

#include <QString>

struct _LineChat;

// The base name (without suffix) of a chat's output file: "MULTI_<id>" for a multi-user room,
// "GROUP_<group name or NONAME>_<id>" for a group chat ("GROUP_UNKNOWN_<id>" without its group record),
// "<chat title>_<id>" for a single chat, where id is the chat's uid, or "<n>_<uid>" when n > 1 (the
// export asks for n = 2, 3, ... when two chats would share a name). Tabs, line breaks, no-break spaces
// and the embedding marks U+202A/U+202C are removed, then characters Windows refuses and reserved device
// names are dealt with as windowsValidName does. A name longer than 200 UTF-8 bytes is cut there and
// gets "~" and 8 hexadecimal digits of its MD5, so that it stays distinct.
QString chatFileName(const _LineChat* chat, int n);

// Shortens a file name to at most maxUtf8Bytes as chatFileName does (whole characters, "~" + hash);
// shorter names are returned unchanged.
QString shortenedFileName(const QString& name, int maxUtf8Bytes);
