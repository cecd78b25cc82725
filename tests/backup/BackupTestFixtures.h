#pragma once

#include "BackupFixtureBuilder.h"
#include "backup/BackupManifest.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

// Small helpers for tests that build backups with the fixture builder.
namespace backuptest {

inline const QString LineApp = QStringLiteral("AppDomain-jp.naver.line");
inline const QString LineGroup = QStringLiteral("AppDomainGroup-group.com.linecorp.line");
inline const QString Password = QStringLiteral("correct horse");

// Quick iteration counts; the derivation is the same as with the device's.
inline backupfixture::EncryptionSettings encryption(bool dataProtection = true)
{
    backupfixture::EncryptionSettings settings;
    settings.enabled = true;
    settings.password = Password;
    settings.iterations = 3;
    settings.dataProtectionKdf = dataProtection;
    settings.dataProtectionIterations = 2;
    return settings;
}

inline QByteArray pattern(qsizetype size, int seed = 1)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + seed * 17 + i / 251) & 0xFF);
    return bytes;
}

// A few files of both classes in LINE's two domains and elsewhere.
inline void addSampleFiles(backupfixture::BackupFixtureBuilder& builder)
{
    builder.addFile(LineApp, QStringLiteral("Library/Preferences/jp.naver.line.plist"), pattern(300, 1), 3);
    builder.addFile(LineGroup,
                    QStringLiteral("Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite"),
                    pattern(70000, 2), 4);
    builder.addFile(LineGroup, QStringLiteral("Library/Application Support/PrivateStore/P_u1/Messages/empty"),
                    QByteArray(), 3);
    builder.addFile(QStringLiteral("HomeDomain"),
                    QStringLiteral("Library/Preferences/com.apple.purplebuddy.plist"), pattern(64, 3), 4);
    builder.addFile(QStringLiteral("AppDomain-com.example.other"), QStringLiteral("Documents/other.txt"),
                    pattern(10, 4), 3);
    builder.addSymlink(LineApp, QStringLiteral("Library/link"), QStringLiteral("Preferences"));
}

// Encrypted backups differ in the protection classes their files have; files put in must not depend on it.
enum class FileClasses
{
    OnlyThree,
    OnlyFour,
    NoFiles
};

inline std::string fileClassesName(const ::testing::TestParamInfo<FileClasses>& info)
{
    switch (info.param) {
    case FileClasses::OnlyThree:
        return "OnlyClassThree";
    case FileClasses::OnlyFour:
        return "OnlyClassFour";
    default:
        return "NoFiles";
    }
}

// LINE's preferences and message store, both of the one class; or folders only.
inline void addFilesOfClasses(backupfixture::BackupFixtureBuilder& builder, FileClasses classes)
{
    if (classes == FileClasses::NoFiles) {
        builder.addDirectory(LineGroup, QStringLiteral("Library/Application Support"));
        return;
    }
    const quint32 protectionClass = classes == FileClasses::OnlyThree ? 3 : 4;
    builder.addFile(LineApp, QStringLiteral("Library/Preferences/jp.naver.line.plist"), pattern(300, 1),
                    protectionClass);
    builder.addFile(LineGroup,
                    QStringLiteral("Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite"),
                    pattern(70000, 2), protectionClass);
}

// The files below folder that hold decrypted data: a plaintext SQLite database (the manifest of an
// encrypted backup never is one), a decrypted manifest copy by its name, or a file holding one of markers
// (pieces of plaintext).
inline QStringList plaintextFilesBelow(const QString& folder, const QList<QByteArray>& markers)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(folder).relativeFilePath(path);
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        bool plain = bytes.startsWith("SQLite format 3") || name.contains(QLatin1String("decrypt"));
        for (const QByteArray& marker : markers)
            plain = plain || bytes.contains(marker);
        if (plain)
            found << name;
    }
    return found;
}

inline PBackupManifest openBackup(const QString& folder, bool unlock)
{
    auto backup = std::make_shared<BackupManifest>(folder);
    backup->loadInfo();
    if (unlock && backup->isEncrypted()) {
        EXPECT_TRUE(backup->unlock(Password));
    }
    return backup;
}

inline QStringList filesBelow(const QString& folder)
{
    QStringList names;
    const QDir root(folder);
    for (const QFileInfo& info : root.entryInfoList(QDir::Files | QDir::Hidden)) {
        names << info.fileName();
    }
    return names;
}

} // namespace backuptest
