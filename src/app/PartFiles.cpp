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

// The most bytes of a file name on the common file systems.
constexpr qsizetype kMostNameBytes = 255;

// target with its file name cut so that tail still fits behind it in one file name.
QString fitting(const QString& target, const QString& tail)
{
    const QFileInfo info(target);
    QString name = info.fileName();
    const qsizetype room = kMostNameBytes - tail.toUtf8().size();
    if (name.toUtf8().size() <= room)
        return target + tail;
    while (!name.isEmpty() && name.toUtf8().size() > room)
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    return info.dir().filePath(name) + tail;
}
} // namespace

QString templateFor(const QString& target)
{
    return fitting(target, kTag + QStringLiteral("XXXXXX") + kSuffix);
}

QString nameFor(const QString& target, quint32 random)
{
    return fitting(target, kTag + QStringLiteral("%1").arg(random, 8, 16, QLatin1Char('0')) + kSuffix);
}

bool isPartFile(const QString& fileName, const QString& targetName)
{
    const QRegularExpressionMatch match = partPattern().match(fileName);
    // A target whose name leaves no room for the tag has its temporary name cut (see fitting()).
    return match.hasMatch() &&
           (targetName.isEmpty() || match.captured(1) == targetName ||
            (fileName.toUtf8().size() >= kMostNameBytes - 2 && targetName.startsWith(match.captured(1))));
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
