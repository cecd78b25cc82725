#include "app/NewFileCopy.h"

#include "app/PartFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {
constexpr qint64 kPieceSize = 1024 * 1024;

bool failWith(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}
} // namespace

bool copyToNewFile(const QString& from, const QString& to, QString* error)
{
    if (QFileInfo::exists(to))
        return failWith(error, QStringLiteral("%1 exists").arg(to));
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return failWith(error, source.errorString());

    // A name no other copy picks; O_EXCL-style creation makes sure of it.
    QFile temporary;
    for (int attempt = 0; attempt < 8 && !temporary.isOpen(); ++attempt) {
        temporary.setFileName(PartFiles::nameFor(to, QRandomGenerator::global()->generate()));
        if (!temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
            temporary.error() != QFileDevice::OpenError)
            break;
    }
    if (!temporary.isOpen())
        return failWith(error, temporary.errorString());

    QByteArray piece;
    bool written = true;
    while (written && !source.atEnd()) {
        piece = source.read(kPieceSize);
        if (piece.isEmpty() && source.error() != QFileDevice::NoError)
            break;
        written = temporary.write(piece) == piece.size();
    }
    const bool complete = written && source.error() == QFileDevice::NoError;
    const QString failure = !written ? temporary.errorString() : source.errorString();
    temporary.close();
    if (!complete || temporary.error() != QFileDevice::NoError) {
        const QString text = complete ? temporary.errorString() : failure;
        temporary.remove();
        return failWith(error, text);
    }
    // QFile::rename refuses to replace an existing file.
    if (!temporary.rename(to)) {
        const QString text = temporary.errorString();
        temporary.remove();
        return failWith(error, text);
    }
    return true;
}
