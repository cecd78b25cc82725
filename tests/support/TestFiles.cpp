#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QString sourceDir()
{
    return qEnvironmentVariable("FERROWYN_SOURCE_DIR", QStringLiteral(FERROWYN_SOURCE_DIR_DEFAULT));
}
