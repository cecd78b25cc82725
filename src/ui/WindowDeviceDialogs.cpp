#include "ui/WindowDeviceDialogs.h"

#include "app/TextUtils.h"
#include "ui/MessageBoxes.h"
#include "ui/PasscodeDlg.h"
#include "ui/ProgressForm.h"
#include "ui/WindowJobRunner.h"

WindowDeviceDialogs::WindowDeviceDialogs(QWidget* parent) : m_parent(parent)
{
}

WindowDeviceDialogs::~WindowDeviceDialogs() = default;

QString WindowDeviceDialogs::trustText()
{
    return tr("You need to allow this computer to access data on your iPhone. Please choose "
              "<b>\"Trust\"</b> option on your iPhone screen and then click the \"Retry\" button below. "
              "<br/><br/><img src=\":res/trust_iphone.png\"/>");
}

bool WindowDeviceDialogs::askRetryTrust(const QString&, const QString&)
{
    return showMessage(QMessageBox::Warning, trustText(), QMessageBox::Retry | QMessageBox::Abort, false,
                       m_parent) == QMessageBox::Retry;
}

void WindowDeviceDialogs::showError(const JobMessage& message)
{
    QString text = htmlEscape(message.text);
    if (!message.link.isEmpty())
        text += QStringLiteral("<br/><a href=\"%1\">%2</a>")
                    .arg(htmlAttributeEscape(message.link), htmlEscape(message.linkText));
    showErrorReport(text, m_parent);
}

void WindowDeviceDialogs::showRefusal(const BackupSettingsRefusal& refusal)
{
    QString text = htmlEscape(refusal.text);
    if (!refusal.picture.isEmpty())
        text += QStringLiteral("<br/><br/><img src=\"%1\"/>").arg(htmlAttributeEscape(refusal.picture));
    showWarning(text, m_parent);
}

void WindowDeviceDialogs::showNotes()
{
    showTips(
        tr("<p><b>Notes:</b></p><p><nobr><b>1.</b>  If your iPhone is protected with a passcode, please "
           "enter your passcode on iPhone first.</nobr></p><p><nobr><b>2.</b>  Please make sure you have "
           "installed and logined Line on your iPhone.</nobr></p>"),
        m_parent);
}

void WindowDeviceDialogs::passcodeNotice(bool)
{
    // The backup job says so in its own progress form, which is the window's only place for it: a message
    // box would wait for a click while the phone waits for its passcode.
}

std::optional<QString> WindowDeviceDialogs::askBackupPassword(BackupManifest& backup)
{
    PasscodeDlg dialog(backup, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.password();
}

QObject* WindowDeviceDialogs::progressForm()
{
    m_form = std::make_unique<ProgressForm>(QString(), m_parent);
    return m_form.get();
}

void WindowDeviceDialogs::runJob(JobThread& job)
{
    if (m_form)
        runJobModal(job, *m_form);
}
