#include "Plist.h"

#include "AtomicFile.h"
#include "SimError.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace iphonesim {

namespace {

// libplist hands out malloc'ed strings.
std::string takeCString(char* text)
{
    std::string result = text ? std::string(text) : std::string();
    std::free(text);
    return result;
}

// Whether a key of the dictionary holds a NUL character: libplist 2.2 asserts when such a key is read while
// iterating. Its XML writer copies keys with their full length, so a NUL shows up in the XML text.
bool hasKeyWithNul(plist_t dict)
{
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(dict, &xml, &length);
    const bool found = xml && std::memchr(xml, '\0', length) != nullptr;
    std::free(xml);
    return found;
}

} // namespace

PlistPtr plistFromBytes(std::string_view bytes)
{
    if (bytes.size() < 8 || bytes.size() > UINT32_MAX)
        return nullptr;
    plist_t node = nullptr;
    if (bytes.substr(0, 8) == "bplist00") {
        plist_from_bin(bytes.data(), uint32_t(bytes.size()), &node);
    } else {
        size_t start = 0;
        while (start < bytes.size() &&
               (bytes[start] == ' ' || bytes[start] == '\n' || bytes[start] == '\r' || bytes[start] == '\t'))
            ++start;
        if (bytes.substr(start, 1) == "<")
            plist_from_xml(bytes.data(), uint32_t(bytes.size()), &node);
    }
    return PlistPtr(node);
}

std::string plistToBytes(plist_t node, PlistFormat format)
{
    char* data = nullptr;
    uint32_t length = 0;
    if (format == PlistFormat::Xml)
        plist_to_xml(node, &data, &length);
    else
        plist_to_bin(node, &data, &length);
    std::string result = data ? std::string(data, length) : std::string();
    std::free(data);
    return result;
}

PlistPtr plistFromFile(const std::string& path, size_t maxBytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return nullptr;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size_t(size) > maxBytes)
        return nullptr;
    in.seekg(0);
    std::string bytes(size_t(size), '\0');
    if (!in.read(bytes.data(), size))
        return nullptr;
    return plistFromBytes(bytes);
}

void plistToFile(plist_t node, const std::string& path, PlistFormat format)
{
    writeFileAtomically(path, plistToBytes(node, format));
}

plist_t dictItem(plist_t dict, const char* key, plist_type type)
{
    if (!dict || plist_get_node_type(dict) != PLIST_DICT)
        return nullptr;
    plist_t item = plist_dict_get_item(dict, key);
    if (!item || plist_get_node_type(item) != type)
        return nullptr;
    return item;
}

std::optional<std::string> nodeString(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    // libplist 2.2 asserts (and aborts) in plist_get_string_val when a string holds a NUL character, which
    // a client can send; the pointer and length accessor does not.
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, size_t(length)) : std::string();
}

std::optional<uint64_t> nodeUInt(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uint_val(node, &value);
    return value;
}

std::optional<int64_t> nodeSigned(plist_t node)
{
    const auto value = nodeUInt(node);
    if (!value)
        return std::nullopt;
    return int64_t(*value);
}

std::optional<std::string> dictString(plist_t dict, const char* key)
{
    return nodeString(dictItem(dict, key, PLIST_STRING));
}

std::optional<uint64_t> dictUInt(plist_t dict, const char* key)
{
    return nodeUInt(dictItem(dict, key, PLIST_UINT));
}

std::optional<bool> dictBool(plist_t dict, const char* key)
{
    plist_t item = dictItem(dict, key, PLIST_BOOLEAN);
    if (!item)
        return std::nullopt;
    uint8_t value = 0;
    plist_get_bool_val(item, &value);
    return value != 0;
}

std::optional<std::string> dictData(plist_t dict, const char* key)
{
    plist_t item = dictItem(dict, key, PLIST_DATA);
    if (!item)
        return std::nullopt;
    char* data = nullptr;
    uint64_t length = 0;
    plist_get_data_val(item, &data, &length);
    std::string result = data ? std::string(data, size_t(length)) : std::string();
    std::free(data);
    return result;
}

std::optional<double> dictReal(plist_t dict, const char* key)
{
    plist_t item = dictItem(dict, key, PLIST_REAL);
    if (!item)
        return std::nullopt;
    double value = 0;
    plist_get_real_val(item, &value);
    return value;
}

std::vector<std::pair<std::string, plist_t>> dictItems(plist_t dict)
{
    std::vector<std::pair<std::string, plist_t>> items;
    if (!dict || plist_get_node_type(dict) != PLIST_DICT || hasKeyWithNul(dict))
        return items;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    if (!iter)
        return items;
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (!value) {
            std::free(key);
            break;
        }
        items.emplace_back(takeCString(key), value);
    }
    std::free(iter);
    return items;
}

void dictSetString(plist_t dict, const char* key, const std::string& value)
{
    plist_dict_set_item(dict, key, plist_new_string(value.c_str()));
}

void dictSetUInt(plist_t dict, const char* key, uint64_t value)
{
    plist_dict_set_item(dict, key, plist_new_uint(value));
}

void dictSetBool(plist_t dict, const char* key, bool value)
{
    plist_dict_set_item(dict, key, plist_new_bool(value ? 1 : 0));
}

void dictSetData(plist_t dict, const char* key, std::string_view value)
{
    plist_dict_set_item(dict, key, plist_new_data(value.data(), value.size()));
}

void dictSetReal(plist_t dict, const char* key, double value)
{
    plist_dict_set_item(dict, key, plist_new_real(value));
}

plist_t newDate(int64_t unixSeconds)
{
    return plist_new_date(int32_t(unixSeconds - kAppleEpochOffset), 0);
}

void dictSetDate(plist_t dict, const char* key, int64_t unixSeconds)
{
    plist_dict_set_item(dict, key, newDate(unixSeconds));
}

void dictSetNode(plist_t dict, const char* key, PlistPtr value)
{
    plist_dict_set_item(dict, key, static_cast<plist_t>(value.release()));
}

PlistPtr newDict()
{
    return PlistPtr(plist_new_dict());
}

PlistPtr newArray()
{
    return PlistPtr(plist_new_array());
}

void arrayAppendString(plist_t array, const std::string& value)
{
    plist_array_append_item(array, plist_new_string(value.c_str()));
}

} // namespace iphonesim
