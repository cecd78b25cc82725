#include "device/backup2tool.h"

#include "app/JobControl.h"
#include "device/Backup2Conversation.h"
#include "device/Backup2ErrorText.h"

#include <QMutexLocker>
#include <cstring>
#include <stdexcept>

backup2tool::backup2tool(const QString& udid, const QDir& root, std::shared_ptr<Backup2ToolHook> hook,
                         QObject* parent)
    : QObject(parent), m_udid(udid), m_root(QDir(root.absolutePath())),
      m_backupDir(QDir(root.absolutePath()).filePath(udid)),
      m_hook(hook ? std::move(hook) : std::make_shared<Backup2ToolHook>())
{
}

backup2tool::~backup2tool() = default;

void backup2tool::cancel()
{
    QMutexLocker lock(&m_mutex);
    m_cancelled = true;
}

bool backup2tool::isCancelled() const
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_cancelled)
            return true;
    }
    return m_control && m_control->isCancelled();
}

void backup2tool::report(const QString& text)
{
    emit update(m_progress, QString(), text);
    if (m_control)
        m_control->setPercent(qBound(0, int(m_progress), 100), text);
}

void backup2tool::onNotification(const char* notification, void* self)
{
    if (!notification || !self)
        return;
    auto* engine = static_cast<backup2tool*>(self);
    if (std::strcmp(notification, "com.apple.LocalAuthentication.ui.presented") == 0)
        emit engine->passcodeRequested(true);
    else if (std::strcmp(notification, "com.apple.LocalAuthentication.ui.dismissed") == 0)
        emit engine->passcodeRequested(false);
}

void backup2tool::run(const Backup2Options& options)
{
    JobControl none;
    run(options, none);
}

void backup2tool::run(const Backup2Options& options, JobControl& control)
{
    {
        QMutexLocker lock(&m_mutex);
        m_cancelled = false;
    }
    m_progress = 0;
    m_extraErrorText.clear();
    m_control = &control;
    struct ForgetControl
    {
        backup2tool& engine;
        ~ForgetControl() { engine.m_control = nullptr; }
    } forget{*this};

    m_hook->begin(m_root, m_udid);
    QString errorText;
    int result = 0;
    {
        Backup2Conversation conversation(*this, options);
        result = conversation.run(errorText);
    } // the connection is closed before the result is looked at
    if (result == 0)
        return;
    throw std::runtime_error(
        Backup2ErrorText::message(result, errorText, options.op == Backup2Options::Restore).toStdString());
}
