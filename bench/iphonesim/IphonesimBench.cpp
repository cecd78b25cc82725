// How fast the simulated iPhone streams a backup to a host on libimobiledevice (data thrown away on the
// host, so the device side and the transport are measured).
#include "DeviceGenerator.h"
#include "DeviceKeys.h"
#include "Mb2TestHost.h"
#include "Simulator.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

// One simulator with one generated device, kept for all iterations of a benchmark.
class BenchDevice
{
public:
    BenchDevice(uint64_t files, uint64_t bytes, bool encrypted = false)
    {
        m_folder = fs::temp_directory_path() / ("iphonesim-bench-" + randomUuid());
        fs::create_directories(m_folder);
        GeneratorOptions options;
        options.otherFiles = files;
        options.otherBytes = bytes;
        options.userApps = 4;
        options.lineFiles = 10;
        options.lineBytes = 1 << 20;
        if (encrypted) {
            options.settings.willEncrypt = true;
            options.settings.backupPassword = "bench";
            options.settings.keybagIterations = 10;
            options.settings.keybagDataProtectionIterations = 10;
        }
        generateDevice((m_folder / "device").string(), options);
        // Read once, so the page cache holds the files as it would after the first backup.
        std::vector<char> buffer(1 << 20);
        for (const auto& entry : fs::recursive_directory_iterator(m_folder / "device" / "files"))
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                while (in.read(buffer.data(), std::streamsize(buffer.size())))
                    ;
            }
        SimulatorOptions simulatorOptions;
        simulatorOptions.muxSocketPath = (m_folder / "mux.sock").string();
        m_simulator = std::make_unique<Simulator>(simulatorOptions);
        m_simulator->start();
        m_udid = m_simulator->attach((m_folder / "device").string());
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + simulatorOptions.muxSocketPath).c_str(), 1);
    }

    ~BenchDevice()
    {
        m_simulator->stop();
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    const std::string& udid() const { return m_udid; }

private:
    fs::path m_folder;
    std::unique_ptr<Simulator> m_simulator;
    std::string m_udid;
};

void runBackups(benchmark::State& state, BenchDevice& device)
{
    Mb2TestHost host(device.udid(), "");
    uint64_t bytes = 0;
    uint64_t files = 0;
    for (auto _ : state) {
        const TestHostResult result = host.backup(true);
        if (!result.finished || result.errorCode != 0) {
            state.SkipWithError("the backup failed");
            return;
        }
        bytes += result.bytesReceived;
        files += result.filesReceived;
    }
    state.SetBytesProcessed(int64_t(bytes));
    state.counters["files/s"] = benchmark::Counter(double(files), benchmark::Counter::kIsRate);
}

// A few large files: the streaming rate of file data.
void BM_BackupLargeFiles(benchmark::State& state)
{
    static BenchDevice device(8, 1ull << 30);
    runBackups(state, device);
}
BENCHMARK(BM_BackupLargeFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// The same with backup encryption on: every file is encrypted (AES-256-CBC) while it streams.
void BM_EncryptedBackupLargeFiles(benchmark::State& state)
{
    static BenchDevice device(8, 1ull << 30, true);
    runBackups(state, device);
}
BENCHMARK(BM_EncryptedBackupLargeFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// Many small files: the cost per file (scan, manifest, names, moves).
void BM_BackupManySmallFiles(benchmark::State& state)
{
    static BenchDevice device(20000, 80ull << 20);
    runBackups(state, device);
}
BENCHMARK(BM_BackupManySmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

} // namespace

BENCHMARK_MAIN();
