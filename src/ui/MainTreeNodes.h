#pragma once

#include "device/DeviceInfo.h"
#include "line/LineData.h"
#include "ui/AbsTreeItemModel.h"

struct _LineChat;

// The node kinds of the data-source tree; the number is what the window and the model switch on.
enum MainTreeKind : int
{
    RootDeviceKind = 1,
    RootLocalDbKind = 2,
    DeviceKind = 3,
    LocalDbKind = 5,
    ChatKind = 6,
};

// The devices' root.
struct _RootDeviceItemNode : AbsTreeItemModel::_ItemNode
{
    explicit _RootDeviceItemNode(const QString& text) : _ItemNode(RootDeviceKind, text) {}
};

// A node over one database: its loaded data set (null until loaded).
struct _AbsDBItemNode : AbsTreeItemModel::_ItemNode
{
    using _ItemNode::_ItemNode;
    PLineData data;
    bool loaded = false; // data holds the database's users, chats and groups, and the chats are listed
};

// An attached iPhone or a device folder kept on the computer.
struct _IOSDeviceItemNode : _AbsDBItemNode
{
    _IOSDeviceItemNode(PDeviceInfo device, QString ownerId, QString ownerName, bool kept)
        : _AbsDBItemNode(DeviceKind, device->name), device(std::move(device)), ownerId(std::move(ownerId)),
          ownerName(std::move(ownerName)), kept(kept)
    {
    }

    PDeviceInfo device; // udid: the device's id, or the folder's path for a kept folder
    QString ownerId;
    QString ownerName;
    bool kept; // found on disk at start-up
};

// A local message database; its folder is the local database folder + the node's text.
struct _LocalDbItemNode : _AbsDBItemNode
{
    explicit _LocalDbItemNode(const QString& name) : _AbsDBItemNode(LocalDbKind, name) {}
};

// One chat of the parent's data set.
struct _ChatSessionItemNode : AbsTreeItemModel::_ItemNode
{
    _ChatSessionItemNode(const QString& text, _LineChat* chat) : _ItemNode(ChatKind, text), chat(chat) {}
    _LineChat* chat; // owned by the parent's data set
};
