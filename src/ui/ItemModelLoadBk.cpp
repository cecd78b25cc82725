#include "ui/ItemModelLoadBk.h"

#include <QBrush>
#include <QDir>
#include <QLocale>
#include <QPixmap>
#include <QSize>

namespace {
constexpr int kIconWidth = 18;
constexpr int kRowHeight = 25;
constexpr int kBackupKind = 100;
} // namespace

ItemModelLoadBk::_BKItemNode::_BKItemNode(PBackupManifest backup)
    : _ItemNode(kBackupKind, backup->displayName()), backup(std::move(backup))
{
}

ItemModelLoadBk::ItemModelLoadBk(QObject* parent) : AbsTreeItemModel(parent)
{
}

int ItemModelLoadBk::columnCount(const QModelIndex&) const
{
    return 3;
}

QVariant ItemModelLoadBk::data(const QModelIndex& index, int role) const
{
    const auto* node = static_cast<const _BKItemNode*>(nodeOf(index));
    if (!node)
        return {};
    const BackupManifest& backup = *node->backup;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case 0:
            return backup.displayName();
        case 1:
            return QLocale::system().toString(backup.backupDate(), QLocale::ShortFormat);
        case 2:
            return QDir::toNativeSeparators(backup.path());
        default:
            return {};
        }
    case Qt::DecorationRole:
        if (index.column() != 0)
            return {};
        return QPixmap(QStringLiteral(":res/iphone.png")).scaledToWidth(kIconWidth, Qt::SmoothTransformation);
    case Qt::BackgroundRole:
        // Rows counted from 1: odd ones white, even ones a faint grey.
        return QBrush(index.row() % 2 == 0 ? QColor(255, 255, 255) : QColor(250, 250, 250));
    case Qt::SizeHintRole:
        return QSize(0, kRowHeight);
    default:
        return {};
    }
}

QVariant ItemModelLoadBk::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Name");
    case 1:
        return QStringLiteral("Backup Date");
    case 2:
        return QStringLiteral("Path");
    default:
        return {};
    }
}

ItemModelLoadBk::_BKItemNode* ItemModelLoadBk::addBackup(PBackupManifest backup)
{
    int row = 0;
    while (row < rootCount() &&
           !(static_cast<_BKItemNode*>(root(row))->backup->backupDate() < backup->backupDate()))
        ++row;
    return static_cast<_BKItemNode*>(
        insertNode(nullptr, row, std::make_unique<_BKItemNode>(std::move(backup))));
}

PBackupManifest ItemModelLoadBk::backupAt(const QModelIndex& index) const
{
    const auto* node = static_cast<const _BKItemNode*>(nodeOf(index));
    return node ? node->backup : nullptr;
}
