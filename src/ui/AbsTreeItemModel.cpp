#include "ui/AbsTreeItemModel.h"

#include <algorithm>

AbsTreeItemModel::_ItemNode::~_ItemNode() = default;

AbsTreeItemModel::_ItemNode* AbsTreeItemModel::_ItemNode::child(int row) const
{
    return row >= 0 && row < childCount() ? children[size_t(row)].get() : nullptr;
}

int AbsTreeItemModel::_ItemNode::rowInParent() const
{
    if (!parent)
        return -1;
    const auto& siblings = parent->children;
    const auto it =
        std::find_if(siblings.begin(), siblings.end(),
                     [this](const std::unique_ptr<_ItemNode>& node) { return node.get() == this; });
    return it == siblings.end() ? -1 : int(it - siblings.begin());
}

AbsTreeItemModel::AbsTreeItemModel(QObject* parent) : QAbstractItemModel(parent)
{
}

AbsTreeItemModel::~AbsTreeItemModel() = default;

AbsTreeItemModel::_ItemNode* AbsTreeItemModel::root(int row) const
{
    return row >= 0 && row < rootCount() ? m_roots[size_t(row)].get() : nullptr;
}

QModelIndex AbsTreeItemModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= columnCount(parent))
        return {};
    _ItemNode* node = parent.isValid() ? nodeOf(parent)->child(row) : root(row);
    return node ? createIndex(row, column, node) : QModelIndex();
}

QModelIndex AbsTreeItemModel::parent(const QModelIndex& child) const
{
    const _ItemNode* node = nodeOf(child);
    return node && node->parent ? indexOf(node->parent) : QModelIndex();
}

int AbsTreeItemModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return rootCount();
    // Only the first column has children, as in the toolkit's own tree models.
    return parent.column() == 0 ? nodeOf(parent)->childCount() : 0;
}

AbsTreeItemModel::_ItemNode* AbsTreeItemModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this ? static_cast<_ItemNode*>(index.internalPointer())
                                                    : nullptr;
}

QModelIndex AbsTreeItemModel::indexOf(const _ItemNode* node) const
{
    const int row = rowOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<_ItemNode*>(node));
}

int AbsTreeItemModel::rowOf(const _ItemNode* node) const
{
    if (!node)
        return -1;
    if (node->parent)
        return node->rowInParent();
    const auto it =
        std::find_if(m_roots.begin(), m_roots.end(),
                     [node](const std::unique_ptr<_ItemNode>& root) { return root.get() == node; });
    return it == m_roots.end() ? -1 : int(it - m_roots.begin());
}

std::vector<std::unique_ptr<AbsTreeItemModel::_ItemNode>>& AbsTreeItemModel::siblingsOf(_ItemNode* parent)
{
    return parent ? parent->children : m_roots;
}

AbsTreeItemModel::_ItemNode* AbsTreeItemModel::appendNode(_ItemNode* parent, std::unique_ptr<_ItemNode> node)
{
    return insertNode(parent, int(siblingsOf(parent).size()), std::move(node));
}

AbsTreeItemModel::_ItemNode* AbsTreeItemModel::insertNode(_ItemNode* parent, int row,
                                                          std::unique_ptr<_ItemNode> node)
{
    auto& siblings = siblingsOf(parent);
    row = std::clamp(row, 0, int(siblings.size()));
    node->parent = parent;
    _ItemNode* added = node.get();
    beginInsertRows(indexOf(parent), row, row);
    siblings.insert(siblings.begin() + row, std::move(node));
    endInsertRows();
    return added;
}

void AbsTreeItemModel::removeChildren(_ItemNode* node)
{
    auto& children = siblingsOf(node);
    if (children.empty())
        return;
    beginRemoveRows(indexOf(node), 0, int(children.size()) - 1);
    // Detached before they are deleted, so nothing reaches a half-deleted node through the list.
    auto removed = std::move(children);
    children.clear();
    endRemoveRows();
}

void AbsTreeItemModel::removeNode(_ItemNode* node)
{
    const int row = rowOf(node);
    if (row < 0)
        return;
    removeChildren(node);
    auto& siblings = siblingsOf(node->parent);
    beginRemoveRows(indexOf(node->parent), row, row);
    std::unique_ptr<_ItemNode> removed = std::move(siblings[size_t(row)]);
    siblings.erase(siblings.begin() + row);
    endRemoveRows();
}
