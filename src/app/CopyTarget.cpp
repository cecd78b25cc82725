#include "app/CopyTarget.h"

#include "app/FileNames.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr qint64 kPieceSize = 256 * 1024;
} // namespace

bool sameFileContent(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (!first.isFile() || !second.isFile() || first.size() != second.size())
        return false;
    QFile one(a);
    QFile two(b);
    if (!one.open(QIODevice::ReadOnly) || !two.open(QIODevice::ReadOnly))
        return false;
    while (!one.atEnd()) {
        const QByteArray left = one.read(kPieceSize);
        const QByteArray right = two.read(kPieceSize);
        if (left.isEmpty() || left != right)
            return false;
    }
    return two.atEnd();
}

CopyTarget CopyTarget::find(const QString& source, const QString& path)
{
    const qint64 size = QFileInfo(source).size();
    for (int n = 0;; ++n) {
        const QString candidate = numberedFileName(path, n);
        const QFileInfo info(candidate);
        if (!info.exists() && !info.isSymLink())
            return {candidate, false};
        // The size first: most taken names hold other files, and reading them would cost.
        if (info.isFile() && !info.isSymLink() && info.size() == size && sameFileContent(source, candidate))
            return {candidate, true};
    }
}
