#include "export/ChatFileName.h"

#include "app/FileNames.h"
#include "app/TextUtils.h"
#include "line/LineChat.h"
#include "line/LineGroup.h"

namespace {
// Leaves room for a suffix and a "(n)" within the 255 bytes most file systems allow.
constexpr int kMaxNameBytes = 200;

bool isRemovedFromFileNames(QChar c)
{
    switch (c.unicode()) {
    case u'\t':
    case u'\n':
    case u'\r':
    case 0x202A:
    case 0x00A0:
    case 0x202C:
        return true;
    default:
        return false;
    }
}
} // namespace

QString shortenedFileName(const QString& name, int maxUtf8Bytes)
{
    if (name.toUtf8().size() <= maxUtf8Bytes)
        return name;
    const QString mark = QLatin1Char('~') + md5Hex(name).left(8);
    const int budget = maxUtf8Bytes - int(mark.size());
    QString kept;
    int bytes = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        // Whole code points only: a surrogate pair is taken or left together.
        const qsizetype units = name.at(i).isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        const int size = int(name.mid(i, units).toUtf8().size());
        if (bytes + size > budget)
            break;
        kept += name.mid(i, units);
        bytes += size;
        i += units - 1;
    }
    return kept.trimmed() + mark;
}

QString chatFileName(const _LineChat* chat, int n)
{
    if (!chat)
        return QStringLiteral("UNKNOWN");
    const QString id = n > 1 ? QStringLiteral("%1_%2").arg(n).arg(chat->uid) : chat->uid;
    QString name;
    switch (chat->type) {
    case _LineChat::Multi:
        name = QStringLiteral("MULTI_%1").arg(id);
        break;
    case _LineChat::Group:
        if (chat->group) {
            const QString groupName =
                chat->group->name.isEmpty() ? QStringLiteral("NONAME") : chat->group->name;
            name = QStringLiteral("GROUP_%1_%2").arg(groupName, id);
        } else {
            name = QStringLiteral("GROUP_UNKNOWN_") + id;
        }
        break;
    default:
        name = chat->chatTitle(false) + QLatin1Char('_') + id;
        break;
    }
    name.removeIf(isRemovedFromFileNames);
    return shortenedFileName(windowsValidName(name), kMaxNameBytes);
}
