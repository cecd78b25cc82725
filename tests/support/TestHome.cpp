#include "TestHome.h"

#include "app/FolderUtils.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <stdexcept>

namespace {
// Names the folder of the test process that made it, for the processes it starts.
constexpr char kInheritedHome[] = "FERROWYN_TEST_HOME";
} // namespace

TestHome::TestHome()
{
    const QString inherited = qEnvironmentVariable(kInheritedHome);
    if (!inherited.isEmpty() && QFileInfo(inherited).isDir() && qEnvironmentVariable("HOME") == inherited) {
        m_path = inherited;
        return;
    }
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/ferrowyn-test-home-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary HOME");
    m_path = QString::fromLocal8Bit(pattern);
    m_owned = true;
    setenv(kInheritedHome, pattern.constData(), 1);
    setenv("HOME", pattern.constData(), 1);
    const QByteArray data = pattern + "/.local/share";
    const QByteArray config = pattern + "/.config";
    const QByteArray cache = pattern + "/.cache";
    setenv("XDG_DATA_HOME", data.constData(), 1);
    setenv("XDG_CONFIG_HOME", config.constData(), 1);
    setenv("XDG_CACHE_HOME", cache.constData(), 1);
    // What the test and the code under test put in the system's temporary folder goes with the rest.
    const QByteArray temp = pattern + "/tmp";
    if (!QDir().mkpath(QString::fromLocal8Bit(temp)))
        throw std::runtime_error("cannot create a temporary folder");
    setenv("TMPDIR", temp.constData(), 1);
}

TestHome::~TestHome()
{
    if (m_owned && !qEnvironmentVariableIsSet("FERROWYN_KEEP_TEST_HOME"))
        removeTree(m_path);
}
