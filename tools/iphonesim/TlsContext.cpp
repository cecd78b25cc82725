#include "TlsContext.h"

#include "DeviceKeys.h"
#include "SimError.h"

namespace iphonesim {

namespace {

int acceptAnyClientCertificate(int, X509_STORE_CTX*)
{
    // The client certificate is compared with the pairing record after the handshake.
    return 1;
}

} // namespace

SslCtxPtr makeLockdownTlsContext(const std::string& deviceCertificatePem, EVP_PKEY* deviceKey)
{
    X509Ptr certificate = certificateFromPem(deviceCertificatePem);
    if (!certificate)
        throw SimError("the pairing record has no usable DeviceCertificate");
    if (!certificateMatchesKey(certificate.get(), deviceKey))
        throw SimError("the DeviceCertificate was not made for this device's key");
    SslCtxPtr context(SSL_CTX_new(TLS_server_method()));
    if (!context)
        throw SimError("cannot create a TLS context");
    SSL_CTX_set_security_level(context.get(), 0);
    SSL_CTX_set_min_proto_version(context.get(), TLS1_VERSION);
    // No session tickets: the client never resumes, and the session ends in the middle of the stream.
    SSL_CTX_set_num_tickets(context.get(), 0);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, acceptAnyClientCertificate);
    if (SSL_CTX_use_certificate(context.get(), certificate.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context.get(), deviceKey) != 1 ||
        SSL_CTX_check_private_key(context.get()) != 1)
        throw SimError("cannot load the device certificate into the TLS context");
    return context;
}

} // namespace iphonesim
