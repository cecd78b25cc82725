#pragma once

#include <QAbstractItemModel>
#include <QString>
#include <memory>
#include <vector>

// A tree model over polymorphic nodes: each node owns its children, the model owns the roots. Subclasses
// give the columns and the data of their node kinds.
class AbsTreeItemModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    struct _ItemNode
    {
        _ItemNode(int kind, QString text) : kind(kind), text(std::move(text)) {}
        virtual ~_ItemNode();
        _ItemNode(const _ItemNode&) = delete;
        _ItemNode& operator=(const _ItemNode&) = delete;

        int kind;
        QString text; // shown, also the tooltip
        _ItemNode* parent = nullptr;
        std::vector<std::unique_ptr<_ItemNode>> children;

        int childCount() const { return int(children.size()); }
        _ItemNode* child(int row) const;
        // The node's row among its parent's children (or the model's roots: -1 here).
        int rowInParent() const;
    };

    explicit AbsTreeItemModel(QObject* parent = nullptr);
    ~AbsTreeItemModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;

    // The node of an index of this model; null for the invalid index.
    _ItemNode* nodeOf(const QModelIndex& index) const;
    // A column-0 index of the node, its row looked up now (rows move when siblings go).
    QModelIndex indexOf(const _ItemNode* node) const;

    int rootCount() const { return int(m_roots.size()); }
    _ItemNode* root(int row) const;

    // Appends node under parent (null: as a root) and tells the views; returns the node.
    _ItemNode* appendNode(_ItemNode* parent, std::unique_ptr<_ItemNode> node);
    // Inserts node at row under parent (null: as a root) and tells the views; returns the node.
    _ItemNode* insertNode(_ItemNode* parent, int row, std::unique_ptr<_ItemNode> node);
    // Removes and deletes every child of node (null: every root).
    void removeChildren(_ItemNode* node);
    // Removes and deletes node with its children.
    void removeNode(_ItemNode* node);

private:
    int rowOf(const _ItemNode* node) const;
    std::vector<std::unique_ptr<_ItemNode>>& siblingsOf(_ItemNode* parent);

    std::vector<std::unique_ptr<_ItemNode>> m_roots;
};
