#pragma once

#include <QDialog>

class BackupManifest;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for an encrypted backup's password and closes only once the backup accepted it: the password is
// checked by a background job (key derivation takes seconds) behind a progress form.
class PasscodeDlg : public QDialog
{
    Q_OBJECT

public:
    explicit PasscodeDlg(BackupManifest& backup, QWidget* parent = nullptr);

    // The accepted password (after acceptance).
    const QString& password() const { return m_password; }

    // Checks password against backup by the background job; true when it unlocked the backup. A job
    // failure (a damaged keybag, say) was shown by the job's form.
    static bool tryUnlock(BackupManifest& backup, const QString& password, QWidget* parent);

private slots:
    void btnOKPressed();

private:
    BackupManifest& m_backup;
    QLabel* m_title;
    QLineEdit* m_passcode;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QString m_password;
};
