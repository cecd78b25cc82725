#include "line/LineStoreLocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kPrivateStore = QStringLiteral("Library/Application Support/PrivateStore");
const QString kStoreInFolder = QStringLiteral("Messages/Line.sqlite");
const QString kGroupStoreInFolder = QStringLiteral("Messages/UnifiedGroup.sqlite");

} // namespace

LineStoreLocation LineStoreLocation::locate(const QString& appRoot, const QString& mid)
{
    const QDir root(appRoot);
    auto isFile = [&](const QString& relative) { return QFileInfo(root.filePath(relative)).isFile(); };
    auto isFolder = [&](const QString& relative) { return QFileInfo(root.filePath(relative)).isDir(); };

    LineStoreLocation location;
    if (isFolder(kPrivateStore)) {
        location.accountPrefix = kPrivateStore + QStringLiteral("/P_") + mid + QLatin1Char('/');
        location.storeRelativePath = location.accountPrefix + kStoreInFolder;
        if (isFile(location.accountPrefix + kGroupStoreInFolder))
            location.groupStoreRelativePath = location.accountPrefix + kGroupStoreInFolder;
        if (!isFile(location.storeRelativePath)) {
            // A folder named for another account (the preferences were missing or belong to someone
            // else): the first one that holds a store. Sorted by name so the choice does not depend on
            // the file system.
            const QStringList folders =
                QDir(root.filePath(kPrivateStore))
                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
            for (const QString& folder : folders) {
                const QString prefix = kPrivateStore + QLatin1Char('/') + folder + QLatin1Char('/');
                if (!isFile(prefix + kStoreInFolder))
                    continue;
                location.accountPrefix = prefix;
                location.storeRelativePath = prefix + kStoreInFolder;
                // The group store that belongs to this store is the one beside it.
                if (isFile(prefix + kGroupStoreInFolder))
                    location.groupStoreRelativePath = prefix + kGroupStoreInFolder;
                break;
            }
        }
    }
    if (!isFile(location.storeRelativePath) && isFolder(QStringLiteral("Documents/PrivateStore"))) {
        location.accountPrefix = kPrivateStore + QStringLiteral("/P_") + mid + QLatin1Char('/');
        const QString folder = QStringLiteral("Documents/PrivateStore/P_") + mid + QLatin1Char('/');
        const QStringList candidates = {folder + QStringLiteral("talk.sqlite"), folder + kStoreInFolder,
                                        folder + QStringLiteral("Messages/talk.sqlite")};
        location.storeRelativePath = candidates.last();
        for (const QString& candidate : candidates) {
            if (isFile(candidate)) {
                location.storeRelativePath = candidate;
                break;
            }
        }
    }
    if (!isFile(location.storeRelativePath)) {
        location.accountPrefix = QStringLiteral("Library/Application Support/");
        location.storeRelativePath = location.accountPrefix + kStoreInFolder;
        if (!isFile(location.storeRelativePath))
            location.storeRelativePath = QStringLiteral("Documents/talk.sqlite");
    }
    return location;
}
