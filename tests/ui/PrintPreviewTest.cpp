// The print preview, offscreen, on a PDF printer: the window's answer to its paint requests fills it, and
// printing stops at the page limit with the text that sends the user to the PDF export.
#include "ChatFixture.h"
#include "PdfTestSupport.h"
#include "app/JobControl.h"
#include "line/LineChat.h"
#include "line/LineUser.h"
#include "line/MessageType.h"
#include "ui/PrintLineMsgsPreview.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(PrintPreviewTest, ThePreviewShowsThePagesTheWindowPaints)
{
    ChatFixture fixture;
    QWidget window;
    PrintLineMsgsPreview preview(&window);
    int requests = 0;
    PrintLineMsgsPreview::Outcome outcome;
    QObject::connect(&preview, &PrintLineMsgsPreview::previewPaintRequest,
                     [&](QPrintPreviewDialog* dialog, QPrinter* printer, const PAbsLineMsgsSource& source) {
                         EXPECT_EQ(dialog, preview.dialog());
                         ++requests;
                         JobControl control;
                         outcome = PrintLineMsgsPreview::printPages(*printer, source, control);
                     });
    int pages = -1;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = preview.dialog();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* widget = dialog->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        widget->updatePreview();
        pages = widget->pageCount();
        dialog->close();
    });
    preview.exec(fixture.source());
    EXPECT_GE(requests, 1);
    EXPECT_GE(pages, 1);
    EXPECT_EQ(pages, outcome.pages);
    EXPECT_EQ(title, QStringLiteral("IDS_PRINT_MESSAGES")); // no translation installed in this test
    EXPECT_EQ(outcome.printed, 13);                         // the message without a chat is printed too
    EXPECT_FALSE(outcome.truncated);
}

TEST(PrintPreviewTest, PrintingStopsAtTheHundredthPage)
{
    _LineUser friendUser;
    friendUser.uid = QStringLiteral("u1");
    friendUser.name = QStringLiteral("Friend");
    _LineChat chat;
    chat.uid = QStringLiteral("u1");
    chat.members.insert(&friendUser);
    QList<_LineMsg> messages;
    for (int i = 0; i < 2500; ++i) {
        _LineMsg message;
        message.type = MessageType::Text;
        message.time = QDateTime(QDate(2024, 1, 1), QTime(9, 0)).addSecs(i * 30);
        message.text = QStringLiteral("printed message %1").arg(i);
        message.chat = &chat;
        message.sender = i % 2 ? &friendUser : nullptr;
        messages.append(message);
    }
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    JobControl control;
    const PrintLineMsgsPreview::Outcome outcome =
        PrintLineMsgsPreview::printPages(printer, std::make_shared<LineMsgsListSource>(messages), control);
    EXPECT_TRUE(outcome.truncated);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_GT(outcome.printed, 500);
    EXPECT_LT(outcome.printed, 2500);
    const QStringList pages = PdfTestSupport::pdfPages(path);
    ASSERT_EQ(pages.size(), 100);
    EXPECT_EQ(outcome.pages, 100);
    EXPECT_TRUE(pages.first().contains(QLatin1String("printed message 0")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("printed message %1").arg(outcome.printed - 1)));
    EXPECT_FALSE(pages.last().contains(QStringLiteral("printed message %1").arg(outcome.printed)));
    EXPECT_TRUE(PrintLineMsgsPreview::pageLimitText().contains(QLatin1String("100 pages")));
    PdfTestSupport::pdfPagePicture(path, 1, QStringLiteral("print-preview-page1"));
}
