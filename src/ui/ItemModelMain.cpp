#include "ui/ItemModelMain.h"

#include "line/LineChat.h"

#include <QPixmap>
#include <QSize>
#include <algorithm>

namespace {
constexpr int kIconWidth = 18;
constexpr int kRowHeight = 25;

QString iconPathOf(const AbsTreeItemModel::_ItemNode& node)
{
    switch (node.kind) {
    case RootDeviceKind:
        return QStringLiteral(":res/devices.png");
    case RootLocalDbKind:
        return QStringLiteral(":res/databases.png");
    case DeviceKind:
        return QStringLiteral(":res/iphone.png");
    case LocalDbKind:
        return QStringLiteral(":res/database.png");
    case ChatKind: {
        const _LineChat* chat = static_cast<const _ChatSessionItemNode&>(node).chat;
        const int type = chat ? chat->type : _LineChat::Single;
        if (type == _LineChat::Single)
            return QStringLiteral(":res/contact.png");
        return type == _LineChat::Multi ? QStringLiteral(":res/group.png")
                                        : QStringLiteral(":res/group2.png");
    }
    default:
        return {};
    }
}
} // namespace

ItemModelMain::ItemModelMain(QObject* parent) : AbsTreeItemModel(parent)
{
    m_deviceRoot = appendNode(nullptr, std::make_unique<_RootDeviceItemNode>(tr("IDS_ROOT_DEVICE")));
    m_localDbRoot = appendNode(nullptr, std::make_unique<_ItemNode>(RootLocalDbKind, tr("IDS_ROOT_LOCALDB")));
}

void ItemModelMain::retranslate()
{
    m_deviceRoot->text = tr("IDS_ROOT_DEVICE");
    m_localDbRoot->text = tr("IDS_ROOT_LOCALDB");
    for (const _ItemNode* root : {m_deviceRoot, m_localDbRoot}) {
        const QModelIndex index = indexOf(root);
        emit dataChanged(index, index);
    }
}

int ItemModelMain::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ItemModelMain::data(const QModelIndex& index, int role) const
{
    const _ItemNode* node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return node->text;
    case Qt::DecorationRole: {
        const QString path = iconPathOf(*node);
        if (path.isEmpty())
            return {};
        return QPixmap(path).scaledToWidth(kIconWidth, Qt::FastTransformation);
    }
    case Qt::SizeHintRole:
        return QSize(0, kRowHeight);
    default:
        return {};
    }
}

QVariant ItemModelMain::headerData(int, Qt::Orientation, int) const
{
    return {};
}

_IOSDeviceItemNode* ItemModelMain::addDeviceNode(PDeviceInfo device, const QString& ownerId,
                                                 const QString& ownerName, bool kept)
{
    return static_cast<_IOSDeviceItemNode*>(appendNode(
        m_deviceRoot, std::make_unique<_IOSDeviceItemNode>(std::move(device), ownerId, ownerName, kept)));
}

_LocalDbItemNode* ItemModelMain::addLocalDbNode(const QString& name)
{
    return static_cast<_LocalDbItemNode*>(
        appendNode(m_localDbRoot, std::make_unique<_LocalDbItemNode>(name)));
}

void ItemModelMain::loadChats(_AbsDBItemNode* node)
{
    if (!node || !node->data)
        return;
    QList<_LineChat*> chats = node->data->chatsById();
    // Newest first; chats updated at the same time keep their id order, so the listing is the same each run.
    std::stable_sort(chats.begin(), chats.end(),
                     [](const _LineChat* a, const _LineChat* b) { return a->lastUpdated > b->lastUpdated; });
    if (chats.isEmpty())
        return;
    const QModelIndex parentIndex = indexOf(node);
    const int first = node->childCount();
    beginInsertRows(parentIndex, first, first + int(chats.size()) - 1);
    for (_LineChat* chat : std::as_const(chats)) {
        auto child = std::make_unique<_ChatSessionItemNode>(chat->chatTitle(true), chat);
        child->parent = node;
        node->children.push_back(std::move(child));
    }
    endInsertRows();
}

QList<_IOSDeviceItemNode*> ItemModelMain::deviceNodes() const
{
    QList<_IOSDeviceItemNode*> nodes;
    for (const auto& child : m_deviceRoot->children)
        nodes << static_cast<_IOSDeviceItemNode*>(child.get());
    return nodes;
}

QList<_LocalDbItemNode*> ItemModelMain::localDbNodes() const
{
    QList<_LocalDbItemNode*> nodes;
    for (const auto& child : m_localDbRoot->children)
        nodes << static_cast<_LocalDbItemNode*>(child.get());
    return nodes;
}

_LocalDbItemNode* ItemModelMain::findLocalDbNode(const QString& name) const
{
    for (_LocalDbItemNode* node : localDbNodes())
        if (node->text == name)
            return node;
    return nullptr;
}

_AbsDBItemNode* ItemModelMain::databaseNodeOf(_ItemNode* node)
{
    if (node && node->kind == ChatKind)
        node = node->parent;
    if (node && (node->kind == DeviceKind || node->kind == LocalDbKind))
        return static_cast<_AbsDBItemNode*>(node);
    return nullptr;
}
