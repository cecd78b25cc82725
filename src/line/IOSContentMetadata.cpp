#include "line/IOSContentMetadata.h"

#include "plist/PlistCFType.h"

#include <QList>
#include <QPair>

namespace IOSContentMetadata {
namespace {

QByteArray binaryDict(const QList<QPair<QString, PlistCFType>>& entries)
{
    PlistCFType dict = PlistCFType::newDict();
    for (const auto& [key, value] : entries)
        dict.setValue(key, value);
    return dict.serialize(PlistCFType::FormatBinary);
}

PlistCFType text(const QString& value)
{
    return PlistCFType::newString(value);
}

} // namespace

QHash<QString, QString> read(const QByteArray& bytes)
{
    QHash<QString, QString> values;
    if (bytes.isEmpty())
        return values;
    const PlistCFType dict = PlistCFType::fromData(bytes);
    if (!dict.isDict())
        return values;
    for (const auto& [key, value] : dict.entries()) {
        // Numbers are read too: some app versions wrote ids as integers.
        if (value.typeId() == PlistCFType::TypeString || value.typeId() == PlistCFType::TypeNumber)
            values.insert(key, value.toString());
    }
    return values;
}

QByteArray sticker(int stickerId, int packageId, int version)
{
    return binaryDict({{QStringLiteral("STKVER"), text(QString::number(version))},
                       {QStringLiteral("STKID"), text(QString::number(stickerId))},
                       {QStringLiteral("STKOPT"), text(QString())},
                       {QStringLiteral("STKPKGID"), text(QString::number(packageId))}});
}

QByteArray contact(const QString& uid, const QString& name)
{
    return binaryDict(
        {{QStringLiteral("mid"), text(uid)}, {QStringLiteral("displayName"), text(storedContactName(name))}});
}

QString storedContactName(QString name)
{
    name.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    name.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    name.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    name.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return name;
}

QString contactNameFromStored(QString stored)
{
    // "&amp;" last, so that an escaped entity such as "&amp;lt;" reads back as "&lt;".
    stored.replace(QLatin1String("&lt;"), QLatin1String("<"));
    stored.replace(QLatin1String("&gt;"), QLatin1String(">"));
    stored.replace(QLatin1String("&quot;"), QLatin1String("\""));
    stored.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return stored;
}

QByteArray file(const QString& name, qint64 size, qint64 timestampMs)
{
    return binaryDict({{QStringLiteral("FILE_NAME"), text(name)},
                       {QStringLiteral("FILE_SIZE"), text(QString::number(size))},
                       {QStringLiteral("FILE_EXPIRE_TIMESTAMP"), text(QString::number(timestampMs))},
                       {QStringLiteral("OBS_POP"), text(QStringLiteral("sg-1"))}});
}

QByteArray outgoingVoice(int receiverCount)
{
    return binaryDict({{QStringLiteral("receiverCount"), PlistCFType::newInt(receiverCount)}});
}

QByteArray incomingVoice(qint64 length)
{
    return binaryDict({{QStringLiteral("OBS_POP"), text(QStringLiteral("b"))},
                       {QStringLiteral("AUDLEN"), text(QString::number(length))}});
}

} // namespace IOSContentMetadata
