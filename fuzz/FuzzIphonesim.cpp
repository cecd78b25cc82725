// The simulated iPhone's handling of what clients send: the first byte chooses the entry point, the rest is
// what the client writes on the connection (usbmuxd packets, lockdownd property lists, the DeviceLink
// messages and file streams of mobilebackup2, AFC and installation proxy requests), or for the last choice
// the bytes of a backup keybag and an MBFile archive. Whatever arrives, the device answers or drops the
// connection: no crash, no hang, no unbounded allocation.
#include "BackupKeybag.h"
#include "DeviceGenerator.h"
#include "DeviceRegistry.h"
#include "DeviceServices.h"
#include "HostPairStore.h"
#include "ManifestEntry.h"
#include "MuxSession.h"
#include "SimDevice.h"
#include "SimStream.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

using namespace iphonesim;

namespace {

// One small device, made once for the whole run.
struct FuzzWorld
{
    std::string folder;
    std::shared_ptr<SimDevice> device;
    DeviceSettings pristineSettings;
    DeviceRegistry registry;
    std::unique_ptr<HostPairStore> pairStore;
    ServiceOptions options;
};

FuzzWorld* world = nullptr;

// The client's end: writes the input, then reads (and drops) every answer until the device hangs up.
void playClient(int fd, std::string input)
{
    size_t offset = 0;
    while (offset < input.size()) {
        const ssize_t written = ::send(fd, input.data() + offset, input.size() - offset, MSG_NOSIGNAL);
        if (written <= 0)
            break;
        offset += size_t(written);
    }
    ::shutdown(fd, SHUT_WR);
    char buffer[65536];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
    ::close(fd);
}

void parseBytes(const std::string& bytes)
{
    if (const auto keybag = backupcrypto::BackupKeybag::parse(bytes)) {
        // Key derivation only with small counts: the parser itself bounds them for real use.
        if (keybag->iterations <= 16 &&
            (!keybag->dataProtectionKdf || keybag->dataProtectionIterations <= 16))
            (void)keybag->unlock("password");
    }
    ManifestEntry entry;
    (void)decodeMbFile(bytes, entry);
    (void)isSafeRelativePath(bytes);
}

// The device folder goes when the run ends.
void removeWorld()
{
    if (!world)
        return;
    world->device.reset();
    std::error_code ignored;
    std::filesystem::remove_all(world->folder, ignored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // TLS writes to a client that went away must fail, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    char pattern[] = "/tmp/fuzz-iphonesim-XXXXXX";
    if (!::mkdtemp(pattern))
        std::abort();
    world = new FuzzWorld();
    world->folder = pattern;
    std::atexit(removeWorld);
    GeneratorOptions options;
    options.userApps = 1;
    options.systemApps = 1;
    options.otherFiles = 4;
    options.otherBytes = 4096;
    options.lineFiles = 2;
    options.lineBytes = 1024;
    options.settings.keybagIterations = 1;
    options.settings.keybagDataProtectionIterations = 1;
    generateDevice(world->folder + "/device", options);
    world->device = SimDevice::open(world->folder + "/device");
    world->pristineSettings = world->device->settings();
    world->registry.attach(world->device);
    world->pairStore = std::make_unique<HostPairStore>(world->folder + "/lockdown");
    world->options.receiveTimeoutSeconds = 2;
    world->options.fileBlockSize = 4096;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1u << 20))
        return 0;
    const uint8_t choice = data[0] % 6;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (choice == 5) {
        parseBytes(input);
        return 0;
    }
    // Every input meets the device as it was made (a ChangePassword of an earlier input is undone).
    world->device->updateSettings([](DeviceSettings& settings) { settings = world->pristineSettings; });

    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        std::abort();
    std::thread client(playClient, fds[1], input);
    {
        SimStream stream{FdHandle(fds[0])};
        try {
            switch (choice) {
            case 0:
                MuxSession(stream, world->registry, *world->pairStore, world->options).run();
                break;
            case 1:
                serveDeviceConnection(world->device, kLockdownServiceName, stream, world->options);
                break;
            case 2:
                serveDeviceConnection(world->device, "com.apple.mobilebackup2", stream, world->options);
                break;
            case 3:
                serveDeviceConnection(world->device, "com.apple.afc", stream, world->options);
                break;
            default:
                serveDeviceConnection(world->device, "com.apple.mobile.installation_proxy", stream,
                                      world->options);
                break;
            }
        } catch (const std::exception&) {
            // The device dropped the connection, as it does for anything it cannot take.
        }
        stream.abort();
    }
    client.join();
    return 0;
}
