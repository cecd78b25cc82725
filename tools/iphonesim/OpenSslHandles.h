#pragma once

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>

namespace iphonesim {

// RAII owners for the OpenSSL objects the simulator creates.
struct OpenSslFree
{
    void operator()(SSL_CTX* p) const { SSL_CTX_free(p); }
    void operator()(SSL* p) const { SSL_free(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
};

using SslCtxPtr = std::unique_ptr<SSL_CTX, OpenSslFree>;
using SslPtr = std::unique_ptr<SSL, OpenSslFree>;
using X509Ptr = std::unique_ptr<X509, OpenSslFree>;
using EvpPkeyPtr = std::unique_ptr<EVP_PKEY, OpenSslFree>;
using EvpPkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, OpenSslFree>;
using BioPtr = std::unique_ptr<BIO, OpenSslFree>;
using EvpMdCtxPtr = std::unique_ptr<EVP_MD_CTX, OpenSslFree>;

} // namespace iphonesim
