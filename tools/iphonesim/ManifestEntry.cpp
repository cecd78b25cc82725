#include "ManifestEntry.h"

#include "OpenSslHandles.h"
#include "Plist.h"

#include <algorithm>
#include <cstdlib>
#include <openssl/evp.h>

namespace iphonesim {

namespace {

// Archive integers are stored as unsigned property-list integers; times and ids as sign-extended 64 bits.
uint64_t signExtended(int64_t value)
{
    return uint64_t(value);
}

plist_t objectAt(plist_t objects, plist_t reference)
{
    if (!reference || plist_get_node_type(reference) != PLIST_UID)
        return nullptr;
    uint64_t index = 0;
    plist_get_uid_val(reference, &index);
    if (index >= plist_array_get_size(objects))
        return nullptr;
    return plist_array_get_item(objects, uint32_t(index));
}

std::optional<std::string> dataOf(plist_t node)
{
    if (!node)
        return std::nullopt;
    if (plist_get_node_type(node) == PLIST_DICT)
        return dictData(node, "NS.data");
    if (plist_get_node_type(node) == PLIST_DATA) {
        char* data = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &data, &length);
        std::string bytes = data ? std::string(data, size_t(length)) : std::string();
        std::free(data);
        return bytes;
    }
    return std::nullopt;
}

} // namespace

std::string backupFileId(const std::string& domain, const std::string& relativePath)
{
    const std::string text = domain + "-" + relativePath;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha1(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string id;
    for (unsigned int i = 0; i < length; ++i) {
        id += hex[digest[i] >> 4];
        id += hex[digest[i] & 15];
    }
    return id;
}

std::string backupContentPath(const std::string& fileId)
{
    return fileId.substr(0, 2) + "/" + fileId;
}

std::string encodeMbFile(const ManifestEntry& entry)
{
    PlistPtr objects = newArray();
    arrayAppendString(objects.get(), "$null");
    PlistPtr file = newDict();
    plist_t dict = file.get();
    uint64_t next = 3; // $null, the MBFile, the relative path
    PlistPtr extra = newArray();
    auto addObject = [&](PlistPtr object) {
        plist_array_append_item(extra.get(), static_cast<plist_t>(object.release()));
        return next++;
    };
    dictSetUInt(dict, "Birth", signExtended(entry.birth));
    if (!entry.digest.empty()) {
        PlistPtr digest(plist_new_data(entry.digest.data(), entry.digest.size()));
        plist_dict_set_item(dict, "Digest", plist_new_uid(addObject(std::move(digest))));
    }
    if (!entry.encryptionKey.empty()) {
        PlistPtr key = newDict();
        dictSetData(key.get(), "NS.data", entry.encryptionKey);
        const uint64_t keyIndex = next++;
        plist_dict_set_item(key.get(), "$class", plist_new_uid(next++));
        plist_array_append_item(extra.get(), static_cast<plist_t>(key.release()));
        PlistPtr keyClass = newDict();
        PlistPtr classes = newArray();
        for (const char* name : {"NSMutableData", "NSData", "NSObject"})
            arrayAppendString(classes.get(), name);
        dictSetNode(keyClass.get(), "$classes", std::move(classes));
        dictSetString(keyClass.get(), "$classname", "NSMutableData");
        plist_array_append_item(extra.get(), static_cast<plist_t>(keyClass.release()));
        plist_dict_set_item(dict, "EncryptionKey", plist_new_uid(keyIndex));
    }
    dictSetUInt(dict, "Flags", 0);
    dictSetUInt(dict, "GroupID", signExtended(entry.groupId));
    dictSetUInt(dict, "InodeNumber", entry.inode);
    dictSetUInt(dict, "LastModified", signExtended(entry.lastModified));
    dictSetUInt(dict, "LastStatusChange", signExtended(entry.lastStatusChange));
    dictSetUInt(dict, "Mode", entry.mode);
    dictSetUInt(dict, "ProtectionClass", entry.protectionClass);
    plist_dict_set_item(dict, "RelativePath", plist_new_uid(2));
    dictSetUInt(dict, "Size", entry.size);
    if (!entry.target.empty())
        plist_dict_set_item(dict, "Target",
                            plist_new_uid(addObject(PlistPtr(plist_new_string(entry.target.c_str())))));
    dictSetUInt(dict, "UserID", signExtended(entry.userId));
    const uint64_t classIndex = next++;
    plist_dict_set_item(dict, "$class", plist_new_uid(classIndex));
    plist_array_append_item(objects.get(), file.release());
    arrayAppendString(objects.get(), entry.relativePath);
    for (uint32_t i = 0; i < plist_array_get_size(extra.get()); ++i)
        plist_array_append_item(objects.get(), plist_copy(plist_array_get_item(extra.get(), i)));
    PlistPtr mbClass = newDict();
    PlistPtr classes = newArray();
    arrayAppendString(classes.get(), "MBFile");
    arrayAppendString(classes.get(), "NSObject");
    dictSetNode(mbClass.get(), "$classes", std::move(classes));
    dictSetString(mbClass.get(), "$classname", "MBFile");
    plist_array_append_item(objects.get(), mbClass.release());

    PlistPtr archive = newDict();
    dictSetUInt(archive.get(), "$version", 100000);
    dictSetNode(archive.get(), "$objects", std::move(objects));
    dictSetString(archive.get(), "$archiver", "NSKeyedArchiver");
    PlistPtr top = newDict();
    plist_dict_set_item(top.get(), "root", plist_new_uid(1));
    dictSetNode(archive.get(), "$top", std::move(top));
    return plistToBytes(archive.get(), PlistFormat::Binary);
}

bool decodeMbFile(const std::string& archive, ManifestEntry& entry)
{
    PlistPtr root = plistFromBytes(archive);
    plist_t objects = dictItem(root.get(), "$objects", PLIST_ARRAY);
    plist_t top = dictItem(root.get(), "$top", PLIST_DICT);
    plist_t file = objects && top ? objectAt(objects, plist_dict_get_item(top, "root")) : nullptr;
    if (!file || plist_get_node_type(file) != PLIST_DICT)
        return false;
    auto number = [&](const char* key) { return dictUInt(file, key).value_or(0); };
    entry.mode = uint32_t(number("Mode") & 0xFFFF);
    entry.inode = number("InodeNumber");
    entry.userId = uint32_t(number("UserID"));
    entry.groupId = uint32_t(number("GroupID"));
    entry.lastModified = int64_t(number("LastModified"));
    entry.lastStatusChange = int64_t(number("LastStatusChange"));
    entry.birth = int64_t(number("Birth"));
    entry.size = number("Size");
    entry.protectionClass = uint8_t(number("ProtectionClass"));
    entry.target = nodeString(objectAt(objects, plist_dict_get_item(file, "Target"))).value_or("");
    entry.encryptionKey = dataOf(objectAt(objects, plist_dict_get_item(file, "EncryptionKey"))).value_or("");
    entry.digest = dataOf(objectAt(objects, plist_dict_get_item(file, "Digest"))).value_or("");
    return true;
}

uint8_t fileProtectionClass(const std::string& relativePath)
{
    const size_t slash = relativePath.rfind('/');
    const std::string name = slash == std::string::npos ? relativePath : relativePath.substr(slash + 1);
    for (const char* suffix : {".sqlite", ".sqlite-wal", ".sqlite-shm", ".db", ".db-wal", ".db-shm"}) {
        const size_t length = std::char_traits<char>::length(suffix);
        if (name.size() > length && name.compare(name.size() - length, length, suffix) == 0)
            return 4;
    }
    return 3;
}

bool isSafeRelativePath(const std::string& relativePath)
{
    if (relativePath.empty())
        return true; // the domain's own folder
    if (relativePath.size() > 4096 || relativePath[0] == '/' || relativePath.find('\0') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= relativePath.size()) {
        const size_t end = std::min(relativePath.find('/', start), relativePath.size());
        const std::string part = relativePath.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace iphonesim
