#include "ControlChannel.h"

#include "SimDevice.h"
#include "SimError.h"
#include "SimStream.h"
#include "Simulator.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>

namespace iphonesim {

namespace {

constexpr size_t kMaxLine = 64 * 1024;

std::string joinWords(const std::vector<std::string>& words, const std::string& separator)
{
    std::string text;
    for (size_t i = 0; i < words.size(); ++i)
        text += (i ? separator : "") + words[i];
    return text;
}

std::string runOnDevice(Simulator& simulator, const std::vector<std::string>& words)
{
    const std::string& verb = words[0];
    if (words.size() < 2)
        return "ERR usage: " + verb + " <udid> ...";
    const std::string& udid = words[1];
    std::shared_ptr<SimDevice> device = simulator.device(udid);
    if (!device)
        return "ERR no attached device " + udid;
    const std::vector<std::string> rest(words.begin() + 2, words.end());
    if (verb == "detach") {
        simulator.detach(udid);
        return "OK";
    }
    if (verb == "reboot") {
        simulator.reboot(udid);
        return "OK";
    }
    if (verb == "trust") {
        const auto mode = rest.size() == 1 ? trustModeFromName(rest[0]) : std::nullopt;
        if (!mode)
            return "ERR usage: trust <udid> automatic|dialog|denied|locked";
        device->updateSettings([&](DeviceSettings& settings) { settings.trust = *mode; });
        return "OK";
    }
    if (verb == "accept" || verb == "deny") {
        const TrustMode mode = verb == "accept" ? TrustMode::Automatic : TrustMode::Denied;
        device->updateSettings([&](DeviceSettings& settings) { settings.trust = mode; });
        return "OK";
    }
    if (verb == "untrust") {
        device->withPairings([](DevicePairings& pairings) { pairings.removeAll(); });
        return "OK";
    }
    if (verb == "pairings") {
        return "OK " +
               joinWords(device->withPairings([](DevicePairings& pairings) { return pairings.hostIds(); }),
                         ",");
    }
    if (verb == "set") {
        if (rest.size() != 2)
            return "ERR usage: set <udid> <setting> <value>";
        bool accepted = false;
        device->updateSettings([&](DeviceSettings& settings) { accepted = settings.set(rest[0], rest[1]); });
        return accepted ? "OK" : "ERR unknown setting or value: " + rest[0] + " " + rest[1];
    }
    if (verb == "fault") {
        if (rest.size() == 1 && rest[0] == "clear") {
            device->faults().clear();
            return "OK";
        }
        std::string error;
        const auto fault = parseFault(rest, &error);
        if (!fault)
            return "ERR " + error;
        device->faults().arm(*fault);
        return "OK";
    }
    if (verb == "passcode") {
        if (!rest.empty())
            return "ERR usage: passcode <udid>";
        device->enterPasscode();
        return "OK";
    }
    if (verb == "notify") {
        if (rest.size() != 1)
            return "ERR usage: notify <udid> <name>";
        device->notifications().post(rest[0]);
        return "OK";
    }
    return "ERR unknown command " + verb;
}

} // namespace

std::vector<std::string> splitControlWords(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t' || c == '\r' || c == '\n') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::string runControlCommand(Simulator& simulator, const std::string& line)
{
    const std::vector<std::string> words = splitControlWords(line);
    if (words.empty())
        return "ERR empty command";
    const std::string& verb = words[0];
    try {
        if (verb == "help")
            return "OK list attach detach reboot trust accept deny untrust pairings set fault passcode "
                   "notify";
        if (verb == "list")
            return "OK " + joinWords(simulator.attachedUdids(), ",");
        if (verb == "attach") {
            if (words.size() != 2)
                return "ERR usage: attach <device folder>";
            return "OK " + simulator.attach(words[1]);
        }
        return runOnDevice(simulator, words);
    } catch (const std::exception& failure) {
        return std::string("ERR ") + failure.what();
    }
}

std::string sendControlCommand(const std::string& socketPath, const std::string& line)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        throw SimError("socket path too long: " + socketPath);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    FdHandle fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid() || ::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw SimError("cannot connect to " + socketPath + ": " + std::strerror(errno));
    SimStream stream(std::move(fd));
    stream.writeAll(line + "\n");
    std::string reply;
    for (;;) {
        char c = 0;
        stream.readExact(&c, 1);
        if (c == '\n')
            return reply;
        if (reply.size() >= kMaxLine)
            throw SimError("control reply too long");
        reply += c;
    }
}

} // namespace iphonesim
