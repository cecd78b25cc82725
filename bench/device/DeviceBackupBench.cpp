// A partial backup of a phone of 20,000 files and 2 GB in which LINE holds under 5 % (ferrowyn-cli device
// backup), against a full backup of the same phone by Debian's idevicebackup2, and the partial backup
// again with nothing changed. The simulator runs in this process; each backup is a child process measured
// by wait4: wall time, bytes it wrote to disk (ru_oublock), peak resident memory (ru_maxrss). A child
// started from this large process would count this process's memory as its own until its exec, so the
// backups are started by a small copy of this program ("--measure"), which reports the figures.
#include "DeviceGenerator.h"
#include "DeviceKeys.h"
#include "Simulator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

constexpr uint64_t kFiles = 20000;
constexpr uint64_t kBytes = 2000ull << 20;
constexpr uint64_t kLineFiles = 400;
constexpr uint64_t kLineBytes = 80ull << 20; // 4 %

struct ChildRun
{
    int exitCode = -1;
    double seconds = 0;
    double writtenMegabytes = 0;
    double peakRssMegabytes = 0;
};

// Starts a program with its output thrown away and waits for it: what wait4 says of it.
ChildRun spawnAndWait(char* const* argv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.writtenMegabytes = double(usage.ru_oublock) * 512.0 / double(1 << 20);
    run.peakRssMegabytes = double(usage.ru_maxrss) / 1024.0;
    return run;
}

// Runs a program through "--measure" (see main) and reads its figures.
ChildRun runChild(const std::vector<std::string>& arguments)
{
    static const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::string command = "'" + self + "' --measure";
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    ChildRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    if (std::fscanf(pipe, "%d %lf %lf %lf", &run.exitCode, &run.seconds, &run.writtenMegabytes,
                    &run.peakRssMegabytes) != 4)
        run.exitCode = -1;
    ::pclose(pipe);
    return run;
}

uint64_t folderBytes(const fs::path& folder, const std::function<bool(const fs::path&)>& wanted)
{
    uint64_t total = 0;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error))
        if (it->is_regular_file() && wanted(it->path()))
            total += it->file_size();
    return total;
}

// The phone, its simulator and the folders the backups go to, kept for the whole run.
class BenchPhone
{
public:
    BenchPhone()
    {
        m_folder = fs::temp_directory_path() / ("device-bench-" + randomUuid());
        fs::create_directories(m_folder);
        GeneratorOptions options;
        options.productVersion = "18.6";
        options.otherFiles = kFiles - kLineFiles;
        options.otherBytes = kBytes - kLineBytes;
        options.lineFiles = kLineFiles;
        options.lineBytes = kLineBytes;
        options.userApps = 12;
        const GeneratorReport report = generateDevice((m_folder / "phone").string(), options);
        m_lineBytes = folderBytes(report.line.appFolder, [](const fs::path&) { return true; }) +
                      folderBytes(report.line.groupFolder, [](const fs::path&) { return true; });
        m_phoneBytes = report.bytes;
        m_phoneFiles = report.files;
        // Read once, so the page cache holds the phone as it would after the first backup.
        std::vector<char> buffer(1 << 20);
        for (const auto& entry : fs::recursive_directory_iterator(m_folder / "phone" / "files"))
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                while (in.read(buffer.data(), std::streamsize(buffer.size())))
                    ;
            }
        SimulatorOptions simulatorOptions;
        simulatorOptions.muxSocketPath = (m_folder / "mux.sock").string();
        m_simulator = std::make_unique<Simulator>(simulatorOptions);
        m_simulator->start();
        m_udid = m_simulator->attach((m_folder / "phone").string());
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + simulatorOptions.muxSocketPath).c_str(), 1);
        // The program's data folder (partial backups, logs) stays inside the run's folder.
        ::setenv("HOME", (m_folder / "home").string().c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_folder / "home" / "data").string().c_str(), 1);
    }

    ~BenchPhone()
    {
        m_simulator->stop();
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    ChildRun partialBackup(bool fresh)
    {
        if (fresh)
            fs::remove_all(partialRoot());
        return runChild({FERROWYN_CLI_EXE, "device", "backup", m_udid, "--out", partialRoot().string(),
                         "--wait-trust", "0"});
    }

    ChildRun fullBackup()
    {
        fs::remove_all(fullRoot());
        fs::create_directories(fullRoot());
        return runChild({"idevicebackup2", "backup", "--full", "--udid", m_udid, fullRoot().string()});
    }

    fs::path partialRoot() const { return m_folder / "partial"; }
    fs::path fullRoot() const { return m_folder / "full"; }
    double lineMegabytes() const { return double(m_lineBytes) / double(1 << 20); }
    double phoneMegabytes() const { return double(m_phoneBytes) / double(1 << 20); }
    uint64_t phoneFiles() const { return m_phoneFiles; }

    // The backup's own metadata and the partial store's list of the other files.
    double metadataMegabytes() const
    {
        const fs::path folder = partialRoot() / m_udid;
        return double(folderBytes(folder,
                                  [](const fs::path& path) {
                                      const std::string name = path.filename().string();
                                      return name == "Manifest.db" || name == "Manifest.plist" ||
                                             name == "Status.plist" || name == "Info.plist";
                                  })) /
               double(1 << 20);
    }
    double namesMegabytes() const
    {
        return double(folderBytes(partialRoot() / m_udid,
                                  [](const fs::path& path) { return path.filename() == "dname.sqlite"; })) /
               double(1 << 20);
    }

private:
    fs::path m_folder;
    std::unique_ptr<Simulator> m_simulator;
    std::string m_udid;
    uint64_t m_lineBytes = 0;
    uint64_t m_phoneBytes = 0;
    uint64_t m_phoneFiles = 0;
};

BenchPhone& phone()
{
    static BenchPhone instance;
    return instance;
}

void report(benchmark::State& state, const ChildRun& run, double seconds, int iterations)
{
    state.counters["written_MB"] = run.writtenMegabytes;
    state.counters["peak_rss_MB"] = run.peakRssMegabytes;
    state.counters["seconds"] = seconds / iterations;
}

void BM_PartialBackupOfAFreshPhone(benchmark::State& state)
{
    BenchPhone& bench = phone();
    ChildRun last;
    double seconds = 0;
    int iterations = 0;
    for (auto _ : state) {
        last = bench.partialBackup(true);
        if (last.exitCode != 0) {
            state.SkipWithError("ferrowyn-cli device backup failed");
            return;
        }
        state.SetIterationTime(last.seconds);
        seconds += last.seconds;
        ++iterations;
    }
    report(state, last, seconds, iterations);
    state.counters["line_MB"] = bench.lineMegabytes();
    state.counters["metadata_MB"] = bench.metadataMegabytes();
    state.counters["dname_MB"] = bench.namesMegabytes();
    state.counters["extra_MB"] =
        last.writtenMegabytes - bench.lineMegabytes() - bench.metadataMegabytes() - bench.namesMegabytes();
    state.counters["phone_MB"] = bench.phoneMegabytes();
    state.counters["phone_files"] = double(bench.phoneFiles());
}
BENCHMARK(BM_PartialBackupOfAFreshPhone)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_Idevicebackup2FullBackup(benchmark::State& state)
{
    BenchPhone& bench = phone();
    ChildRun last;
    double seconds = 0;
    int iterations = 0;
    for (auto _ : state) {
        last = bench.fullBackup();
        if (last.exitCode != 0) {
            state.SkipWithError("idevicebackup2 backup --full failed");
            return;
        }
        state.SetIterationTime(last.seconds);
        seconds += last.seconds;
        ++iterations;
    }
    report(state, last, seconds, iterations);
}
BENCHMARK(BM_Idevicebackup2FullBackup)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The second partial backup with nothing changed on the phone: the phone sends only its metadata.
void BM_PartialBackupUnchanged(benchmark::State& state)
{
    BenchPhone& bench = phone();
    if (bench.partialBackup(true).exitCode != 0) {
        state.SkipWithError("the first partial backup failed");
        return;
    }
    ChildRun last;
    double seconds = 0;
    int iterations = 0;
    for (auto _ : state) {
        last = bench.partialBackup(false);
        if (last.exitCode != 0) {
            state.SkipWithError("the second partial backup failed");
            return;
        }
        state.SetIterationTime(last.seconds);
        seconds += last.seconds;
        ++iterations;
    }
    report(state, last, seconds, iterations);
}
BENCHMARK(BM_PartialBackupUnchanged)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "--measure") {
        const ChildRun run = spawnAndWait(argv + 2);
        std::printf("%d %f %f %f\n", run.exitCode, run.seconds, run.writtenMegabytes, run.peakRssMegabytes);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
