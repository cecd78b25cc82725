// Feeds arbitrary bytes to PlistCFType::fromData and exercises everything a caller may do with the
// result. Besides crashes it checks two invariants: a deep copy renders like its source, and an
// NSDictionary archive that survives encoding, writing and parsing again decodes to the same keys
// (those with a value).
#include "plist/KeyedArchive.h"
#include "plist/PlistCFType.h"

#include <QByteArray>
#include <QSet>
#include <QtGlobal>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void walk(const PlistCFType& plist)
{
    (void)plist.typeId();
    (void)plist.getString();
    (void)plist.getData();
    (void)plist.getDate(0);
    (void)plist.getInt64(0);
    (void)plist.getDouble(0);
    (void)plist.getUID();
    const QString text = plist.toString();
    const PlistCFType copy = plist.copy();
    check(copy.toString() == text);
    for (const PlistCFType& item : plist.items())
        (void)item.toString();
    for (const PlistCFType& key : plist.keys())
        (void)plist.value(key.getString()).typeId();
    if (plist.count() > 0)
        (void)plist.at(plist.count() - 1).toString();
    (void)PlistCFType::fromData(plist.serialize(PlistCFType::FormatXml)).toString();
    (void)PlistCFType::fromData(plist.serialize(PlistCFType::FormatBinary)).toString();
}

// Keys with a value: encoding leaves out null values.
QSet<QString> keySet(const PlistCFMap& map)
{
    QSet<QString> keys;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (!it.value().isNull())
            keys.insert(it.key());
    }
    return keys;
}

void discardMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
}

} // namespace

// Refused lists are logged; the log only slows the fuzzer down.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(discardMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PlistCFType plist = PlistCFType::fromData(bytes);
    walk(plist);

    for (const PlistCFType& value : decodeKeyedObject(plist))
        (void)value.toString();

    const PlistCFMap dictionary = decodeKeyedDictionary(plist);
    if (!dictionary.isEmpty()) {
        const PlistCFType archive = encodeKeyedDictionary(dictionary, true);
        const PlistCFType again = PlistCFType::fromData(archive.serialize(PlistCFType::FormatBinary));
        if (!again.isNull())
            check(keySet(decodeKeyedDictionary(again)) == keySet(dictionary));
    }
    return 0;
}
