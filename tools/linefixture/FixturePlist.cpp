#include "FixturePlist.h"

#include <QVariantList>
#include <QVariantMap>
#include <memory>
#include <plist/plist.h>
#include <stdexcept>

namespace FixturePlist {
namespace {

struct PlistFree
{
    void operator()(void* node) const { plist_free(node); }
};
using PlistOwner = std::unique_ptr<void, PlistFree>;

plist_t nodeFor(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return plist_new_uint(quint64(value.toLongLong()));
    case QMetaType::Double:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), quint64(bytes.size()));
    }
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        for (const QVariant& item : value.toList())
            plist_array_append_item(array, nodeFor(item));
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            plist_dict_set_item(dict, it.key().toUtf8().constData(), nodeFor(it.value()));
        return dict;
    }
    default:
        return plist_new_string(value.toString().toUtf8().constData());
    }
}

PlistOwner dictOf(const Entries& entries)
{
    PlistOwner dict(plist_new_dict());
    for (const auto& [key, value] : entries)
        plist_dict_set_item(dict.get(), key.toUtf8().constData(), nodeFor(value));
    return dict;
}

} // namespace

QByteArray binaryDict(const Entries& entries)
{
    const PlistOwner dict = dictOf(entries);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(dict.get(), &bytes, &length);
    if (!bytes)
        throw std::runtime_error("libplist could not write a binary property list");
    QByteArray result(bytes, qsizetype(length));
    plist_to_bin_free(bytes);
    return result;
}

QByteArray xmlDict(const Entries& entries)
{
    const PlistOwner dict = dictOf(entries);
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(dict.get(), &text, &length);
    if (!text)
        throw std::runtime_error("libplist could not write an XML property list");
    QByteArray result(text, qsizetype(length));
    plist_to_xml_free(text);
    return result;
}

} // namespace FixturePlist
