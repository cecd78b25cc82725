#include "QtPrinters.h"

#include "platform/AppDataDir.h"
#include "platform/AppLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void writeText(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString extractingText()
{
    return QCoreApplication::translate("ExtractMediaFilesThread", "IDS_EXTRACTING_MEDIA_FILES");
}
} // namespace

TEST(AppLanguageTest, TranslationFileByLocaleName)
{
    for (const char* name : {"zh_HK", "zh_TW", "zh_MO", "zh_SG", "ZH_tw", "zh_hk"})
        EXPECT_EQ(translationFileFor(QString::fromLatin1(name)), QStringLiteral(":/zh_TW.qm")) << name;
    for (const char* name : {"ja_JP", "JA_jp", "ja_"})
        EXPECT_EQ(translationFileFor(QString::fromLatin1(name)), QStringLiteral(":/ja_JP.qm")) << name;
    // Simplified Chinese has no translation of its own; "ja" without a country is not a "ja_" name
    for (const char* name : {"zh_CN", "zh", "en_US", "de_DE", "ja", "C", ""})
        EXPECT_EQ(translationFileFor(QString::fromLatin1(name)), QStringLiteral(":/en.qm")) << name;
}

TEST(AppLanguageTest, SavedChoiceWinsOverTheSystemLocale)
{
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("locale"));

    // no file: the system locale decides
    EXPECT_EQ(savedOrSystemLocaleName(saved, QStringLiteral("zh_HK")), QStringLiteral("zh_HK"));
    EXPECT_EQ(translationFileFor(savedOrSystemLocaleName(saved, QStringLiteral("zh_HK"))),
              QStringLiteral(":/zh_TW.qm"));
    EXPECT_EQ(translationFileFor(savedOrSystemLocaleName(saved, QStringLiteral("zh_CN"))),
              QStringLiteral(":/en.qm"));

    writeText(saved, "ja_JP\n");
    EXPECT_EQ(translationFileFor(savedOrSystemLocaleName(saved, QStringLiteral("en_US"))),
              QStringLiteral(":/ja_JP.qm"));
    writeText(saved, "ZH_TW");
    EXPECT_EQ(translationFileFor(savedOrSystemLocaleName(saved, QStringLiteral("en_US"))),
              QStringLiteral(":/zh_TW.qm"));
    writeText(saved, "zh_TW\r\n"); // an edited file still names Traditional Chinese
    EXPECT_EQ(translationFileFor(savedOrSystemLocaleName(saved, QStringLiteral("en_US"))),
              QStringLiteral(":/zh_TW.qm"));
    writeText(saved, "en_US");
    EXPECT_EQ(translationFileFor(savedOrSystemLocaleName(saved, QStringLiteral("ja_JP"))),
              QStringLiteral(":/en.qm"));
    writeText(saved, "");
    EXPECT_EQ(savedOrSystemLocaleName(saved, QStringLiteral("ja_JP")), QStringLiteral("ja_JP"));
    // a huge file is not read whole and names nothing useful
    writeText(saved, QByteArray(10 * 1024 * 1024, 'x'));
    EXPECT_EQ(translationFileFor(savedOrSystemLocaleName(saved, QStringLiteral("ja_JP"))),
              QStringLiteral(":/en.qm"));
}

TEST(AppLanguageTest, SaveLanguageWritesTheNameAloneInTheDataFolder)
{
    EXPECT_EQ(savedLanguageFilePath(), appDataDir().filePath(QStringLiteral("locale")));
    ASSERT_TRUE(saveLanguage(QStringLiteral("zh_TW")));
    QFile file(savedLanguageFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("zh_TW"));
    file.close();
    ASSERT_TRUE(saveLanguage(QStringLiteral("ja_JP")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("ja_JP")); // replaced, not appended
    // no temporary file is left behind
    EXPECT_EQ(appDataDir().entryList({QStringLiteral("locale*")}, QDir::Files), QStringList{"locale"});
}

TEST(AppLanguageTest, InstallsOneTranslatorAtATimeFromTheSavedChoice)
{
    ASSERT_TRUE(saveLanguage(QStringLiteral("ja_JP")));
    EXPECT_EQ(setAppLanguage(QString()), QStringLiteral(":/ja_JP.qm"));
    EXPECT_EQ(extractingText(), QStringLiteral("添付ファイルを取り出しています..."));

    EXPECT_EQ(setAppLanguage(QStringLiteral("zh_TW")), QStringLiteral(":/zh_TW.qm"));
    EXPECT_EQ(extractingText(), QStringLiteral("正在擷取附件..."));

    EXPECT_EQ(setAppLanguage(QStringLiteral("en_US")), QStringLiteral(":/en.qm"));
    // the English file turns keys into sentences; the earlier translators are gone
    EXPECT_EQ(extractingText(), QStringLiteral("Extracting attachments..."));
    EXPECT_EQ(QCoreApplication::translate("MainWindow", "IDS_MI_EXPORT_ALL"),
              QStringLiteral("Export Messages to File"));
    QFile::remove(savedLanguageFilePath());
}
