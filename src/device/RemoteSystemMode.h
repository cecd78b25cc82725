#pragma once

#include <memory>
#include <optional>

// The vendor's options service, asked whether restores run in the reduced "system mode". The online layer
// provides it (an adapter over its remote options); without one the answer is no.
class RemoteOptionsService
{
public:
    virtual ~RemoteOptionsService();
    // The service's "system_mode" (0 when it gave none), or nothing when it could not be asked or did not
    // answer with a JSON object.
    virtual std::optional<int> systemMode() = 0;
};

namespace DeviceRemoteOptions {

// Installs the service (null: none) and forgets the remembered answer.
void setService(std::shared_ptr<RemoteOptionsService> service);

// Whether restores leave out system files and use the compact options (remoteSystemMode). The first
// answer of the service is kept for the program's lifetime; a failed request is asked again next time.
// No service: false.
bool systemMode();

} // namespace DeviceRemoteOptions
