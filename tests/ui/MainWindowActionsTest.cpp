// The main window's message search, print and export driven like a user, under Xvfb, over local databases
// written from the chat fixtures: the keyword box walks the hits through the search index and around, the
// results list opens a hit's chat with the message selected; a chat printed from the print preview into a
// PDF file; every message exported as text, CSV, PDF and HTML and its attachments extracted, with the
// paths given by the test in place of the file dialogs. Saves test-artifacts/progress-form.png (a job's
// progress form while it runs) and main-window-search.png.
#include "ChatFixture.h"
#include "PdfTestSupport.h"
#include "WebViewTestSupport.h"
#include "line/LineChat.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineUser.h"
#include "platform/AppDataDir.h"
#include "platform/AppLanguage.h"
#include "search/MessageSearchIndex.h"
#include "ui/ExportTarget.h"
#include "ui/ItemModelMain.h"
#include "ui/ItemModelSms.h"
#include "ui/MainWindow.h"
#include "ui/MessageSearchPanel.h"
#include "ui/MyTreeView.h"
#include "ui/SearchResultsModel.h"
#include "ui/WindowFileChooser.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QDockWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// The paths the test chooses, given where the window would show a file dialog.
class AnsweringChooser : public WindowFileChooser
{
public:
    Choice saveFile(QWidget*, const QString& title, const QString&, const QStringList& filters) override
    {
        titles << title;
        EXPECT_TRUE(filters.contains(filter)) << filter.toStdString();
        return {path, filter};
    }
    QString folder(QWidget*, const QString& title, const QString&) override
    {
        titles << title;
        return folderPath;
    }

    QString path;
    QString filter;
    QString folderPath;
    QStringList titles;
};

// Answers what the window asks while the test runs, by what it is: every message box (all of them have
// only OK here) is recorded and closed; the print preview prints into pdfPath and closes; a progress form
// is saved once while its bar is part-way.
class WindowAnswers : public QObject
{
public:
    WindowAnswers()
    {
        connect(&m_timer, &QTimer::timeout, this, &WindowAnswers::poll);
        m_timer.start(5);
    }

    QStringList texts;
    QString pdfPath;
    bool printed = false;
    bool progressSaved = false;

private:
    // Whether the preview's pages are being painted (their progress form is up): printing waits.
    static bool painting(QWidget* preview)
    {
        for (QWidget* form : preview->findChildren<QWidget*>(QStringLiteral("ProgressForm")))
            if (form->isVisible())
                return true;
        return false;
    }

    void poll()
    {
        if (m_busy)
            return;
        m_busy = true;
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->isVisible()) {
            texts << box->text();
            box->accept();
        } else if (auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
                   preview && !pdfPath.isEmpty() && !painting(preview)) {
            QPrinter* printer = preview->printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdfPath);
            preview->findChild<QPrintPreviewWidget*>()->print();
            printed = true;
            pdfPath.clear();
            preview->close();
        } else if (modal && modal->objectName() == QStringLiteral("ProgressForm") && !progressSaved) {
            auto* bar = modal->findChild<QProgressBar*>();
            if (bar && bar->value() > 0 && bar->value() < 100) {
                QDir().mkpath(artifactDir());
                progressSaved =
                    modal->grab().save(QDir(artifactDir()).filePath(QStringLiteral("progress-form.png")));
            }
        }
        m_busy = false;
    }

    QTimer m_timer;
    bool m_busy = false;
};

void writeLocalDb(const QString& name, const PAbsLineMsgsSource& source)
{
    LineLocalDb target(localDbDir().filePath(name));
    LineLocalDbMerger(target).merge(*source);
}

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The files below a folder with the suffix.
QStringList filesIn(const QString& folder, const QString& suffix)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.endsWith(suffix))
            files << file;
    }
    return files;
}

TEST(MainWindowActionsTest, SearchPrintExportAndExtractFromTheWindow)
{
    ChatFixture chats;
    writeLocalDb(QStringLiteral("Family"), chats.source());
    GeneratedMessages many(6000, 3);
    writeLocalDb(QStringLiteral("Many"), many.source());
    QTemporaryDir out;
    // The window speaks English, as a user sees it in the screenshots.
    ASSERT_FALSE(setAppLanguage(QStringLiteral("en_US")).isEmpty());

    WindowAnswers answers;
    MainWindow window;
    auto chooserOwned = std::make_unique<AnsweringChooser>();
    AnsweringChooser& chooser = *chooserOwned;
    window.setFileChooser(std::move(chooserOwned));
    window.show();
    ItemModelMain& model = *window.mainModel();
    ItemModelSms& messages = *window.messageModel();
    auto* sources = window.findChild<MyTreeView*>(QStringLiteral("treeViewDS"));
    auto* list = window.findChild<MyTreeView*>(QStringLiteral("treeViewSMS"));
    auto* keyword = window.findChild<QLineEdit*>(QStringLiteral("txtSMSKeyword"));
    ASSERT_TRUE(sources && list && keyword);
    _LocalDbItemNode* family = model.findLocalDbNode(QStringLiteral("Family"));
    ASSERT_NE(family, nullptr);
    sources->setCurrentIndex(model.indexOf(family));
    ASSERT_EQ(family->childCount(), 3);
    ASSERT_EQ(messages.total(), 12); // the message without a chat is not kept

    // The keyword box: the first hit (its index built now), the next one, then around to the first.
    keyword->setText(QStringLiteral("  MORNING "));
    QTest::keyClick(keyword, Qt::Key_Return);
    EXPECT_TRUE(QFileInfo::exists(MessageSearchIndex::pathFor(
        localDbDir().filePath(QStringLiteral("Family/")) + LineLocalDb::DbFileName)));
    ASSERT_TRUE(list->currentIndex().isValid()) << answers.texts.join('\n').toStdString();
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_EQ(window.bubbleView().anchor().isEmpty(), false);
    QTest::keyClick(keyword, Qt::Key_Return);
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_TRUE(messages.data(messages.index(1, ItemModelSms::ContentColumn))
                    .toString()
                    .startsWith(QStringLiteral("Morning!")));
    QTest::keyClick(keyword, Qt::Key_Return);
    EXPECT_EQ(list->currentIndex().row(), 0);

    // The results list: both hits, newest first; choosing the older opens its chat with it selected.
    SearchResultsModel& results = *window.searchPanel()->results();
    EXPECT_TRUE(window.searchPanel()->resultsDock()->isVisible());
    ASSERT_EQ(results.rowCount(), 2);
    EXPECT_TRUE(results.data(results.index(0, SearchResultsModel::SnippetColumn))
                    .toString()
                    .startsWith(QStringLiteral("Morning!")));
    EXPECT_EQ(results.data(results.index(1, SearchResultsModel::ChatColumn)).toString(),
              chats.single->chatTitle(false));
    EXPECT_EQ(results.data(results.index(1, SearchResultsModel::SenderColumn)).toString(),
              chats.alice->displayName());
    QTreeView* resultsView = window.searchPanel()->resultsView();
    emit resultsView->activated(results.index(1, 0));
    ASSERT_NE(window.currentChat(), nullptr);
    EXPECT_EQ(window.currentChat()->uid, chats.single->uid);
    ASSERT_TRUE(list->currentIndex().isValid());
    EXPECT_TRUE(messages.data(messages.index(list->currentIndex().row(), ItemModelSms::ContentColumn))
                    .toString()
                    .startsWith(QStringLiteral("Good morning")));
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
    QTest::qWait(1500); // the bubbles paint after their page loaded
    QDir().mkpath(artifactDir());
    window.grab().save(QDir(artifactDir()).filePath(QStringLiteral("main-window-search.png")));

    // Nothing found: the user is told, the selection stays.
    const int selectedRow = list->currentIndex().row();
    keyword->setText(QStringLiteral("zebra crossing"));
    QTest::keyClick(keyword, Qt::Key_Return);
    ASSERT_FALSE(answers.texts.isEmpty());
    EXPECT_TRUE(answers.texts.last().contains(QStringLiteral("zebra crossing")))
        << answers.texts.last().toStdString();
    EXPECT_EQ(list->currentIndex().row(), selectedRow);

    // The group chat printed through the preview into a PDF file.
    _ChatSessionItemNode* team = nullptr;
    for (int row = 0; row < family->childCount(); ++row) {
        auto* node = static_cast<_ChatSessionItemNode*>(family->child(row));
        if (node->chat->uid == chats.group->uid)
            team = node;
    }
    ASSERT_NE(team, nullptr);
    sources->setCurrentIndex(model.indexOf(team));
    list->clearSelection();
    auto* print = window.findChild<QAction*>(QStringLiteral("actPrintToolbar"));
    ASSERT_TRUE(print && print->isEnabled());
    answers.pdfPath = out.filePath(QStringLiteral("printed.pdf"));
    print->trigger();
    ASSERT_TRUE(answers.printed);
    const QString printed = PdfTestSupport::pdfText(out.filePath(QStringLiteral("printed.pdf")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Tokyo Station"))) << printed.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("Good morning"))); // another chat's

    // Every message of the database exported in each format, the paths answered by the test.
    sources->setCurrentIndex(model.indexOf(family));
    auto* exportAction = window.findChild<QAction*>(QStringLiteral("actExportToolbar"));
    const QStringList filters = ExportTarget::filters();
    const auto exportAs = [&](int filter, const QString& name) {
        chooser.path = out.filePath(name);
        chooser.filter = filters.at(filter);
        const qsizetype before = answers.texts.size();
        exportAction->trigger();
        return answers.texts.mid(before).join('\n');
    };
    EXPECT_FALSE(exportAs(0, QStringLiteral("chats")).isEmpty()); // the result was shown
    EXPECT_TRUE(readAll(out.filePath(QStringLiteral("chats.txt"))).contains(QStringLiteral("Good morning")));
    exportAs(2, QStringLiteral("table.csv"));
    EXPECT_TRUE(readAll(out.filePath(QStringLiteral("table.csv"))).contains(QStringLiteral("Tokyo Station")));
    exportAs(3, QStringLiteral("book.pdf"));
    const QStringList pdfs = filesIn(out.filePath(QStringLiteral("book-pdf")), QStringLiteral(".pdf"));
    ASSERT_FALSE(pdfs.isEmpty());
    QString pdfTexts;
    for (const QString& pdf : pdfs)
        pdfTexts += PdfTestSupport::pdfText(pdf);
    EXPECT_TRUE(pdfTexts.contains(QStringLiteral("Good morning"))) << pdfTexts.toStdString();
    EXPECT_TRUE(pdfTexts.contains(QStringLiteral("Tokyo Station")));
    exportAs(4, QStringLiteral("site"));
    QString html;
    for (const QString& page : filesIn(out.filePath(QStringLiteral("site-html")), QStringLiteral(".html")))
        html += readAll(page);
    EXPECT_TRUE(html.contains(QStringLiteral("Good morning"))) << "no HTML page";
    EXPECT_EQ(chooser.titles.count(QCoreApplication::translate("MainWindow", "IDS_SEL_EXPORT_MESSAGES_PATH")),
              4);

    // Attachments extracted into a new folder in the chosen one.
    chooser.folderPath = out.filePath(QStringLiteral("media"));
    QDir().mkpath(chooser.folderPath);
    window.findChild<QAction*>(QStringLiteral("actExtractMediaToolbar"))->trigger();
    const QStringList made = QDir(chooser.folderPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made.first().startsWith(QStringLiteral("attachments(")));
    EXPECT_FALSE(filesIn(QDir(chooser.folderPath).filePath(made.first()), QString()).isEmpty());

    // A longer job, whose progress form is saved part-way.
    _LocalDbItemNode* manyNode = model.findLocalDbNode(QStringLiteral("Many"));
    ASSERT_NE(manyNode, nullptr);
    sources->setCurrentIndex(model.indexOf(manyNode));
    ASSERT_EQ(messages.total(), 6000);
    exportAs(4, QStringLiteral("many"));
    EXPECT_FALSE(filesIn(out.filePath(QStringLiteral("many-html")), QStringLiteral(".html")).isEmpty());
    EXPECT_TRUE(answers.progressSaved);
    for (const QString& text : std::as_const(answers.texts))
        EXPECT_FALSE(text.contains(QStringLiteral("rror"))) << text.toStdString();
}

} // namespace
