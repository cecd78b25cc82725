#include "Simulator.h"

#include "ControlChannel.h"
#include "ControlServer.h"
#include "DeviceRegistry.h"
#include "HostPairStore.h"
#include "MuxServer.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"

#include <csignal>
#include <filesystem>

namespace iphonesim {

Simulator::Simulator(SimulatorOptions options) : m_options(std::move(options))
{
    if (m_options.muxSocketPath.empty())
        throw SimError("no usbmuxd socket path given");
    if (m_options.pairRecordFolder.empty())
        m_options.pairRecordFolder =
            (std::filesystem::path(m_options.muxSocketPath).parent_path() / "lockdown").string();
    m_registry = std::make_unique<DeviceRegistry>();
    m_pairStore = std::make_unique<HostPairStore>(m_options.pairRecordFolder);
    m_options.services.rebootDevice = [this](const std::string& udid) { reboot(udid); };
}

Simulator::~Simulator()
{
    stop();
}

void Simulator::start()
{
    // Writes to a client that went away must fail with EPIPE, not end the process (TLS writes use plain
    // write(2) underneath).
    std::signal(SIGPIPE, SIG_IGN);
    m_mux =
        std::make_unique<MuxServer>(m_options.muxSocketPath, *m_registry, *m_pairStore, m_options.services);
    m_mux->start();
    if (!m_options.controlSocketPath.empty()) {
        m_control = std::make_unique<ControlServer>(m_options.controlSocketPath, *this);
        m_control->start();
    }
    std::lock_guard lock(m_mutex);
    m_started = true;
}

void Simulator::stop()
{
    std::list<std::thread> reboots;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_stopping = true;
        reboots.swap(m_rebootThreads);
    }
    m_changed.notify_all();
    for (std::thread& thread : reboots)
        thread.join();
    if (m_control)
        m_control->stop();
    m_registry->detachAll();
    if (m_mux)
        m_mux->stop();
}

std::string Simulator::attach(const std::string& deviceFolder)
{
    std::shared_ptr<SimDevice> device = SimDevice::open(deviceFolder);
    m_registry->attach(device);
    signalChange();
    return device->udid();
}

bool Simulator::detach(const std::string& udid)
{
    const bool detached = m_registry->detach(udid);
    signalChange();
    return detached;
}

std::shared_ptr<SimDevice> Simulator::device(const std::string& udid) const
{
    const auto attached = m_registry->byUdid(udid);
    return attached ? attached->device : nullptr;
}

std::vector<std::string> Simulator::attachedUdids() const
{
    std::vector<std::string> udids;
    for (const AttachedDevice& device : m_registry->list())
        udids.push_back(device.device->udid());
    return udids;
}

bool Simulator::waitForAttached(const std::string& udid, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
        const auto underWay = m_rebootsUnderWay.find(udid);
        return m_registry->byUdid(udid).has_value() &&
               (underWay == m_rebootsUnderWay.end() || underWay->second == 0);
    });
}

std::string Simulator::command(const std::string& line)
{
    return runControlCommand(*this, line);
}

void Simulator::signalChange()
{
    // Waiters check the registry under m_mutex; taking it here keeps them from missing this change.
    {
        std::lock_guard lock(m_mutex);
    }
    m_changed.notify_all();
}

void Simulator::reboot(const std::string& udid)
{
    std::lock_guard lock(m_mutex);
    if (m_stopping)
        return;
    ++m_rebootsUnderWay[udid];
    m_rebootThreads.emplace_back([this, udid] {
        // However the reboot ends, waiters learn that it is over.
        struct Done
        {
            Simulator* simulator;
            const std::string& udid;
            ~Done()
            {
                {
                    std::lock_guard lock(simulator->m_mutex);
                    --simulator->m_rebootsUnderWay[udid];
                }
                simulator->m_changed.notify_all();
            }
        } done{this, udid};
        const auto attached = m_registry->byUdid(udid);
        if (!attached)
            return;
        std::shared_ptr<SimDevice> device = attached->device;
        // Let the conversation that asked for the reboot finish first.
        {
            std::unique_lock lock(m_mutex);
            if (m_changed.wait_for(lock, m_options.rebootDelay / 2, [&] { return m_stopping; }))
                return;
        }
        m_registry->detach(udid);
        signalChange();
        device->updateSettings([](DeviceSettings& settings) { settings.restorePendingReboot = false; });
        {
            std::unique_lock lock(m_mutex);
            if (m_changed.wait_for(lock, m_options.rebootDelay / 2, [&] { return m_stopping; }))
                return;
        }
        try {
            m_registry->attach(device);
        } catch (const SimError& error) {
            logError(error.what());
        }
        signalChange();
    });
}

} // namespace iphonesim
