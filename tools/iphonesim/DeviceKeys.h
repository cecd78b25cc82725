#pragma once

#include "OpenSslHandles.h"

#include <string>
#include <string_view>

namespace iphonesim {

// The device's own RSA key pair, kept as device-key.pem in the device folder. Its public half is what
// lockdownd reports as DevicePublicKey ("RSA PUBLIC KEY" PEM); the host makes the DeviceCertificate from it.
class DeviceKeys
{
public:
    // Loads the key, or creates and saves a new 2048-bit key when the file does not exist.
    static DeviceKeys loadOrCreate(const std::string& path);

    EVP_PKEY* key() const { return m_key.get(); }
    const std::string& publicKeyPem() const { return m_publicKeyPem; }

private:
    EvpPkeyPtr m_key;
    std::string m_publicKeyPem;
};

// A certificate from PEM bytes; null when they do not hold one.
X509Ptr certificateFromPem(std::string_view pem);
// True when the certificate carries this public key.
bool certificateMatchesKey(X509* certificate, EVP_PKEY* key);
// DER encodings compare equal.
bool sameCertificate(X509* left, X509* right);
// Random bytes from OpenSSL's generator.
std::string randomBytes(size_t count);
// A random UUID in upper-case canonical form.
std::string randomUuid();

} // namespace iphonesim
