#pragma once

#include "OpenSslHandles.h"

#include <string>

namespace iphonesim {

// The TLS server context of a lockdownd session: the DeviceCertificate the host made for this device,
// the device's private key, and a request for the client's certificate (libimobiledevice presents the
// pairing's root certificate). Pairing certificates are SHA-1 signed, so the security level is 0, as on the
// client. Throws SimError when the certificate does not belong to the device key.
SslCtxPtr makeLockdownTlsContext(const std::string& deviceCertificatePem, EVP_PKEY* deviceKey);

} // namespace iphonesim
