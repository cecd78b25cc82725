#include "QtPrinters.h"
#include "TestFiles.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {
struct TsEntry
{
    QString translation;
    bool finished = true;
};

// (context, source) -> entry
using TsTable = QMap<QPair<QString, QString>, TsEntry>;

QString describe(const QPair<QString, QString>& key)
{
    return key.first + QStringLiteral(" | ") + key.second;
}

TsTable readTs(const QString& path)
{
    TsTable table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path;
        return table;
    }
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    TsEntry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            source.clear();
            entry = TsEntry();
        } else if (name == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            entry.finished = type.isEmpty();
            // numerus forms are children; their texts are joined
            entry.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            table.insert({context, source}, entry);
        }
    }
    if (xml.hasError())
        ADD_FAILURE() << path << ": " << xml.errorString();
    return table;
}

QString translationsDir()
{
    return sourceDir() + QStringLiteral("/resources/translations");
}

// Every text the sources pass to tr(), QT_TR_NOOP, QT_TRANSLATE_NOOP or a .ui form, as lupdate sees it.
TsTable scanSources()
{
    QTemporaryDir folder;
    const QString scan = folder.filePath(QStringLiteral("scan.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(FERROWYN_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                   QStringLiteral("none"), QStringLiteral("-extensions"), QStringLiteral("cpp,h,ui"),
                   sourceDir() + QStringLiteral("/src"),
                   translationsDir() + QStringLiteral("/MessageKeys.cpp"), QStringLiteral("-ts"), scan});
    if (!lupdate.waitForFinished(120000) || lupdate.exitCode() != 0) {
        ADD_FAILURE() << "lupdate failed: " << QString::fromUtf8(lupdate.readAll());
        return {};
    }
    return readTs(scan);
}

// The message keys every English table must hold.
const QStringList& messageKeys()
{
    static const QStringList keys = {
        "IDS_BACKING_UP_LINE_MESSAGES",
        "IDS_CACHING_BACKUP_FILE_%1",
        "IDS_CAN_NOT_FOUNDCONTACT_KEYWORD_%0",
        "IDS_CAN_NOT_FOUNDSMS_KEYWORD_%0",
        "IDS_CAN_NOT_FOUND_AND_MESSAGES",
        "IDS_CLEAR_CACHE",
        "IDS_CONFIRM_DEL_SEL_MESSAGES",
        "IDS_CONFIRM_DEL_THIS_CHAT",
        "IDS_CONFIRM_DEL_THIS_LOCALDB",
        "IDS_DEL_LOCALDB_SUC",
        "IDS_ENTER_PASSWORD",
        "IDS_EXPORTING_MESSAGES_TO_FILE",
        "IDS_EXTRACTING_MEDIA_FILES",
        "IDS_INVALID_LOCALDB_NAME",
        "IDS_INVALID_PASSWORD",
        "IDS_LOADING_ITUNES_BACKUP",
        "IDS_LOAD_BK_EXISTS",
        "IDS_MI_ABOUT",
        "IDS_MI_BACKUP_ALL",
        "IDS_MI_BACKUP_CHAT",
        "IDS_MI_BACKUP_SEL",
        "IDS_MI_BACKUP_TOOLBAR",
        "IDS_MI_CHECK_UPDATE",
        "IDS_MI_DB2I_ALL",
        "IDS_MI_DB2I_CHAT",
        "IDS_MI_DB2I_SEL",
        "IDS_MI_DB2I_TOOLBAR",
        "IDS_MI_DELETE_ALL",
        "IDS_MI_DELETE_CHAT",
        "IDS_MI_DELETE_SEL",
        "IDS_MI_DELETE_TOOLBAR",
        "IDS_MI_EXIT",
        "IDS_MI_EXPORT_ALL",
        "IDS_MI_EXPORT_CHAT",
        "IDS_MI_EXPORT_SEL",
        "IDS_MI_EXPORT_TOOLBAR",
        "IDS_MI_EXTRACT_MEDIA_All",
        "IDS_MI_EXTRACT_MEDIA_CHAT",
        "IDS_MI_EXTRACT_MEDIA_SEL",
        "IDS_MI_EXTRACT_MEDIA_TOOLBAR",
        "IDS_MI_FEEDBACK",
        "IDS_MI_HELP",
        "IDS_MI_I2I_ALL",
        "IDS_MI_I2I_CHAT",
        "IDS_MI_I2I_SEL",
        "IDS_MI_IMPORT_FROM_ITUNES",
        "IDS_MI_OPEN_DB_FOLDER",
        "IDS_MI_PRINT_ALL",
        "IDS_MI_PRINT_CHAT",
        "IDS_MI_PRINT_SEL",
        "IDS_MI_PRINT_TOOLBAR",
        "IDS_MI_UNMOUNT_DEVICE",
        "IDS_NO_BACKUP_LISTED_THERE_CLICK_<a href=\"#\">Here</a>_ADD",
        "IDS_PLEASE_ENTER_PASSWORD_TO_LOAD_BACKUP",
        "IDS_PLEASE_SELECT_DATABASE_OR_INPUT_NEW_NAME",
        "IDS_PLEASE_SELECT_ONE_DATASOURCE",
        "IDS_PLEASE_SELECT_ONE_ITUNES_BACKUP",
        "IDS_PRINT_MESSAGES",
        "IDS_PWD_IS_NULL",
        "IDS_RESTORING_LINE_MSG_TO_IOS",
        "IDS_ROOT_DEVICE",
        "IDS_ROOT_LOCALDB",
        "IDS_SELECT_AN_ITUNES_BACKUP_TO_LOAD",
        "IDS_SEL_EXPORT_MESSAGES_PATH",
        "IDS_SEL_ONE_IOS_DEVICE",
        "IDS_SUC_BACKUP_%1_MESSAGES_%2_NEW_%3_EXISTING",
        "IDS_SUC_CLEAR_CACHE",
        "IDS_SUC_EXPORT_%1_MMS",
        "IDS_SUC_EXTRACT_MEDIA_FILES_TO_%1",
        "IDS_TITLE_SELECT_ONE_DEVICE_TO_TRANSFER",
        "IDS_TITLE_SEL_OUTPUT_FOLDER_EXTRACT_MEDIA_FILES",
    };
    return keys;
}

QStringList sortedMatches(const QRegularExpression& pattern, const QString& text)
{
    QStringList found;
    for (const QRegularExpressionMatch& match : pattern.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

class TranslationFilesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        english = new TsTable(readTs(translationsDir() + QStringLiteral("/en.ts")));
    }
    static void TearDownTestSuite()
    {
        delete english;
        english = nullptr;
    }

    // Japanese or Chinese against English: the same entries, each translated, with the same placeholders
    // and the same markup.
    static void expectCoversEnglish(const QString& file)
    {
        const TsTable table = readTs(translationsDir() + QLatin1Char('/') + file);
        static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
        static const QRegularExpression tag(QStringLiteral("<[^>]+>"));
        for (auto it = english->cbegin(); it != english->cend(); ++it) {
            const auto found = table.constFind(it.key());
            if (found == table.cend()) {
                ADD_FAILURE() << file << " lacks " << describe(it.key());
                continue;
            }
            EXPECT_TRUE(found->finished && !found->translation.isEmpty())
                << file << " has no finished translation of " << describe(it.key());
            EXPECT_EQ(sortedMatches(placeholder, found->translation),
                      sortedMatches(placeholder, it->translation))
                << file << ": placeholders differ in " << describe(it.key());
            EXPECT_EQ(sortedMatches(tag, found->translation), sortedMatches(tag, it->translation))
                << file << ": markup differs in " << describe(it.key());
        }
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            EXPECT_TRUE(english->contains(it.key()))
                << file << " has an entry en.ts lacks: " << describe(it.key());
    }

    static TsTable* english;
};
TsTable* TranslationFilesTest::english = nullptr;
} // namespace

TEST_F(TranslationFilesTest, EveryTextTheSourcesTranslateHasAnEnglishEntry)
{
    const TsTable used = scanSources();
    ASSERT_GT(used.size(), 50); // the scan found the program's texts
    for (auto it = used.cbegin(); it != used.cend(); ++it) {
        const auto found = english->constFind(it.key());
        if (found == english->cend()) {
            ADD_FAILURE() << "en.ts lacks " << describe(it.key())
                          << " (run scripts/update-translations and translate it)";
            continue;
        }
        EXPECT_TRUE(found->finished && !found->translation.isEmpty())
            << "en.ts has no finished text for " << describe(it.key());
    }
}

TEST_F(TranslationFilesTest, EnglishHoldsEveryMessageKeyWithARealSentence)
{
    EXPECT_EQ(messageKeys().size(), 71);
    for (const QString& key : messageKeys()) {
        bool present = false;
        for (auto it = english->cbegin(); it != english->cend(); ++it) {
            if (it.key().second != key)
                continue;
            present = true;
            EXPECT_FALSE(it->translation.startsWith(QLatin1String("IDS_")))
                << "no English sentence for " << describe(it.key());
            EXPECT_FALSE(it->translation.contains(QLatin1String("%0")))
                << "the English text uses %1 for " << describe(it.key());
        }
        EXPECT_TRUE(present) << "en.ts lacks the key " << key;
    }
}

TEST_F(TranslationFilesTest, JapaneseCoversEveryEnglishEntry)
{
    expectCoversEnglish(QStringLiteral("ja_JP.ts"));
}

TEST_F(TranslationFilesTest, TraditionalChineseCoversEveryEnglishEntry)
{
    expectCoversEnglish(QStringLiteral("zh_TW.ts"));
}
