#include "BackupKeybag.h"

#include "CryptoPrimitives.h"

namespace backupcrypto {

namespace {

uint32_t readInteger(std::string_view value)
{
    return (uint32_t(uint8_t(value[0])) << 24) | (uint32_t(uint8_t(value[1])) << 16) |
           (uint32_t(uint8_t(value[2])) << 8) | uint32_t(uint8_t(value[3]));
}

} // namespace

std::string BackupKeybag::integer(uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[size_t(i)] = char((value >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

std::string BackupKeybag::item(const char* tag, std::string_view value)
{
    return std::string(tag, 4) + integer(uint32_t(value.size())) + std::string(value);
}

std::string BackupKeybag::passcodeKey(std::string_view password) const
{
    if (dataProtectionKdf) {
        const std::string stretched =
            pbkdf2Sha256(password, dataProtectionSalt, dataProtectionIterations, 32);
        return pbkdf2Sha1(stretched, salt, iterations, 32);
    }
    return pbkdf2Sha1(password, salt, iterations, 32);
}

std::string BackupKeybag::serialize() const
{
    std::string bytes;
    bytes += item("VERS", integer(4));
    bytes += item("TYPE", integer(1)); // backup keybag
    bytes += item("UUID", uuid);
    bytes += item("HMCK", hmacKey.empty() ? std::string(40, '\x5a') : hmacKey);
    bytes += item("WRAP", integer(0));
    bytes += item("SALT", salt);
    bytes += item("ITER", integer(iterations));
    if (dataProtectionKdf) {
        bytes += item("DPWT", integer(1));
        bytes += item("DPIC", integer(dataProtectionIterations));
        bytes += item("DPSL", dataProtectionSalt);
    }
    for (const auto& [protectionClass, key] : classKeys) {
        bytes += item("UUID", key.uuid);
        bytes += item("CLAS", integer(protectionClass));
        bytes += item("WRAP", integer(key.wrap));
        bytes += item("KTYP", integer(key.keyType));
        bytes += item("WPKY", key.wrappedKey);
    }
    return bytes;
}

std::optional<BackupKeybag> BackupKeybag::parse(std::string_view bytes)
{
    BackupKeybag keybag;
    bool haveUuid = false;
    bool haveWrap = false;
    std::optional<uint32_t> iterations;
    std::optional<uint32_t> dataProtectionIterations;
    bool haveSalt = false;
    std::optional<ClassKey> current;
    std::optional<uint32_t> currentClass;
    auto store = [&] {
        if (current && currentClass)
            keybag.classKeys[*currentClass] = *current;
    };
    size_t offset = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 8)
            return std::nullopt;
        const std::string tag(bytes.substr(offset, 4));
        const uint32_t length = readInteger(bytes.substr(offset + 4, 4));
        offset += 8;
        if (length > bytes.size() - offset)
            return std::nullopt;
        const std::string_view value = bytes.substr(offset, length);
        offset += length;
        const bool classTag =
            tag == "CLAS" || tag == "WRAP" || tag == "WPKY" || tag == "KTYP" || tag == "PBKY";
        if ((tag == "CLAS" || tag == "WRAP" || tag == "KTYP" || tag == "ITER" || tag == "DPIC") && length < 4)
            return std::nullopt;
        if (tag == "UUID" && !haveUuid) {
            keybag.uuid = value;
            haveUuid = true;
        } else if (tag == "WRAP" && !haveWrap) {
            haveWrap = true; // the keybag's own wrapping, not a class key's
        } else if (tag == "UUID") {
            store();
            current = ClassKey{std::string(value), 0, 0, {}};
            currentClass.reset();
        } else if (classTag) {
            if (!current)
                current = ClassKey{{}, 0, 0, {}};
            if (tag == "CLAS")
                currentClass = readInteger(value);
            else if (tag == "WRAP")
                current->wrap = readInteger(value);
            else if (tag == "KTYP")
                current->keyType = readInteger(value);
            else if (tag == "WPKY")
                current->wrappedKey = value;
        } else if (tag == "SALT") {
            keybag.salt = value;
            haveSalt = true;
        } else if (tag == "ITER") {
            iterations = readInteger(value);
        } else if (tag == "DPIC") {
            dataProtectionIterations = readInteger(value);
        } else if (tag == "DPSL") {
            keybag.dataProtectionSalt = value;
        } else if (tag == "HMCK") {
            keybag.hmacKey = value;
        }
    }
    store();
    if (!haveSalt || !iterations || *iterations == 0 || *iterations > kMaxIterations)
        return std::nullopt;
    keybag.iterations = *iterations;
    if (dataProtectionIterations && !keybag.dataProtectionSalt.empty()) {
        if (*dataProtectionIterations == 0 || *dataProtectionIterations > kMaxIterations)
            return std::nullopt;
        keybag.dataProtectionKdf = true;
        keybag.dataProtectionIterations = *dataProtectionIterations;
    }
    return keybag;
}

BackupKeybag BackupKeybag::create(std::string_view password, const std::map<uint32_t, std::string>& classKeys,
                                  uint32_t iterations, uint32_t dataProtectionIterations)
{
    BackupKeybag keybag;
    keybag.uuid = randomBytes(16);
    keybag.hmacKey = randomBytes(40);
    keybag.salt = randomBytes(20);
    keybag.iterations = iterations;
    keybag.dataProtectionKdf = true;
    keybag.dataProtectionSalt = randomBytes(20);
    keybag.dataProtectionIterations = dataProtectionIterations;
    const std::string passcode = keybag.passcodeKey(password);
    for (const auto& [protectionClass, key] : classKeys)
        keybag.classKeys[protectionClass] = ClassKey{randomBytes(16), 2, 0, wrapKey(passcode, key)};
    return keybag;
}

std::optional<std::map<uint32_t, std::string>> BackupKeybag::unlock(std::string_view password) const
{
    const std::string passcode = passcodeKey(password);
    std::map<uint32_t, std::string> keys;
    for (const auto& [protectionClass, key] : classKeys) {
        if (!(key.wrap & 2) || key.wrappedKey.empty())
            continue; // not wrapped under the password (device-only classes)
        auto unwrapped = unwrapKey(passcode, key.wrappedKey);
        if (!unwrapped)
            return std::nullopt;
        keys[protectionClass] = std::move(*unwrapped);
    }
    return keys;
}

} // namespace backupcrypto
