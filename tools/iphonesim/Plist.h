#pragma once

#include <plist/plist.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace iphonesim {

struct PlistDeleter
{
    void operator()(void* node) const
    {
        if (node)
            plist_free(static_cast<plist_t>(node));
    }
};

// Owner of a libplist node tree; release() hands the node to a container that takes ownership.
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Seconds between 1970-01-01 and 2001-01-01, the epoch of property-list dates.
constexpr int64_t kAppleEpochOffset = 978307200;

enum class PlistFormat
{
    Xml,
    Binary
};

// Parses a binary or XML property list; null for anything that is neither.
PlistPtr plistFromBytes(std::string_view bytes);
std::string plistToBytes(plist_t node, PlistFormat format);
// Reads a whole file (up to maxBytes) and parses it; null when missing, too large or not a property list.
PlistPtr plistFromFile(const std::string& path, size_t maxBytes = 64u << 20);
// Writes through a temporary file renamed into place; throws SimError on failure.
void plistToFile(plist_t node, const std::string& path, PlistFormat format);

// Typed access to dictionary members; empty when the key is missing or has another type.
plist_t dictItem(plist_t dict, const char* key, plist_type type);
std::optional<std::string> dictString(plist_t dict, const char* key);
std::optional<uint64_t> dictUInt(plist_t dict, const char* key);
std::optional<bool> dictBool(plist_t dict, const char* key);
std::optional<std::string> dictData(plist_t dict, const char* key);
std::optional<double> dictReal(plist_t dict, const char* key);

std::optional<std::string> nodeString(plist_t node);
std::optional<uint64_t> nodeUInt(plist_t node);
// A property-list integer read as the signed value the sender meant (status codes such as -13 arrive as
// 64-bit unsigned integers).
std::optional<int64_t> nodeSigned(plist_t node);

// Members of a dictionary in storage order.
std::vector<std::pair<std::string, plist_t>> dictItems(plist_t dict);

void dictSetString(plist_t dict, const char* key, const std::string& value);
void dictSetUInt(plist_t dict, const char* key, uint64_t value);
void dictSetBool(plist_t dict, const char* key, bool value);
void dictSetData(plist_t dict, const char* key, std::string_view value);
void dictSetReal(plist_t dict, const char* key, double value);
// Unix seconds stored as a property-list date.
void dictSetDate(plist_t dict, const char* key, int64_t unixSeconds);
void dictSetNode(plist_t dict, const char* key, PlistPtr value);

plist_t newDate(int64_t unixSeconds);
PlistPtr newDict();
PlistPtr newArray();
void arrayAppendString(plist_t array, const std::string& value);

} // namespace iphonesim
