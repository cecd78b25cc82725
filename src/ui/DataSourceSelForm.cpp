#include "ui/DataSourceSelForm.h"

#include "app/StyleSheet.h"
#include "ui/MessageBoxes.h"
#include "ui/WinMovable.h"
#include "ui_DataSourceSelForm.h"

#include <QIcon>

DataSourceSelForm::DataSourceSelForm(const QString& title, const QList<DataSourceEntry>& entries,
                                     QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::DataSourceSelForm>()), m_entries(entries)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setStyleSheet(appStyleSheet());
    WinMovable::attach(this);
    m_ui->lbSelDevice->setText(title.isEmpty() ? tr("IDS_TITLE_SELECT_ONE_DEVICE_TO_TRANSFER") : title);
    for (int index = 0; index < m_entries.size(); ++index) {
        const DataSourceEntry& entry = m_entries.at(index);
        // The row number identifies the entry: two entries may share a name or an id.
        m_ui->cbDevice->addItem(entry.iconPath.isEmpty() ? QIcon() : QIcon(entry.iconPath), entry.name,
                                index);
    }
    connect(m_ui->btnOK, &QPushButton::clicked, this, &DataSourceSelForm::onOkClicked);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

DataSourceSelForm::~DataSourceSelForm() = default;

std::optional<DataSourceEntry> DataSourceSelForm::chosenEntry() const
{
    const int index = m_ui->cbDevice->currentData().toInt();
    if (m_ui->cbDevice->currentIndex() < 0 || index < 0 || index >= m_entries.size())
        return std::nullopt;
    return m_entries.at(index);
}

void DataSourceSelForm::onOkClicked()
{
    if (!chosenEntry()) {
        showWarning(tr("IDS_PLEASE_SELECT_ONE_DATASOURCE"), this);
        return;
    }
    accept();
}

std::optional<DataSourceEntry>
DataSourceSelForm::choose(const QString& title, const QList<DataSourceEntry>& entries, QWidget* parent)
{
    DataSourceSelForm form(title, entries, parent);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.chosenEntry();
}
