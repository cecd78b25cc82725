#include "DeviceKeys.h"

#include "AtomicFile.h"
#include "SimError.h"

#include <openssl/encoder.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <sys/stat.h>

namespace iphonesim {

namespace {

std::string bioText(BIO* bio)
{
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return length > 0 ? std::string(data, size_t(length)) : std::string();
}

// PKCS#1 "RSA PUBLIC KEY" PEM, the form lockdownd hands out and libimobiledevice parses.
std::string pkcs1PublicKeyPem(EVP_PKEY* key)
{
    OSSL_ENCODER_CTX* encoder =
        OSSL_ENCODER_CTX_new_for_pkey(key, EVP_PKEY_PUBLIC_KEY, "PEM", "type-specific", nullptr);
    if (!encoder)
        throw SimError("cannot encode the device public key");
    unsigned char* data = nullptr;
    size_t length = 0;
    const int ok = OSSL_ENCODER_to_data(encoder, &data, &length);
    OSSL_ENCODER_CTX_free(encoder);
    if (ok != 1 || !data)
        throw SimError("cannot encode the device public key");
    std::string pem(reinterpret_cast<char*>(data), length);
    OPENSSL_free(data);
    return pem;
}

} // namespace

DeviceKeys DeviceKeys::loadOrCreate(const std::string& path)
{
    DeviceKeys keys;
    struct stat info = {};
    if (::stat(path.c_str(), &info) == 0) {
        const std::string pem = readSmallFile(path, 64 << 10);
        BioPtr bio(BIO_new_mem_buf(pem.data(), int(pem.size())));
        keys.m_key.reset(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
        if (!keys.m_key || EVP_PKEY_get_base_id(keys.m_key.get()) != EVP_PKEY_RSA)
            throw SimError(path + " does not hold an RSA private key");
    } else {
        keys.m_key.reset(EVP_RSA_gen(2048));
        if (!keys.m_key)
            throw SimError("cannot generate the device key");
        BioPtr bio(BIO_new(BIO_s_mem()));
        if (PEM_write_bio_PrivateKey(bio.get(), keys.m_key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
            throw SimError("cannot encode the device key");
        writeFileAtomically(path, bioText(bio.get()));
    }
    keys.m_publicKeyPem = pkcs1PublicKeyPem(keys.m_key.get());
    return keys;
}

X509Ptr certificateFromPem(std::string_view pem)
{
    if (pem.empty() || pem.size() > (1 << 20))
        return nullptr;
    BioPtr bio(BIO_new_mem_buf(pem.data(), int(pem.size())));
    return X509Ptr(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
}

bool certificateMatchesKey(X509* certificate, EVP_PKEY* key)
{
    EVP_PKEY* certificateKey = X509_get0_pubkey(certificate);
    return certificateKey && EVP_PKEY_eq(certificateKey, key) == 1;
}

bool sameCertificate(X509* left, X509* right)
{
    return left && right && X509_cmp(left, right) == 0;
}

std::string randomBytes(size_t count)
{
    std::string bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), int(count)) != 1)
        throw SimError("no random bytes");
    return bytes;
}

std::string randomUuid()
{
    std::string bytes = randomBytes(16);
    bytes[6] = char((bytes[6] & 0x0F) | 0x40);
    bytes[8] = char((bytes[8] & 0x3F) | 0x80);
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += digits[(unsigned char)bytes[i] >> 4];
        text += digits[(unsigned char)bytes[i] & 15];
    }
    return text;
}

} // namespace iphonesim
