#include "ui/PasscodeDlg.h"

#include "app/StyleSheet.h"
#include "jobs/IOSiTunesBKSetPasswordThread.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressForm.h"
#include "ui/WinMovable.h"
#include "ui/WindowJobRunner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PasscodeDlg::PasscodeDlg(BackupManifest& backup, QWidget* parent) : QDialog(parent), m_backup(backup)
{
    setObjectName(QStringLiteral("PasscodeDlg"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setStyleSheet(appStyleSheet());
    m_title = new QLabel(tr("IDS_PLEASE_ENTER_PASSWORD_TO_LOAD_BACKUP"), this);
    m_title->setObjectName(QStringLiteral("lbTitle2"));
    m_title->setWordWrap(true);
    m_passcode = new QLineEdit(this);
    m_passcode->setObjectName(QStringLiteral("txtPasscode"));
    m_passcode->setEchoMode(QLineEdit::Password);
    m_passcode->setPlaceholderText(tr("IDS_ENTER_PASSWORD"));
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(12);
    layout->addWidget(m_title);
    layout->addWidget(m_passcode);
    layout->addLayout(buttons);
    setMinimumWidth(380);
    WinMovable::attach(this);

    connect(m_ok, &QPushButton::pressed, this, &PasscodeDlg::btnOKPressed);
    connect(m_passcode, &QLineEdit::returnPressed, this, &PasscodeDlg::btnOKPressed);
    connect(m_cancel, &QPushButton::pressed, this, &QDialog::reject);
}

bool PasscodeDlg::tryUnlock(BackupManifest& backup, const QString& password, QWidget* parent)
{
    ProgressForm form(QString(), parent);
    IOSiTunesBKSetPasswordThread job(&backup, password, &form);
    runJobModal(job, form);
    return job.succeeded() && job.unlocked();
}

void PasscodeDlg::btnOKPressed()
{
    const QString password = m_passcode->text();
    if (password.isEmpty()) {
        showWarning(tr("IDS_PWD_IS_NULL"), this);
        return;
    }
    if (!tryUnlock(m_backup, password, this)) {
        showWarning(tr("IDS_INVALID_PASSWORD"), this);
        m_passcode->clear();
        return;
    }
    m_password = password;
    accept();
}
