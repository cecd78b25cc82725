#pragma once

#include "backup/BackupManifest.h"
#include "ui/AbsTreeItemModel.h"

// The device backups offered for loading, newest first: name, backup date, folder.
class ItemModelLoadBk : public AbsTreeItemModel
{
    Q_OBJECT

public:
    struct _BKItemNode : _ItemNode
    {
        explicit _BKItemNode(PBackupManifest backup);
        PBackupManifest backup;
    };

    explicit ItemModelLoadBk(QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Inserts the backup before the first one with an earlier date (at the end when there is none).
    _BKItemNode* addBackup(PBackupManifest backup);
    PBackupManifest backupAt(const QModelIndex& index) const;
};
