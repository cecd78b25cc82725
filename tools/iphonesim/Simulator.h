#pragma once

#include "DeviceServices.h"

#include <chrono>
#include <condition_variable>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace iphonesim {

class ControlServer;
class DeviceRegistry;
class HostPairStore;
class MuxServer;
class SimDevice;

struct SimulatorOptions
{
    // usbmuxd's socket; clients reach it with USBMUXD_SOCKET_ADDRESS=UNIX:<path>.
    std::string muxSocketPath;
    // The computer's pair records (usbmuxd's lockdown folder); default: "lockdown" beside the socket.
    std::string pairRecordFolder;
    // Optional control socket taking the commands of Simulator::command, one per line.
    std::string controlSocketPath;
    ServiceOptions services;
    // A simulated reboot keeps the device detached this long.
    std::chrono::milliseconds rebootDelay{300};
};

// usbmuxd with simulated iPhones behind it, in this process. Tests start one per socket:
//
//     iphonesim::SimulatorOptions options;
//     options.muxSocketPath = dir + "/usbmuxd.sock";
//     iphonesim::Simulator simulator(options);
//     simulator.start();
//     const std::string udid = simulator.attach(deviceFolder);
//     ... run clients with USBMUXD_SOCKET_ADDRESS=UNIX:<socket> ...
//     simulator.stop(); // or the destructor: every connection is cut and every thread joined
class Simulator
{
public:
    explicit Simulator(SimulatorOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Binds the sockets and starts serving; throws SimError.
    void start();
    // Cuts every connection, joins every thread and removes the sockets. Safe to call twice.
    void stop();

    // Loads a device folder and plugs the device in; returns its UDID. Throws SimError.
    std::string attach(const std::string& deviceFolder);
    bool detach(const std::string& udid);
    std::shared_ptr<SimDevice> device(const std::string& udid) const;
    std::vector<std::string> attachedUdids() const;
    // Waits until the device is attached and no reboot of it is under way (a restore's reboot starts a
    // moment after the restore answered, while the device still looks attached).
    bool waitForAttached(const std::string& udid, std::chrono::milliseconds timeout) const;

    // Runs one control command and returns its one-line reply ("OK ..." or "ERR ..."). See ControlChannel.h.
    std::string command(const std::string& line);

    // Detaches the device and attaches it again after the reboot delay (what a restore asks for).
    void reboot(const std::string& udid);

    const SimulatorOptions& options() const { return m_options; }
    HostPairStore& hostPairs() { return *m_pairStore; }

private:
    void signalChange();

    SimulatorOptions m_options;
    std::unique_ptr<DeviceRegistry> m_registry;
    std::unique_ptr<HostPairStore> m_pairStore;
    std::unique_ptr<MuxServer> m_mux;
    std::unique_ptr<ControlServer> m_control;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::list<std::thread> m_rebootThreads;
    std::map<std::string, int> m_rebootsUnderWay;
    bool m_stopping = false;
    bool m_started = false;
};

} // namespace iphonesim
