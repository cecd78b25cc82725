#include "ui/LoadItunesBackupDlg.h"

#include "app/StyleSheet.h"
#include "backup/BackupDiscovery.h"
#include "ui/ItemModelLoadBk.h"
#include "ui/MessageBoxes.h"
#include "ui/WinMovable.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <exception>

LoadItunesBackupDlg::LoadItunesBackupDlg(QWidget* parent)
    : QDialog(parent), m_model(new ItemModelLoadBk(this))
{
    setObjectName(QStringLiteral("LoadItunesBackupDlg"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setStyleSheet(appStyleSheet());
    m_title = new QLabel(tr("IDS_SELECT_AN_ITUNES_BACKUP_TO_LOAD"), this);
    m_title->setObjectName(QStringLiteral("lbTitle"));
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("listBackups"));
    m_list->setIndentation(0);
    m_list->setRootIsDecorated(false);
    m_list->setModel(m_model);
    m_addOther = new QLabel(tr("IDS_NO_BACKUP_LISTED_THERE_CLICK_<a href=\"#\">Here</a>_ADD"), this);
    m_addOther->setObjectName(QStringLiteral("lbAddOther"));
    m_addOther->setTextFormat(Qt::RichText);
    m_addOther->setWordWrap(true);
    m_load = new QPushButton(tr("Load"), this);
    m_load->setObjectName(QStringLiteral("btnLoad"));
    m_load->setStyleSheet(QStringLiteral("margin-right:15px;"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_load);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    layout->addWidget(m_title);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_addOther);
    layout->addLayout(buttons);
    resize(640, 360);
    WinMovable::attach(this);

    connect(m_addOther, &QLabel::linkActivated, this, &LoadItunesBackupDlg::btnAddOtherClicked);
    connect(m_load, &QPushButton::pressed, this, &LoadItunesBackupDlg::btnLoadClicked);
    connect(m_list, &QTreeView::doubleClicked, this, &LoadItunesBackupDlg::btnLoadClicked);
    connect(m_cancel, &QPushButton::pressed, this, &QDialog::reject);

    const BackupDiscovery::Listing listing = BackupDiscovery::listBackups(BackupDiscovery::backupRoots());
    for (const PBackupManifest& backup : listing.backups)
        m_model->addBackup(backup);
    m_list->setCurrentIndex(QModelIndex());
}

void LoadItunesBackupDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    fitColumns();
}

void LoadItunesBackupDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The list has its real width only once the layout ran.
    fitColumns();
}

void LoadItunesBackupDlg::fitColumns()
{
    const int width = m_list->viewport()->width();
    m_list->setColumnWidth(0, width * 40 / 100);
    m_list->setColumnWidth(1, width * 25 / 100);
    m_list->setColumnWidth(2, width * 35 / 100);
}

void LoadItunesBackupDlg::btnLoadClicked()
{
    const PBackupManifest backup = m_model->backupAt(m_list->currentIndex().siblingAtColumn(0));
    if (!backup) {
        showWarning(tr("IDS_PLEASE_SELECT_ONE_ITUNES_BACKUP"), this);
        return;
    }
    m_selected = backup;
    accept();
}

void LoadItunesBackupDlg::btnAddOtherClicked(const QString&)
{
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), QDir::homePath());
    if (!folder.isEmpty())
        addFolder(folder);
}

void LoadItunesBackupDlg::addFolder(const QString& folder)
{
    auto backup = std::make_shared<BackupManifest>(folder);
    for (int row = 0; row < m_model->rootCount(); ++row) {
        if (m_model->backupAt(m_model->index(row, 0))->backupId() == backup->backupId()) {
            showWarning(tr("IDS_LOAD_BK_EXISTS"), this);
            return;
        }
    }
    try {
        backup->loadInfo();
    } catch (const std::exception& failure) {
        const QString error = QString::fromUtf8(failure.what());
        qWarning("load %s error. %s", qUtf8Printable(folder), qUtf8Printable(error));
        showErrorReport(QStringLiteral("load %1 error. %2").arg(folder, error).toHtmlEscaped(), this);
        return;
    }
    m_list->setCurrentIndex(m_model->indexOf(m_model->addBackup(backup)));
}
