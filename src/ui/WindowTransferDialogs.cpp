#include "ui/WindowTransferDialogs.h"

#include "app/TextUtils.h"
#include "backup/BackupManifest.h"
#include "ui/MessageBoxes.h"
#include "ui/PasscodeDlg.h"

WindowTransferDialogs::WindowTransferDialogs(QWidget* parent, QHash<QString, QString>& passwords)
    : m_parent(parent), m_passwords(passwords), m_device(parent)
{
}

WindowTransferDialogs::~WindowTransferDialogs() = default;

bool WindowTransferDialogs::askRetryTrust(const QString& udid, const QString& errorText)
{
    return m_device.askRetryTrust(udid, errorText);
}

void WindowTransferDialogs::showError(const JobMessage& message)
{
    m_device.showError(message);
}

void WindowTransferDialogs::showRefusal(const BackupSettingsRefusal& refusal)
{
    m_device.showRefusal(refusal);
}

void WindowTransferDialogs::showNotes()
{
    m_device.showNotes();
}

void WindowTransferDialogs::passcodeNotice(bool shown)
{
    m_device.passcodeNotice(shown);
}

std::optional<QString> WindowTransferDialogs::askBackupPassword(BackupManifest& backup)
{
    return askPassword(backup);
}

std::optional<QString> WindowTransferDialogs::askTargetBackupPassword(BackupManifest& backup)
{
    return askPassword(backup);
}

std::optional<QString> WindowTransferDialogs::askPassword(BackupManifest& backup)
{
    const QString remembered = m_passwords.value(backup.path());
    if (!remembered.isEmpty() && PasscodeDlg::tryUnlock(backup, remembered, m_parent))
        return remembered;
    const std::optional<QString> given = m_device.askBackupPassword(backup);
    if (given)
        m_passwords.insert(backup.path(), *given);
    return given;
}

QObject* WindowTransferDialogs::progressForm()
{
    return m_device.progressForm();
}

void WindowTransferDialogs::runJob(JobThread& job)
{
    m_device.runJob(job);
}

bool WindowTransferDialogs::confirm(const QString& question)
{
    if (askYesNo(htmlEscape(question), m_parent))
        return true;
    ++m_declined;
    return false;
}

void WindowTransferDialogs::showTips(const JobMessage& message)
{
    QString text = htmlEscape(message.text);
    if (!message.link.isEmpty())
        text += QStringLiteral("<br/><a href=\"%1\">%2</a>")
                    .arg(htmlAttributeEscape(message.link), htmlEscape(message.linkText));
    ::showTips(text, m_parent);
}
