#include "ui/LocalDbSelForm.h"

#include "app/FileNames.h"
#include "app/StyleSheet.h"
#include "ui/MessageBoxes.h"
#include "ui/WinMovable.h"
#include "ui_LocalDbSelForm.h"

#include <QLineEdit>
#include <QRegularExpression>

LocalDbSelForm::LocalDbSelForm(const QStringList& existingNames, const QString& defaultName, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::LocalDbSelForm>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setStyleSheet(appStyleSheet());
    WinMovable::attach(this);
    m_ui->cbLocalDbNames->addItem(QString());
    m_ui->cbLocalDbNames->addItems(existingNames);
    m_ui->cbLocalDbNames->setCurrentIndex(-1);
    if (!defaultName.isEmpty())
        m_ui->cbLocalDbNames->setEditText(defaultName);
    connect(m_ui->btnOK, &QPushButton::clicked, this, &LocalDbSelForm::onOkClicked);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

LocalDbSelForm::~LocalDbSelForm() = default;

LocalDbSelForm::NameCheck LocalDbSelForm::checkName(const QString& name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:\\*\\?\\\"<>|\\n\\r\\t]+"));
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return NameCheck::Empty;
    if (name.contains(forbidden))
        return NameCheck::Invalid;
    // Beyond the listed characters: other control characters, and names that would not be a folder of
    // their own ("." and ".." lead out of the local database folder; Windows drops trailing dots and
    // reserves device names such as CON).
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return NameCheck::Invalid;
    }
    if (trimmed.count(QLatin1Char('.')) == trimmed.size() || isReservedDeviceName(trimmed))
        return NameCheck::Invalid;
    return NameCheck::Ok;
}

void LocalDbSelForm::onOkClicked()
{
    const QString name = m_ui->cbLocalDbNames->currentText();
    switch (checkName(name)) {
    case NameCheck::Empty:
        showWarning(tr("IDS_PLEASE_SELECT_DATABASE_OR_INPUT_NEW_NAME"), this);
        return;
    case NameCheck::Invalid:
        showWarning(tr("IDS_INVALID_LOCALDB_NAME"), this);
        return;
    case NameCheck::Ok:
        break;
    }
    m_enteredName = name;
    accept();
}

QString LocalDbSelForm::choose(const QStringList& existingNames, const QString& defaultName, QWidget* parent)
{
    LocalDbSelForm form(existingNames, defaultName, parent);
    if (form.exec() != QDialog::Accepted)
        return {};
    return form.enteredName();
}
