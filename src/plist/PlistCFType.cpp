#include "plist/PlistCFType.h"

#include "plist/BinaryPlistScan.h"
#include "plist/PlistChildCursor.h"
#include "plist/PlistDates.h"
#include "plist/PlistHashLoad.h"
#include "plist/PlistLimits.h"
#include "plist/PlistText.h"
#include "plist/PlistTree.h"
#include "plist/XmlPlistScan.h"

#include <QFile>
#include <QtDebug>

// Shared by every copy of one wrapper. keepAlive is the holder of the container this node was reached
// through or inserted into, so a child wrapper keeps its whole tree alive.
struct PlistCFType::Holder
{
    Holder(plist_t node, bool owned) : node(node), owned(owned) {}
    ~Holder();
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    plist_t node = nullptr;
    bool owned = false;
    std::shared_ptr<Holder> keepAlive;
};

PlistCFType::Holder::~Holder()
{
    if (owned && node)
        plist_free(node);
    // Release the chain of containers one link at a time instead of through nested destructors.
    std::shared_ptr<Holder> next = std::move(keepAlive);
    while (next && next.use_count() == 1) {
        std::shared_ptr<Holder> after = std::move(next->keepAlive);
        next.reset();
        next = std::move(after);
    }
}

PlistCFType::PlistCFType() = default;

PlistCFType::PlistCFType(plist_t node, bool owned)
{
    if (node)
        m_holder = std::make_shared<Holder>(node, owned);
}

PlistCFType::PlistCFType(std::shared_ptr<Holder> holder) : m_holder(std::move(holder))
{
}

PlistCFType::~PlistCFType() = default;
PlistCFType::PlistCFType(const PlistCFType& other) = default;
PlistCFType& PlistCFType::operator=(const PlistCFType& other) = default;
PlistCFType::PlistCFType(PlistCFType&& other) noexcept = default;
PlistCFType& PlistCFType::operator=(PlistCFType&& other) noexcept = default;

PlistCFType PlistCFType::fromData(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return PlistCFType();
    const bool binary = bytes.size() >= 7 && bytes.startsWith("bplist");
    const PlistScanVerdict verdict = binary ? BinaryPlistScan::check(bytes) : XmlPlistScan::check(bytes);
    if (verdict != PlistScanVerdict::Accept) {
        if (verdict != PlistScanVerdict::Malformed)
            qWarning("Property list of %lld bytes refused: %s", static_cast<long long>(bytes.size()),
                     plistScanVerdictText(verdict));
        return PlistCFType();
    }
    plist_t node = nullptr;
    const auto length = static_cast<uint32_t>(bytes.size()); // at most PlistLimits::MaxInputBytes
    if (binary)
        plist_from_bin(bytes.constData(), length, &node);
    else
        plist_from_xml(bytes.constData(), length, &node);
    if (!node)
        return PlistCFType();
    if (binary)
        plistIndexLargeArrays(node);
    return PlistCFType(node, true);
}

PlistCFType PlistCFType::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PlistCFType();
    const QByteArray bytes = file.read(PlistLimits::MaxInputBytes + 1);
    if (bytes.size() > PlistLimits::MaxInputBytes) {
        qWarning("Property list %s refused: larger than %lld bytes", qUtf8Printable(path),
                 static_cast<long long>(PlistLimits::MaxInputBytes));
        return PlistCFType();
    }
    return fromData(bytes);
}

PlistCFType PlistCFType::newString(const QString& text)
{
    return PlistCFType(plist_new_string(text.toUtf8().constData()), true);
}

PlistCFType PlistCFType::newUInt(quint64 value)
{
    return PlistCFType(plist_new_uint(value), true);
}

PlistCFType PlistCFType::newInt(qint32 value)
{
    return PlistCFType(plist_new_uint(static_cast<quint64>(static_cast<qint64>(value))), true);
}

PlistCFType PlistCFType::newSmallInt(qint8 value)
{
    return PlistCFType(plist_new_uint(static_cast<quint64>(static_cast<qint64>(value))), true);
}

PlistCFType PlistCFType::newBool(bool value)
{
    return PlistCFType(plist_new_bool(value ? 1 : 0), true);
}

PlistCFType PlistCFType::newUID(quint32 value)
{
    return PlistCFType(plist_new_uid(value), true);
}

PlistCFType PlistCFType::newData(const QByteArray& bytes)
{
    return PlistCFType(plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size())), true);
}

PlistCFType PlistCFType::newDate(const QDateTime& dateTime)
{
    qint32 seconds = 0;
    qint32 microseconds = 0;
    if (!PlistDates::toStoredParts(dateTime, &seconds, &microseconds))
        return PlistCFType();
    return PlistCFType(plist_new_date(seconds, microseconds), true);
}

PlistCFType PlistCFType::newArray()
{
    return PlistCFType(plist_new_array(), true);
}

PlistCFType PlistCFType::newDict()
{
    return PlistCFType(plist_new_dict(), true);
}

PlistCFType PlistCFType::copy() const
{
    plist_t source = node();
    if (!source || plistSubtreeHeight(source, PlistLimits::MaxDepth) > PlistLimits::MaxDepth)
        return PlistCFType();
    return PlistCFType(plist_copy(source), true);
}

plist_t PlistCFType::node() const
{
    return m_holder ? m_holder->node : nullptr;
}

int PlistCFType::typeId() const
{
    switch (plist_get_node_type(node())) {
    case PLIST_STRING:
    case PLIST_KEY:
        return TypeString;
    case PLIST_DICT:
        return TypeDict;
    case PLIST_ARRAY:
        return TypeArray;
    case PLIST_DATA:
        return TypeData;
    case PLIST_BOOLEAN:
        return TypeBool;
    case PLIST_UINT:
    case PLIST_REAL:
        return TypeNumber;
    case PLIST_UID:
        return TypeUid;
    case PLIST_DATE:
        return TypeDate;
    default:
        return TypeNone;
    }
}

bool PlistCFType::isArray() const
{
    return plist_get_node_type(node()) == PLIST_ARRAY;
}

bool PlistCFType::isData() const
{
    return plist_get_node_type(node()) == PLIST_DATA;
}

bool PlistCFType::isDict() const
{
    return plist_get_node_type(node()) == PLIST_DICT;
}

QString PlistCFType::getString() const
{
    return plistStringValue(node());
}

QByteArray PlistCFType::getData() const
{
    if (!isData())
        return QByteArray();
    uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node(), &length);
    return QByteArray(bytes, static_cast<qsizetype>(length));
}

bool PlistCFType::getBool(bool defaultValue) const
{
    if (plist_get_node_type(node()) != PLIST_BOOLEAN)
        return defaultValue;
    uint8_t value = 0;
    plist_get_bool_val(node(), &value);
    return value != 0;
}

double PlistCFType::getDouble(double defaultValue) const
{
    if (plist_get_node_type(node()) != PLIST_REAL)
        return defaultValue;
    double value = 0;
    plist_get_real_val(node(), &value);
    return value;
}

qint64 PlistCFType::getInt64(qint64 defaultValue) const
{
    if (plist_get_node_type(node()) != PLIST_UINT)
        return defaultValue;
    uint64_t value = 0;
    plist_get_uint_val(node(), &value);
    return static_cast<qint64>(value);
}

qint32 PlistCFType::getInt(qint32 defaultValue) const
{
    return static_cast<qint32>(getInt64(defaultValue));
}

qint16 PlistCFType::getInt16(qint16 defaultValue) const
{
    return static_cast<qint16>(getInt64(defaultValue));
}

quint32 PlistCFType::getUID() const
{
    if (plist_get_node_type(node()) != PLIST_UID)
        return 0;
    uint64_t value = 0;
    plist_get_uid_val(node(), &value);
    return static_cast<quint32>(value);
}

QDateTime PlistCFType::getDate(qint64 offsetSeconds) const
{
    const std::optional<double> seconds = PlistDates::storedSeconds(node());
    return seconds ? PlistDates::toLocalDateTime(*seconds, offsetSeconds) : QDateTime();
}

QString PlistCFType::toString() const
{
    return plistNodeText(node());
}

int PlistCFType::count() const
{
    return isArray() ? static_cast<int>(plist_array_get_size(node())) : 0;
}

PlistCFType PlistCFType::at(int index) const
{
    if (!isArray() || index < 0)
        return PlistCFType();
    return childWrapper(plist_array_get_item(node(), static_cast<uint32_t>(index)));
}

QList<PlistCFType> PlistCFType::items() const
{
    QList<PlistCFType> result;
    if (!isArray())
        return result;
    result.reserve(count());
    PlistChildCursor cursor(node());
    while (plist_t item = cursor.next())
        result.append(childWrapper(item));
    return result;
}

bool PlistCFType::append(const PlistCFType& item)
{
    if (!isArray())
        return false;
    plist_t inserted = prepareInsert(item);
    if (!inserted)
        return false;
    plist_array_append_item(node(), inserted);
    return true;
}

PlistCFType PlistCFType::value(const QString& key) const
{
    if (!isDict())
        return PlistCFType();
    return childWrapper(plist_dict_get_item(node(), key.toUtf8().constData()));
}

bool PlistCFType::setValue(const QString& key, const PlistCFType& item)
{
    if (!isDict())
        return false;
    const QByteArray keyBytes = key.toUtf8();
    plist_t inserted = prepareInsert(item); // copies, when needed, before the old value is freed
    if (!inserted)
        return false;
    plist_t old = plist_dict_get_item(node(), keyBytes.constData());
    const auto oldHolder = m_children.find(old);
    if (old && oldHolder != m_children.end()) {
        (*oldHolder)->node = nullptr; // freed below by libplist
        m_children.erase(oldHolder);
    }
    plist_dict_set_item(node(), keyBytes.constData(), inserted);
    return true;
}

bool PlistCFType::setValue(const PlistCFType& key, const PlistCFType& item)
{
    return setValue(key.toString(), item);
}

QList<PlistCFType> PlistCFType::keys() const
{
    QList<PlistCFType> result;
    if (!isDict())
        return result;
    PlistChildCursor cursor(node());
    plist_t key = nullptr;
    while (cursor.next(&key))
        result.append(childWrapper(key));
    return result;
}

QList<QPair<QString, PlistCFType>> PlistCFType::entries() const
{
    QList<QPair<QString, PlistCFType>> result;
    if (!isDict())
        return result;
    PlistChildCursor cursor(node());
    plist_t key = nullptr;
    while (plist_t value = cursor.next(&key))
        result.append(qMakePair(plistStringValue(key), childWrapper(value)));
    return result;
}

QByteArray PlistCFType::serialize(int format) const
{
    plist_t root = node();
    if (!root || plistSubtreeHeight(root, PlistLimits::MaxDepth) > PlistLimits::MaxDepth)
        return QByteArray();
    char* bytes = nullptr;
    uint32_t length = 0;
    if (format == FormatXml) {
        plist_to_xml(root, &bytes, &length);
        const QByteArray result(bytes, static_cast<qsizetype>(length));
        plist_to_xml_free(bytes);
        return result;
    }
    // Below this size even a tree of values chosen to collide stays within PlistHashLoad::MaxProbes.
    constexpr qint64 SmallTree = 10000;
    if (plistSubtreeSize(root, SmallTree) > SmallTree &&
        PlistHashLoad::binaryWriterProbes(root, PlistHashLoad::MaxProbes) > PlistHashLoad::MaxProbes) {
        qWarning("Property list not written: its values would overload libplist's hash table");
        return QByteArray();
    }
    plist_to_bin(root, &bytes, &length);
    const QByteArray result(bytes, static_cast<qsizetype>(length));
    plist_to_bin_free(bytes);
    return result;
}

PlistCFType PlistCFType::childWrapper(plist_t child) const
{
    if (!child)
        return PlistCFType();
    auto holder = std::make_shared<Holder>(child, false);
    holder->keepAlive = m_holder;
    return PlistCFType(std::move(holder));
}

// The node to attach for item: item's own node when this wrapper can take it over, otherwise a deep copy;
// null when the result would nest deeper than PlistLimits::MaxDepth.
plist_t PlistCFType::prepareInsert(const PlistCFType& item)
{
    plist_t container = node();
    plist_t itemNode = item.node();
    if (!container || !itemNode)
        return nullptr;
    if (plistNodeDepth(container) + plistSubtreeHeight(itemNode, PlistLimits::MaxDepth) >
        PlistLimits::MaxDepth)
        return nullptr;
    Holder* holder = item.m_holder.get();
    const bool takeOver =
        holder->owned && !plist_get_parent(itemNode) && !plistIsSelfOrAncestor(itemNode, container);
    if (!takeOver)
        return plist_copy(itemNode);
    holder->owned = false;
    holder->keepAlive = m_holder;
    m_children.insert(itemNode, item.m_holder);
    return itemNode;
}
