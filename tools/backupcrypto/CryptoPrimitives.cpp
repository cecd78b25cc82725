#include "CryptoPrimitives.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace backupcrypto {

namespace {

struct ContextFree
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;

const unsigned char* bytesOf(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

unsigned char* bytesOf(std::string& text)
{
    return reinterpret_cast<unsigned char*>(text.data());
}

std::string pbkdf2(std::string_view password, std::string_view salt, uint32_t iterations, size_t length,
                   const EVP_MD* digest)
{
    if (iterations == 0 || iterations > uint32_t(INT32_MAX) || length == 0 || length > 1024)
        throw CryptoError("PBKDF2: iteration count or key length out of range");
    std::string key(length, '\0');
    if (PKCS5_PBKDF2_HMAC(password.data(), int(password.size()), bytesOf(salt), int(salt.size()),
                          int(iterations), digest, int(length), bytesOf(key)) != 1)
        throw CryptoError("PBKDF2 failed");
    return key;
}

const EVP_CIPHER* wrapCipher(size_t keyLength)
{
    switch (keyLength) {
    case 16:
        return EVP_aes_128_wrap();
    case 24:
        return EVP_aes_192_wrap();
    case 32:
        return EVP_aes_256_wrap();
    default:
        return nullptr;
    }
}

const EVP_CIPHER* cbcCipher(size_t keyLength)
{
    switch (keyLength) {
    case 16:
        return EVP_aes_128_cbc();
    case 24:
        return EVP_aes_192_cbc();
    case 32:
        return EVP_aes_256_cbc();
    default:
        return nullptr;
    }
}

Context newContext(const EVP_CIPHER* cipher, std::string_view key, std::string_view iv, bool encrypt)
{
    Context context(EVP_CIPHER_CTX_new());
    if (!context)
        throw CryptoError("no cipher context");
    EVP_CIPHER_CTX_set_flags(context.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    if (EVP_CipherInit_ex(context.get(), cipher, nullptr, bytesOf(key), iv.empty() ? nullptr : bytesOf(iv),
                          encrypt ? 1 : 0) != 1)
        throw CryptoError("cipher initialisation failed");
    return context;
}

// Runs a whole input through a cipher; nothing when update or final refuses it.
std::optional<std::string> runCipher(EVP_CIPHER_CTX* context, std::string_view input)
{
    std::string output(input.size() + 2 * EVP_MAX_BLOCK_LENGTH, '\0');
    int length = 0;
    int last = 0;
    if (EVP_CipherUpdate(context, bytesOf(output), &length, bytesOf(input), int(input.size())) != 1)
        return std::nullopt;
    if (EVP_CipherFinal_ex(context, bytesOf(output) + length, &last) != 1)
        return std::nullopt;
    output.resize(size_t(length) + size_t(last));
    return output;
}

} // namespace

std::string pbkdf2Sha1(std::string_view password, std::string_view salt, uint32_t iterations, size_t length)
{
    return pbkdf2(password, salt, iterations, length, EVP_sha1());
}

std::string pbkdf2Sha256(std::string_view password, std::string_view salt, uint32_t iterations, size_t length)
{
    return pbkdf2(password, salt, iterations, length, EVP_sha256());
}

std::string wrapKey(std::string_view keyEncryptionKey, std::string_view key)
{
    const EVP_CIPHER* cipher = wrapCipher(keyEncryptionKey.size());
    if (!cipher || key.size() < 16 || key.size() % 8 != 0 || key.size() > 4096)
        throw CryptoError("key wrap needs a 16, 24 or 32-byte key and whole 8-byte blocks");
    Context context = newContext(cipher, keyEncryptionKey, {}, true);
    auto wrapped = runCipher(context.get(), key);
    if (!wrapped)
        throw CryptoError("key wrap failed");
    return *wrapped;
}

std::optional<std::string> unwrapKey(std::string_view keyEncryptionKey, std::string_view wrapped)
{
    const EVP_CIPHER* cipher = wrapCipher(keyEncryptionKey.size());
    if (!cipher || wrapped.size() < 24 || wrapped.size() % 8 != 0 || wrapped.size() > 4096)
        return std::nullopt;
    Context context = newContext(cipher, keyEncryptionKey, {}, false);
    return runCipher(context.get(), wrapped);
}

std::string cbcEncrypt(std::string_view key, std::string_view iv, std::string_view plain)
{
    const EVP_CIPHER* cipher = cbcCipher(key.size());
    if (!cipher || iv.size() != 16)
        throw CryptoError("AES-CBC needs a 16, 24 or 32-byte key and a 16-byte IV");
    Context context = newContext(cipher, key, iv, true);
    auto encrypted = runCipher(context.get(), plain);
    if (!encrypted)
        throw CryptoError("encryption failed");
    return *encrypted;
}

std::optional<std::string> cbcDecrypt(std::string_view key, std::string_view iv, std::string_view cipherText)
{
    const EVP_CIPHER* cipher = cbcCipher(key.size());
    if (!cipher || iv.size() != 16)
        throw CryptoError("AES-CBC needs a 16, 24 or 32-byte key and a 16-byte IV");
    Context context = newContext(cipher, key, iv, false);
    return runCipher(context.get(), cipherText);
}

std::string sha1(std::string_view bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha1(), nullptr) != 1)
        throw CryptoError("SHA-1 failed");
    return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string randomBytes(size_t count)
{
    std::string bytes(count, '\0');
    if (count > 0 && RAND_bytes(bytesOf(bytes), int(count)) != 1)
        throw CryptoError("no random bytes");
    return bytes;
}

std::string classPrefix(uint32_t protectionClass)
{
    std::string prefix(4, '\0');
    for (int i = 0; i < 4; ++i)
        prefix[size_t(i)] = char((protectionClass >> (8 * i)) & 0xFF);
    return prefix;
}

std::optional<uint32_t> prefixClass(std::string_view wrappedWithPrefix)
{
    if (wrappedWithPrefix.size() < 4)
        return std::nullopt;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | uint8_t(wrappedWithPrefix[size_t(i)]);
    return value;
}

} // namespace backupcrypto
