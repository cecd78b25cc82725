#pragma once

#include "BackupFixtureBuilder.h"
#include "backup/BackupManifest.h"

#include <QDir>
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
