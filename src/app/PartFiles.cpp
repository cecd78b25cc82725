#include "app/PartFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace PartFiles {
namespace {
const QString kTag = QStringLiteral(".ferrowyn-");
const QString kSuffix = QStringLiteral(".part");

const QRegularExpression& partPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.ferrowyn-[0-9A-Za-z]{6,8}\\.part$"));
    return pattern;
}
} // namespace

QString templateFor(const QString& target)
{
    return target + kTag + QStringLiteral("XXXXXX") + kSuffix;
}

QString nameFor(const QString& target, quint32 random)
{
    return target + kTag + QStringLiteral("%1").arg(random, 8, 16, QLatin1Char('0')) + kSuffix;
}

bool isPartFile(const QString& fileName, const QString& targetName)
{
    const QRegularExpressionMatch match = partPattern().match(fileName);
    return match.hasMatch() && (targetName.isEmpty() || match.captured(1) == targetName);
}

int removeLeftovers(const QString& folder, const QString& targetName)
{
    const QDir dir(folder);
    int removed = 0;
    const QFileInfoList entries =
        dir.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        if (!entry.isSymLink() && isPartFile(entry.fileName(), targetName) && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace PartFiles
