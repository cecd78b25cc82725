#include "plist/KeyedArchive.h"

#include "plist/PlistLimits.h"
#include "plist/PlistTree.h"

#include <QSet>
#include <algorithm>
#include <optional>

namespace {

// The object reference a value holds: a UID, or the {"CF$UID": n} dictionary of an XML list.
std::optional<quint32> objectReference(const PlistCFType& value)
{
    if (value.typeId() == PlistCFType::TypeUid)
        return value.getUID();
    if (!value.isDict())
        return std::nullopt;
    const PlistCFEntries entries = value.entries();
    if (entries.size() != 1 || entries.first().first != QLatin1String("CF$UID"))
        return std::nullopt;
    const PlistCFType number = entries.first().second;
    if (plist_get_node_type(number.node()) != PLIST_UINT)
        return std::nullopt;
    const qint64 reference = number.getInt64();
    if (reference < 0 || reference > 0xFFFFFFFFLL)
        return std::nullopt;
    return static_cast<quint32>(reference);
}

quint32 referenceOrZero(const PlistCFType& value)
{
    return objectReference(value).value_or(0);
}

// "$objects" of an archive as a list (one linear walk instead of an indexed lookup per reference).
QList<PlistCFType> archivedObjects(const PlistCFType& archive)
{
    return archive.value(QStringLiteral("$objects")).items();
}

PlistCFType objectAt(const QList<PlistCFType>& objects, quint32 reference)
{
    return reference < static_cast<quint32>(objects.size()) ? objects.at(static_cast<qsizetype>(reference))
                                                            : PlistCFType();
}

quint32 rootReference(const PlistCFType& archive)
{
    return referenceOrZero(archive.value(QStringLiteral("$top")).value(QStringLiteral("root")));
}

PlistCFType classDescription(bool isMutable)
{
    PlistCFType classes = PlistCFType::newArray();
    if (isMutable)
        classes.append(PlistCFType::newString(QStringLiteral("NSMutableDictionary")));
    classes.append(PlistCFType::newString(QStringLiteral("NSDictionary")));
    classes.append(PlistCFType::newString(QStringLiteral("NSObject")));
    PlistCFType description = PlistCFType::newDict();
    description.setValue(QStringLiteral("$classes"), classes);
    description.setValue(QStringLiteral("$classname"),
                         PlistCFType::newString(isMutable ? QStringLiteral("NSMutableDictionary")
                                                          : QStringLiteral("NSDictionary")));
    return description;
}

} // namespace

PlistCFMap decodeKeyedObject(const PlistCFType& archive)
{
    PlistCFMap result;
    if (!archive.isDict() || !archive.value(QStringLiteral("$objects")).isArray())
        return result;
    const QList<PlistCFType> objects = archivedObjects(archive);
    const PlistCFType root = objectAt(objects, rootReference(archive));
    if (!root.isDict())
        return result;
    const PlistCFEntries entries = root.entries();
    for (const auto& [key, value] : entries) {
        const std::optional<quint32> reference = objectReference(value);
        result.insert(key, reference ? objectAt(objects, *reference) : value);
    }
    return result;
}

PlistCFMap decodeKeyedDictionary(const PlistCFType& archive)
{
    PlistCFMap result;
    const quint32 root = rootReference(archive);
    if (root == 0)
        return result;
    const QList<PlistCFType> objects = archivedObjects(archive);
    const PlistCFType dictionary = objectAt(objects, root);
    const QList<PlistCFType> keyRefs = dictionary.value(QStringLiteral("NS.keys")).items();
    const QList<PlistCFType> valueRefs = dictionary.value(QStringLiteral("NS.objects")).items();
    const qsizetype count = std::min(keyRefs.size(), valueRefs.size());

    // Resolve first, so each key is copied once (a later equal key replaces an earlier one).
    QHash<QString, quint32> valueOfKey;
    QList<QString> keyOrder;
    for (qsizetype i = 0; i < count; ++i) {
        const QString key = objectAt(objects, referenceOrZero(keyRefs.at(i))).getString();
        if (!valueOfKey.contains(key))
            keyOrder.append(key);
        valueOfKey.insert(key, referenceOrZero(valueRefs.at(i)));
    }
    // Many keys may share one large value: bound the total work of the copies.
    QHash<quint32, qint64> sizeOfObject;
    qint64 total = 0;
    for (const QString& key : std::as_const(keyOrder)) {
        const quint32 reference = valueOfKey.value(key);
        auto size = sizeOfObject.find(reference);
        if (size == sizeOfObject.end())
            size = sizeOfObject.insert(
                reference, plistSubtreeSize(objectAt(objects, reference).node(), PlistLimits::MaxNodes));
        total += *size;
        if (total > PlistLimits::MaxNodes)
            return PlistCFMap();
    }
    for (const QString& key : std::as_const(keyOrder))
        result.insert(key, objectAt(objects, valueOfKey.value(key)).copy());
    return result;
}

PlistCFType encodeKeyedDictionary(const PlistCFEntries& entries, bool isMutable)
{
    // First place, last value, no null values.
    QList<QString> keys;
    QHash<QString, PlistCFType> values;
    for (const auto& [key, value] : entries) {
        if (!values.contains(key))
            keys.append(key);
        values.insert(key, value);
    }
    keys.removeIf([&](const QString& key) { return values.value(key).isNull(); });

    PlistCFType archive = PlistCFType::newDict();
    PlistCFType objects = PlistCFType::newArray();
    PlistCFType top = PlistCFType::newDict();
    top.setValue(QStringLiteral("root"), PlistCFType::newUID(1));
    archive.setValue(QStringLiteral("$archiver"), PlistCFType::newString(QStringLiteral("NSKeyedArchiver")));
    archive.setValue(QStringLiteral("$objects"), objects); // objects now lives inside archive
    archive.setValue(QStringLiteral("$top"), top);
    archive.setValue(QStringLiteral("$version"), PlistCFType::newUInt(100000));

    PlistCFType dictionary = PlistCFType::newDict();
    objects.append(PlistCFType::newString(QStringLiteral("$null")));
    objects.append(dictionary);

    quint32 reference = 2;
    PlistCFType keyRefs = PlistCFType::newArray();
    for (const QString& key : std::as_const(keys)) {
        keyRefs.append(PlistCFType::newUID(reference++));
        objects.append(PlistCFType::newString(key));
    }
    PlistCFType valueRefs = PlistCFType::newArray();
    for (const QString& key : std::as_const(keys)) {
        valueRefs.append(PlistCFType::newUID(reference++));
        if (!objects.append(values.value(key)))
            return PlistCFType(); // too deep: the references would no longer match "$objects"
    }
    dictionary.setValue(QStringLiteral("NS.keys"), keyRefs);
    dictionary.setValue(QStringLiteral("NS.objects"), valueRefs);
    dictionary.setValue(QStringLiteral("$class"), PlistCFType::newUID(reference));
    objects.append(classDescription(isMutable));
    return archive;
}

PlistCFType encodeKeyedDictionary(const PlistCFMap& map, bool isMutable)
{
    QList<QString> keys = map.keys();
    std::sort(keys.begin(), keys.end());
    PlistCFEntries entries;
    entries.reserve(keys.size());
    for (const QString& key : std::as_const(keys))
        entries.append(qMakePair(key, map.value(key)));
    return encodeKeyedDictionary(entries, isMutable);
}
