// iphonesim: usbmuxd with simulated iPhones behind it, for testing device code against the real
// libimobiledevice. See README.md.
#include "ControlChannel.h"
#include "SimError.h"
#include "SimLog.h"
#include "Simulator.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace iphonesim;

namespace {

std::atomic<bool> g_quit{false};
int g_wakePipe[2] = {-1, -1};

void onSignal(int)
{
    g_quit = true;
    const char wake = 'q';
    [[maybe_unused]] const ssize_t ignored = ::write(g_wakePipe[1], &wake, 1);
}

void usage()
{
    std::puts(
        "usage:\n"
        "  iphonesim serve --socket PATH [--control PATH] [--pair-records DIR] [--device FOLDER]...\n"
        "                  [--stdin] [--block-size BYTES] [--page-size N] [--verbose|--debug]\n"
        "      Runs usbmuxd on PATH (clients: USBMUXD_SOCKET_ADDRESS=UNIX:PATH) with the devices\n"
        "      attached. With --stdin, control commands are read from standard input; \"quit\" ends.\n"
        "  iphonesim control --control PATH COMMAND...\n"
        "      Sends one control command to a running simulator and prints the reply.\n"
        "  iphonesim generate FOLDER [options]   (iphonesim generate --help)\n"
        "      Fills a device folder.\n"
        "\n"
        "control commands: help, list, attach, detach, reboot, trust, accept, deny, untrust, pairings,\n"
        "set, fault, passcode, notify (see tools/iphonesim/README.md).");
}

bool takeValue(int& i, int argc, char** argv, std::string& value)
{
    if (i + 1 >= argc) {
        std::fprintf(stderr, "iphonesim: %s needs a value\n", argv[i]);
        return false;
    }
    value = argv[++i];
    return true;
}

int serve(int argc, char** argv)
{
    SimulatorOptions options;
    std::vector<std::string> devices;
    bool readStdin = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == "--socket") {
            if (!takeValue(i, argc, argv, options.muxSocketPath))
                return 2;
        } else if (arg == "--control") {
            if (!takeValue(i, argc, argv, options.controlSocketPath))
                return 2;
        } else if (arg == "--pair-records") {
            if (!takeValue(i, argc, argv, options.pairRecordFolder))
                return 2;
        } else if (arg == "--device") {
            if (!takeValue(i, argc, argv, value))
                return 2;
            devices.push_back(value);
        } else if (arg == "--block-size" || arg == "--page-size") {
            if (!takeValue(i, argc, argv, value))
                return 2;
            const unsigned long number = std::strtoul(value.c_str(), nullptr, 10);
            if (number == 0 || number > (64ul << 20)) {
                std::fprintf(stderr, "iphonesim: bad %s\n", arg.c_str());
                return 2;
            }
            (arg == "--block-size" ? options.services.fileBlockSize : options.services.browsePageSize) =
                number;
        } else if (arg == "--stdin") {
            readStdin = true;
        } else if (arg == "--verbose") {
            setLogLevel(LogLevel::Info);
        } else if (arg == "--debug") {
            setLogLevel(LogLevel::Debug);
        } else {
            std::fprintf(stderr, "iphonesim: unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    if (options.muxSocketPath.empty()) {
        usage();
        return 2;
    }
    if (::pipe(g_wakePipe) != 0)
        return 1;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    Simulator simulator(options);
    simulator.start();
    for (const std::string& folder : devices)
        std::printf("attached %s\n", simulator.attach(folder).c_str());
    std::printf("ready %s\n", options.muxSocketPath.c_str());
    std::fflush(stdout);
    std::string line;
    while (!g_quit) {
        pollfd fds[2] = {{g_wakePipe[0], POLLIN, 0}, {readStdin ? 0 : -1, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (!fds[1].revents)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(0, buffer, sizeof buffer);
        if (got <= 0)
            break; // standard input closed: the controlling test is gone
        line.append(buffer, size_t(got));
        size_t end;
        while ((end = line.find('\n')) != std::string::npos) {
            const std::string command = line.substr(0, end);
            line.erase(0, end + 1);
            if (command == "quit") {
                g_quit = true;
                break;
            }
            std::printf("%s\n", simulator.command(command).c_str());
            std::fflush(stdout);
        }
    }
    simulator.stop();
    std::printf("stopped\n");
    return 0;
}

int control(int argc, char** argv)
{
    std::string socket;
    std::string command;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--control" && command.empty()) {
            if (!takeValue(i, argc, argv, socket))
                return 2;
        } else {
            const bool spaced = arg.find(' ') != std::string::npos;
            command += (command.empty() ? "" : " ") + (spaced ? "\"" + arg + "\"" : arg);
        }
    }
    if (socket.empty() || command.empty()) {
        usage();
        return 2;
    }
    const std::string reply = sendControlCommand(socket, command);
    std::printf("%s\n", reply.c_str());
    return reply.rfind("OK", 0) == 0 ? 0 : 1;
}

} // namespace

int runGenerate(int argc, char** argv);

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage();
        return 2;
    }
    const std::string verb = argv[1];
    try {
        if (verb == "serve")
            return serve(argc, argv);
        if (verb == "control")
            return control(argc, argv);
        if (verb == "generate")
            return runGenerate(argc, argv);
        if (verb == "--help" || verb == "help") {
            usage();
            return 0;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "iphonesim: %s\n", failure.what());
        return 1;
    }
    usage();
    return 2;
}
