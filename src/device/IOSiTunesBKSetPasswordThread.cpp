#include "device/IOSiTunesBKSetPasswordThread.h"

#include "backup/BackupManifest.h"

#include <exception>

IOSiTunesBKSetPasswordThread::IOSiTunesBKSetPasswordThread(BackupManifest* manifest, const QString& password,
                                                           QObject* form, QObject* parent)
    : QThread(parent), m_manifest(manifest), m_password(password), m_form(form)
{
}

void IOSiTunesBKSetPasswordThread::run()
{
    try {
        m_unlocked = false;
        m_form.updateProgress(tr("Verifying. Please wait..."), 99, QString());
        m_unlocked = m_manifest->unlock(m_password);
        m_form.succeed(QString());
    } catch (const std::exception& error) {
        m_form.errorOccurred(
            QStringLiteral("IOSiTunesBKSetPasswordThread: %1").arg(QString::fromUtf8(error.what())));
    }
}
