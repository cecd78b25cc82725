#pragma once

#include "ui/AbsTreeItemModel.h"
#include "ui/MainTreeNodes.h"

#include <QList>

// The data-source tree: the devices' root with the attached iPhones and kept device folders, the local
// databases' root with the local databases, and under each database node its chats, newest first.
class ItemModelMain : public AbsTreeItemModel
{
    Q_OBJECT

public:
    explicit ItemModelMain(QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The roots' texts again, in the language installed now.
    void retranslate();

    _ItemNode* deviceRoot() const { return m_deviceRoot; }
    _ItemNode* localDbRoot() const { return m_localDbRoot; }

    // Appended as the last child of the devices' root; the caller stores the data set in it.
    _IOSDeviceItemNode* addDeviceNode(PDeviceInfo device, const QString& ownerId, const QString& ownerName,
                                      bool kept);
    // Appended as the last child of the local databases' root.
    _LocalDbItemNode* addLocalDbNode(const QString& name);
    // Appends a chat node per chat of the node's data set, newest first; existing children stay.
    void loadChats(_AbsDBItemNode* node);

    QList<_IOSDeviceItemNode*> deviceNodes() const;
    QList<_LocalDbItemNode*> localDbNodes() const;
    _LocalDbItemNode* findLocalDbNode(const QString& name) const;

    // The node's database node: itself for a device or local database, its parent for a chat, else null.
    static _AbsDBItemNode* databaseNodeOf(_ItemNode* node);

private:
    _ItemNode* m_deviceRoot;
    _ItemNode* m_localDbRoot;
};
