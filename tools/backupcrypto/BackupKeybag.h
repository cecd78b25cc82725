#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace backupcrypto {

// The keybag of an encrypted backup ("BackupKeyBag" in Manifest.plist), as devices write it: VERS, TYPE,
// UUID, HMCK, WRAP, SALT, ITER, [DPWT, DPIC, DPSL], then per class UUID, CLAS, WRAP, KTYP, WPKY. Class keys
// are wrapped (RFC 3394) under the passcode key: PBKDF2-HMAC-SHA256 over DPSL/DPIC when present, then
// PBKDF2-HMAC-SHA1 over SALT/ITER.
struct BackupKeybag
{
    struct ClassKey
    {
        std::string uuid;       // 16 bytes
        uint32_t wrap = 2;      // 2: wrapped under the passcode key
        uint32_t keyType = 0;   // KTYP
        std::string wrappedKey; // WPKY, 40 bytes
    };

    std::string uuid;        // 16 bytes
    std::string hmacKey;     // HMCK, 40 bytes (empty: a fixed filler)
    std::string salt;        // 20 bytes
    uint32_t iterations = 0; // ITER
    bool dataProtectionKdf = false;
    std::string dataProtectionSalt; // DPSL, 20 bytes
    uint32_t dataProtectionIterations = 0;
    std::map<uint32_t, ClassKey> classKeys;

    // Largest ITER and DPIC accepted from outside: a keybag must not keep its reader busy for hours.
    static constexpr uint32_t kMaxIterations = 20'000'000;

    std::string passcodeKey(std::string_view password) const;
    std::string serialize() const;
    // Reads the bytes of a keybag; nothing when they are damaged (a truncated item, a missing SALT or ITER,
    // an integer item shorter than 4 bytes, iteration counts above kMaxIterations).
    static std::optional<BackupKeybag> parse(std::string_view bytes);

    // A new keybag for password: fresh salts and UUIDs, the given class keys wrapped under the passcode key.
    static BackupKeybag create(std::string_view password, const std::map<uint32_t, std::string>& classKeys,
                               uint32_t iterations, uint32_t dataProtectionIterations);
    // The class keys unwrapped under password; nothing for a wrong password.
    std::optional<std::map<uint32_t, std::string>> unlock(std::string_view password) const;

    // One item: 4-byte tag, 4-byte big-endian length, value.
    static std::string item(const char* tag, std::string_view value);
    static std::string integer(uint32_t value);
};

} // namespace backupcrypto
