#include "jobs/OnlineRemoteOptions.h"

#include "device/RemoteSystemMode.h"
#include "online/RemoteOptions.h"

#include <memory>

namespace {

// The device layer asks through its own small interface; the online layer answers.
class OnlineRemoteOptionsService final : public RemoteOptionsService
{
public:
    std::optional<int> systemMode() override { return RemoteOptions::program().systemMode(); }
};

} // namespace

void useOnlineRemoteOptions()
{
    DeviceRemoteOptions::setService(std::make_shared<OnlineRemoteOptionsService>());
}
