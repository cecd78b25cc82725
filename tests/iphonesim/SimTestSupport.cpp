#include "SimTestSupport.h"

#include "ManifestEntry.h"
#include "SqliteHandle.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

iphonesim::GeneratorOptions smallDeviceOptions(uint64_t seed)
{
    iphonesim::GeneratorOptions options;
    options.seed = seed;
    options.userApps = 4;
    options.systemApps = 2;
    options.otherFiles = 60;
    options.otherBytes = 1u << 20;
    options.lineFiles = 12;
    options.lineBytes = 256u << 10;
    return options;
}

void SimulatorTest::SetUp()
{
    ASSERT_TRUE(m_temp.isValid());
    m_deviceFolder = makeDevice("device", deviceOptions());
    iphonesim::SimulatorOptions options;
    options.muxSocketPath = socketPath();
    options.rebootDelay = std::chrono::milliseconds(100);
    adjustOptions(options);
    m_simulator = std::make_unique<iphonesim::Simulator>(options);
    m_simulator->start();
    m_udid = m_simulator->attach(m_deviceFolder);
    qputenv("USBMUXD_SOCKET_ADDRESS", QByteArray("UNIX:") + socketPath().c_str());
}

void SimulatorTest::TearDown()
{
    if (m_simulator)
        m_simulator->stop();
    EXPECT_FALSE(fs::exists(socketPath())) << "the socket is left behind";
}

std::string SimulatorTest::makeDevice(const std::string& name, const iphonesim::GeneratorOptions& options)
{
    const std::string folder = path(name);
    iphonesim::generateDevice(folder, options);
    return folder;
}

std::string SimulatorTest::path(const std::string& relative) const
{
    return m_temp.path().toStdString() + "/" + relative;
}

std::string SimulatorTest::deviceFile(const std::string& domain, const std::string& relativePath) const
{
    return m_deviceFolder + "/files/" + domain + "/" + relativePath;
}

ToolRun SimulatorTest::runTool(const QString& program, const QStringList& arguments, int timeoutMs)
{
    ToolRun run;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("USBMUXD_SOCKET_ADDRESS", QString::fromStdString("UNIX:" + socketPath()));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return run;
    if (!process.waitForFinished(timeoutMs)) {
        run.timedOut = true;
        process.kill();
        process.waitForFinished(5000);
    }
    run.output = QString::fromUtf8(process.readAll());
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

std::string SimulatorTest::control(const std::string& command)
{
    const std::string reply = m_simulator->command(command);
    EXPECT_EQ(reply.rfind("OK", 0), 0u) << command << " -> " << reply;
    return reply;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string backupContentPathFor(const std::string& domain, const std::string& relativePath)
{
    return iphonesim::backupContentPath(iphonesim::backupFileId(domain, relativePath));
}

void writeWholeFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string compareBackupWithDevice(const std::string& backupFolder, const std::string& deviceFolder)
{
    std::map<std::string, std::string> listed; // file id -> domain/path
    {
        iphonesim::SqliteDb db(backupFolder + "/Manifest.db", SQLITE_OPEN_READONLY);
        iphonesim::SqliteStatement rows(db, "SELECT fileID, domain, relativePath FROM Files WHERE flags=1");
        while (rows.step())
            listed[rows.text(0)] = rows.text(1) + "/" + rows.text(2);
    }
    size_t deviceFiles = 0;
    const fs::path files = fs::path(deviceFolder) / "files";
    for (const auto& entry : fs::recursive_directory_iterator(files)) {
        if (!entry.is_regular_file())
            continue;
        ++deviceFiles;
        const std::string relative = entry.path().lexically_relative(files).generic_string();
        const std::string domain = relative.substr(0, relative.find('/'));
        const std::string relativePath = relative.substr(relative.find('/') + 1);
        const std::string fileId = iphonesim::backupFileId(domain, relativePath);
        if (!listed.count(fileId))
            return "not in Manifest.db: " + relative;
        const std::string content = backupFolder + "/" + iphonesim::backupContentPath(fileId);
        if (readWholeFile(content) != readWholeFile(entry.path().string()))
            return "content differs: " + relative;
    }
    if (deviceFiles != listed.size())
        return "Manifest.db lists " + std::to_string(listed.size()) + " files, the device has " +
               std::to_string(deviceFiles);
    return {};
}
