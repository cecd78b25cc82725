#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// Byte strings hold keys, salts and ciphertexts; every function works on whole values in memory.
namespace backupcrypto {

// OpenSSL refused an operation (not a wrong key: those give empty results).
class CryptoError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// PBKDF2-HMAC-SHA1 and PBKDF2-HMAC-SHA256.
std::string pbkdf2Sha1(std::string_view password, std::string_view salt, uint32_t iterations, size_t length);
std::string pbkdf2Sha256(std::string_view password, std::string_view salt, uint32_t iterations,
                         size_t length);

// RFC 3394 AES key wrap with the default initial value; the key length (16, 24 or 32 bytes) chooses AES-128,
// -192 or -256. The wrapped key is 8 bytes longer than the key.
std::string wrapKey(std::string_view keyEncryptionKey, std::string_view key);
// The key, or nothing when the integrity check fails (a wrong key) or the input is not whole 8-byte blocks.
std::optional<std::string> unwrapKey(std::string_view keyEncryptionKey, std::string_view wrapped);

// AES-CBC with block padding between in-memory bytes; the key length chooses the AES variant.
std::string cbcEncrypt(std::string_view key, std::string_view iv, std::string_view plain);
// Nothing when the padding is wrong (a wrong key or damaged data).
std::optional<std::string> cbcDecrypt(std::string_view key, std::string_view iv, std::string_view cipher);

std::string sha1(std::string_view bytes);
// Bytes from OpenSSL's generator.
std::string randomBytes(size_t count);

// The 4-byte little-endian protection class in front of wrapped keys in Manifest.plist and MBFile records.
std::string classPrefix(uint32_t protectionClass);
// The class named by such a prefix; nothing when fewer than 4 bytes.
std::optional<uint32_t> prefixClass(std::string_view wrappedWithPrefix);

} // namespace backupcrypto
