#pragma once

#include <QDialog>
#include <QList>
#include <memory>
#include <optional>

namespace Ui {
class DataSourceSelForm;
}

// One choice offered by DataSourceSelForm: a device or data source.
struct DataSourceEntry
{
    QString iconPath; // a resource or file; empty: no icon
    QString name;     // shown
    QString id;       // returned with the entry, for example the device's udid
};

// Lets the user pick one device or data source from a combo box.
class DataSourceSelForm : public QDialog
{
    Q_OBJECT

public:
    // An empty title shows tr("IDS_TITLE_SELECT_ONE_DEVICE_TO_TRANSFER").
    DataSourceSelForm(const QString& title, const QList<DataSourceEntry>& entries, QWidget* parent = nullptr);
    ~DataSourceSelForm() override;

    // Runs the dialog; the chosen entry, or none when it was cancelled.
    static std::optional<DataSourceEntry> choose(const QString& title, const QList<DataSourceEntry>& entries,
                                                 QWidget* parent = nullptr);

    // The entry chosen in the combo box now (after acceptance: the answer).
    std::optional<DataSourceEntry> chosenEntry() const;

private slots:
    void onOkClicked();

private:
    std::unique_ptr<Ui::DataSourceSelForm> m_ui;
    QList<DataSourceEntry> m_entries;
};
