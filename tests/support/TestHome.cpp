#include "TestHome.h"

#include "app/FolderUtils.h"

#include <QDir>
#include <cstdlib>
#include <stdexcept>

TestHome::TestHome()
{
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/ferrowyn-test-home-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary HOME");
    m_path = QString::fromLocal8Bit(pattern);
    setenv("HOME", pattern.constData(), 1);
    const QByteArray data = pattern + "/.local/share";
    const QByteArray config = pattern + "/.config";
    const QByteArray cache = pattern + "/.cache";
    setenv("XDG_DATA_HOME", data.constData(), 1);
    setenv("XDG_CONFIG_HOME", config.constData(), 1);
    setenv("XDG_CACHE_HOME", cache.constData(), 1);
}

TestHome::~TestHome()
{
    if (!qEnvironmentVariableIsSet("FERROWYN_KEEP_TEST_HOME"))
        removeTree(m_path);
}
