#include "backup/BackupFileTree.h"

#include <algorithm>

namespace {

const QString ApplicationsFolder = QStringLiteral("Applications");
const QLatin1String AppDomainPrefix("AppDomain");

// Kind and identifier of "AppDomain<kind>-<identifier>"; false for any other domain.
bool splitAppDomain(const QString& domain, QString& kind, QString& identifier)
{
    if (!domain.startsWith(AppDomainPrefix))
        return false;
    const qsizetype dash = domain.indexOf(QLatin1Char('-'), AppDomainPrefix.size());
    if (dash < 0 || dash + 1 >= domain.size())
        return false;
    kind = domain.mid(AppDomainPrefix.size(), dash - AppDomainPrefix.size());
    identifier = domain.mid(dash + 1);
    return true;
}

QString familyFolder(const QString& domain)
{
    QString kind;
    QString identifier;
    if (splitAppDomain(domain, kind, identifier))
        return kind.isEmpty() ? ApplicationsFolder : AppDomainPrefix + kind;
    if (BackupFileTree::knownSystemDomains().contains(QLatin1Char('=') + domain + QLatin1Char('=')))
        return {};
    return domain;
}

} // namespace

BackupTreeNode* BackupTreeNode::child(const QString& childName) const
{
    for (BackupTreeNode* node : children) {
        if (node->name == childName)
            return node;
    }
    return nullptr;
}

const QString& BackupFileTree::knownSystemDomains()
{
    static const QString domains = QStringLiteral(
        "=Domain=MediaDomain=RootDomain=HomeDomain=SystemPreferencesDomain=MobileDeviceDomain=WirelessDomain="
        "DatabaseDomain=CameraRollDomain=HealthDomain=KeychainDomain=KeyboardDomain="
        "ManagedPreferencesDomain=");
    return domains;
}

QString BackupFileTree::treePath(const QString& domain, const QString& relativePath)
{
    QString kind;
    QString identifier;
    if (splitAppDomain(domain, kind, identifier)) {
        QString path =
            (kind.isEmpty() ? ApplicationsFolder : AppDomainPrefix + kind) + QLatin1Char('/') + identifier;
        if (!relativePath.isEmpty())
            path += QLatin1Char('/') + relativePath;
        return path;
    }
    if (knownSystemDomains().contains(QLatin1Char('=') + domain + QLatin1Char('=')))
        return relativePath;
    return domain + QLatin1Char('/') + relativePath;
}

void BackupFileTree::clear()
{
    m_top.clear();
    m_byPath.clear();
    m_nodes.clear();
}

BackupTreeNode* BackupFileTree::topNode(const QString& name) const
{
    for (BackupTreeNode* node : m_top) {
        if (node->name == name)
            return node;
    }
    return nullptr;
}

BackupTreeNode* BackupFileTree::newNode(const QString& name, bool isDirectory)
{
    m_nodes.push_back(std::make_unique<BackupTreeNode>());
    BackupTreeNode* node = m_nodes.back().get();
    node->name = name;
    node->isDirectory = isDirectory;
    return node;
}

// The folder node registered under path, created (with its own missing ancestors) when the records
// skip a folder, so a file never lands at the top level for want of its parent's record.
BackupTreeNode* BackupFileTree::folderFor(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    if (BackupTreeNode* existing = m_byPath.value(path))
        return existing;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    BackupTreeNode* folder = newNode(path.mid(slash + 1), true);
    attach(folder, path);
    return folder;
}

void BackupFileTree::attach(BackupTreeNode* node, const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    BackupTreeNode* parent = slash < 0 ? nullptr : folderFor(path.left(slash));
    if (parent)
        parent->children.append(node);
    else
        m_top.append(node);
    m_byPath.insert(path, node);
}

void BackupFileTree::build(const FileRecordSet& set)
{
    clear();
    const QList<const BackupFileRecord*> records = sortedRecords(set);
    for (const BackupFileRecord* record : records) {
        const QString family = familyFolder(record->domain.text());
        if (!family.isEmpty() && !m_byPath.contains(family)) {
            BackupTreeNode* folder = newNode(family, true);
            m_top.append(folder);
            m_byPath.insert(family, folder);
        }
    }
    for (const BackupFileRecord* record : records) {
        const QString path = treePath(record->domain.text(), record->relativePath.text());
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        BackupTreeNode* node = newNode(path.mid(slash + 1), record->isDirectory());
        node->record = *record;
        attach(node, path);
    }
}
