#pragma once

#include "DeviceGenerator.h"
#include "Simulator.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// A Debian tool's run against the simulator.
struct ToolRun
{
    int exitCode = -1;
    bool timedOut = false;
    QString output; // standard output and standard error together
};

// Small device contents that keep tests fast.
iphonesim::GeneratorOptions smallDeviceOptions(uint64_t seed = 7);

// Every test gets a simulator of its own on a socket in a temporary folder, with one generated device
// attached; the simulator is stopped (connections cut, threads joined, socket removed) after the test.
class SimulatorTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Generates a device folder below the test's folder.
    std::string makeDevice(const std::string& name, const iphonesim::GeneratorOptions& options);
    // Runs a program with USBMUXD_SOCKET_ADDRESS pointing at the simulator; kills it after the timeout.
    ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs = 120000);
    // A control command that must succeed.
    std::string control(const std::string& command);
    std::string path(const std::string& relative) const;
    std::string socketPath() const { return path("mux.sock"); }
    std::string pairRecordFolder() const { return path("lockdown"); }
    std::string deviceFile(const std::string& domain, const std::string& relativePath) const;

    virtual iphonesim::GeneratorOptions deviceOptions() const { return smallDeviceOptions(); }
    virtual void adjustOptions(iphonesim::SimulatorOptions&) const {}

    QTemporaryDir m_temp;
    std::unique_ptr<iphonesim::Simulator> m_simulator;
    std::string m_deviceFolder;
    std::string m_udid;
};

std::string readWholeFile(const std::string& path);
// "<xx>/<file id>" of a domain file inside a backup folder.
std::string backupContentPathFor(const std::string& domain, const std::string& relativePath);
void writeWholeFile(const std::string& path, const std::string& bytes);

// Checks a backup folder against the device folder: every device file is listed in Manifest.db with the
// right domain and path, and its content file matches. Returns an empty text or the first difference.
std::string compareBackupWithDevice(const std::string& backupFolder, const std::string& deviceFolder);
