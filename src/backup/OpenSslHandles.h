#pragma once

#include <openssl/evp.h>
#include <openssl/kdf.h>

#include <memory>

// Owners for OpenSSL handles, taken the moment a handle is created.
struct EvpCipherCtxFree
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using EvpCipherCtxPtr = std::unique_ptr<EVP_CIPHER_CTX, EvpCipherCtxFree>;

struct EvpKdfFree
{
    void operator()(EVP_KDF* kdf) const { EVP_KDF_free(kdf); }
};
using EvpKdfPtr = std::unique_ptr<EVP_KDF, EvpKdfFree>;

struct EvpKdfCtxFree
{
    void operator()(EVP_KDF_CTX* context) const { EVP_KDF_CTX_free(context); }
};
using EvpKdfCtxPtr = std::unique_ptr<EVP_KDF_CTX, EvpKdfCtxFree>;
