#include "PdfTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace PdfTestSupport {

QString pdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << path.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList pdfPages(const QString& path)
{
    QStringList pages = pdfText(path).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QImage pdfPagePicture(const QString& path, int page, const QString& artifactName)
{
    QTemporaryDir dir;
    const QString prefix = QDir(dir.path()).filePath(QStringLiteral("page"));
    const int status =
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                           QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page),
                           QStringLiteral("-l"), QString::number(page), path, prefix});
    if (status != 0) {
        ADD_FAILURE() << "pdftoppm failed on " << path.toStdString();
        return {};
    }
    const QString png = prefix + QStringLiteral(".png");
    const QString artifacts = QStringLiteral(FERROWYN_ARTIFACT_DIR);
    QDir().mkpath(artifacts);
    const QString kept = QDir(artifacts).filePath(artifactName + QStringLiteral(".png"));
    QFile::remove(kept);
    QFile::copy(png, kept);
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

} // namespace PdfTestSupport
