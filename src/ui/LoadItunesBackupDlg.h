#pragma once

#include "backup/BackupManifest.h"

#include <QDialog>

class ItemModelLoadBk;
class QLabel;
class QPushButton;
class QTreeView;

// Lists the device backups found on the computer, newest first, lets the user add a backup folder by
// hand and returns the chosen one.
class LoadItunesBackupDlg : public QDialog
{
    Q_OBJECT

public:
    explicit LoadItunesBackupDlg(QWidget* parent = nullptr);

    // The chosen backup, after acceptance.
    const PBackupManifest& selectedBackup() const { return m_selected; }
    ItemModelLoadBk* model() const { return m_model; }

    // Adds a backup folder as the "add" link does once the folder is chosen: refused with a warning when it
    // is listed already, shown as an error when its metadata cannot be read; else listed and made current.
    void addFolder(const QString& folder);

private slots:
    void btnLoadClicked();
    void btnAddOtherClicked(const QString& link);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fitColumns();

    ItemModelLoadBk* m_model;
    QLabel* m_title;
    QTreeView* m_list;
    QLabel* m_addOther;
    QPushButton* m_load;
    QPushButton* m_cancel;
    PBackupManifest m_selected;
};
