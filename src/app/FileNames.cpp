#include "app/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
const QStringList& reservedNames()
{
    static const QStringList names = {
        QStringLiteral("CON"),  QStringLiteral("PRN"),  QStringLiteral("AUX"),  QStringLiteral("CLOCK$"),
        QStringLiteral("NUL"),  QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
        QStringLiteral("COM4"), QStringLiteral("COM5"), QStringLiteral("COM6"), QStringLiteral("COM7"),
        QStringLiteral("COM8"), QStringLiteral("COM9"), QStringLiteral("LPT1"),
    };
    return names;
}

bool isAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

void appendPercent(QString& out, unsigned char byte, bool upper)
{
    static const char upperDigits[] = "0123456789ABCDEF";
    static const char lowerDigits[] = "0123456789abcdef";
    const char* digits = upper ? upperDigits : lowerDigits;
    out += QLatin1Char('%');
    out += QLatin1Char(digits[byte >> 4]);
    out += QLatin1Char(digits[byte & 0xf]);
}

bool isWindowsForbidden(QChar c)
{
    switch (c.unicode()) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
    case '\n':
    case '\r':
    case '\t':
        return true;
    default:
        return false;
    }
}
} // namespace

bool isReservedDeviceName(const QString& name)
{
    return reservedNames().contains(name, Qt::CaseInsensitive);
}

QString fileNameSafe(const QString& text)
{
    static const QByteArray kept(" `~!@#$^&()-=_+[]{};',.");
    const bool reserved = isReservedDeviceName(text);
    const QByteArray utf8 = text.toUtf8();
    QString out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        const bool plain = !reserved && (isAsciiAlnum(c) || kept.contains(c));
        if (plain)
            out += QLatin1Char(c);
        else
            appendPercent(out, static_cast<unsigned char>(c), true);
    }
    return out;
}

QString percentFileName(const QString& text)
{
    QString out;
    if (isReservedDeviceName(text)) {
        for (char c : text.toUtf8())
            appendPercent(out, static_cast<unsigned char>(c), false);
        return out;
    }
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('%') || isWindowsForbidden(c))
            appendPercent(out, static_cast<unsigned char>(c.unicode()), false);
        else
            out += c;
    }
    return out;
}

QString windowsValidName(const QString& fileName)
{
    const qsizetype firstDot = fileName.indexOf(QLatin1Char('.'));
    const qsizetype lastDot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = firstDot < 0 ? fileName : fileName.left(firstDot);
    const QString suffix = lastDot < 0 ? QString() : fileName.mid(lastDot + 1);
    if (isReservedDeviceName(base)) {
        QString result = QStringLiteral("$$") + base + QStringLiteral("$$");
        if (!suffix.isEmpty())
            result += QLatin1Char('.') + suffix;
        return result;
    }
    QString result;
    result.reserve(fileName.size());
    for (QChar c : fileName) {
        if (!isWindowsForbidden(c))
            result += c;
    }
    return result.trimmed();
}

QString numberedFileName(const QString& path, int n)
{
    if (n <= 0)
        return path;
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype firstDot = name.indexOf(QLatin1Char('.'));
    const qsizetype lastDot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = firstDot < 0 ? name : name.left(firstDot);
    const QString suffix = lastDot < 0 ? QString() : name.mid(lastDot + 1);
    QString candidate = QStringLiteral("%1(%2)").arg(base).arg(n);
    if (!suffix.isEmpty())
        candidate += QLatin1Char('.') + suffix;
    return info.dir().filePath(candidate);
}

QString uniqueFileName(const QString& path)
{
    for (int n = 0;; ++n) {
        const QString candidate = numberedFileName(path, n);
        const QFileInfo candidateInfo(candidate);
        if (!candidateInfo.exists() && !candidateInfo.isSymLink())
            return candidate;
    }
}
