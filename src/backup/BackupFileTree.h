#pragma once

#include "backup/BackupFileRecord.h"

#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// One folder or file of a backup's file tree.
struct BackupTreeNode
{
    QString name;
    bool isDirectory = false;
    std::optional<BackupFileRecord> record; // none for the family folders the tree adds
    QList<BackupTreeNode*> children;

    // The first child with this exact name, or null.
    BackupTreeNode* child(const QString& childName) const;
};

// The files of a backup as folders: app containers under "Applications", other app-domain kinds under
// "AppDomain" + kind (such as "AppDomainGroup"), the known system domains merged at the top, and any
// other domain in a folder of its own name.
class BackupFileTree
{
public:
    // The known system domains, each framed by "=".
    static const QString& knownSystemDomains();

    // Tree path of a record: "Applications/<bundle id>[/path]", "AppDomain<kind>/<id>[/path]", the
    // relative path for a known system domain, domain + "/" + path otherwise.
    static QString treePath(const QString& domain, const QString& relativePath);

    void build(const FileRecordSet& set);
    void clear();

    const QList<BackupTreeNode*>& topNodes() const { return m_top; }
    // The first top-level node with this name, or null.
    BackupTreeNode* topNode(const QString& name) const;
    // The node registered under a tree path, or null.
    BackupTreeNode* nodeAt(const QString& path) const { return m_byPath.value(path); }
    qsizetype nodeCount() const { return static_cast<qsizetype>(m_nodes.size()); }

private:
    BackupTreeNode* newNode(const QString& name, bool isDirectory);
    BackupTreeNode* folderFor(const QString& path);
    void attach(BackupTreeNode* node, const QString& path);

    std::vector<std::unique_ptr<BackupTreeNode>> m_nodes;
    QList<BackupTreeNode*> m_top;
    QHash<QString, BackupTreeNode*> m_byPath;
};
