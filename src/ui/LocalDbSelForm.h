#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class LocalDbSelForm;
}

// Asks for the local database to back up into: an existing one from the list or a new name. The name
// becomes a folder under the local database folder, so names that are not safe as one folder are refused.
class LocalDbSelForm : public QDialog
{
    Q_OBJECT

public:
    enum class NameCheck
    {
        Ok,
        Empty,   // nothing but white space
        Invalid, // a character or form that cannot name a folder
    };

    LocalDbSelForm(const QStringList& existingNames, const QString& defaultName, QWidget* parent = nullptr);
    ~LocalDbSelForm() override;

    // Runs the dialog; the name as entered (not trimmed), or an empty string when it was cancelled.
    static QString choose(const QStringList& existingNames, const QString& defaultName,
                          QWidget* parent = nullptr);

    static NameCheck checkName(const QString& name);

    // The accepted name; empty until the dialog was accepted.
    QString enteredName() const { return m_enteredName; }

private slots:
    void onOkClicked();

private:
    std::unique_ptr<Ui::LocalDbSelForm> m_ui;
    QString m_enteredName;
};
