#include "ModalCloser.h"
#include "QtPrinters.h"

#include "app/AppInfo.h"
#include "online/ErrorReport.h"
#include "ui/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
// The labels of a shown box's buttons from left to right.
QStringList buttonLabelsLeftToRight(QMessageBox& box)
{
    box.show();
    QApplication::processEvents();
    QList<QAbstractButton*> buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(), [&box](QAbstractButton* a, QAbstractButton* b) {
        return a->mapTo(&box, QPoint()).x() < b->mapTo(&box, QPoint()).x();
    });
    QStringList labels;
    for (QAbstractButton* button : buttons)
        labels << button->text();
    box.hide();
    return labels;
}
} // namespace

TEST(MessageBoxTest, ButtonsKeepTheFixedOrderWhateverThePlatformLayout)
{
    auto box = MessageBoxBuilder(QMessageBox::Question, QStringLiteral("?"))
                   .setButtons(QMessageBox::Ok | QMessageBox::No | QMessageBox::Yes)
                   .build();
    EXPECT_EQ(buttonLabelsLeftToRight(*box), (QStringList{"Yes", "No", "OK"}));

    auto all = MessageBoxBuilder(QMessageBox::Warning, QStringLiteral("!"))
                   .setButtons(QMessageBox::Ignore | QMessageBox::Retry | QMessageBox::Abort |
                               QMessageBox::Cancel | QMessageBox::Ok | QMessageBox::No | QMessageBox::Yes)
                   .build();
    EXPECT_EQ(buttonLabelsLeftToRight(*all),
              (QStringList{"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore"}));
    for (QAbstractButton* button : all->buttons())
        EXPECT_EQ(MessageBoxBuilder::buttonLabel(MessageBoxBuilder::standardButtonOf(button)),
                  button->text());
}

TEST(MessageBoxTest, BoxIsFramelessRichTextStyledAndTitled)
{
    auto box = MessageBoxBuilder(QMessageBox::Warning, QStringLiteral("a <b>bold</b> word")).build();
    EXPECT_TRUE(box->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(box->textFormat(), Qt::RichText);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Ferrowyn"));
    EXPECT_FALSE(box->styleSheet().isEmpty());
    EXPECT_EQ(box->text(), QStringLiteral("a <b>bold</b> word"));
    EXPECT_EQ(box->buttons().size(), 1); // OK unless asked otherwise
}

TEST(MessageBoxTest, HeadingPrefixesProductAndVersion)
{
    auto box = MessageBoxBuilder(QMessageBox::Critical, QStringLiteral("text")).setHeading(true).build();
    EXPECT_EQ(box->text(), QStringLiteral("<nobr><b>Ferrowyn v") + AppInfo::version +
                               QStringLiteral("</b></nobr><br/><br/>text"));
}

TEST(MessageBoxTest, TipsUseTheInfoPictureThirtyTwoPixelsHigh)
{
    auto box = MessageBoxBuilder(QMessageBox::Information, QStringLiteral("tip")).build();
    ASSERT_FALSE(box->iconPixmap().isNull());
    EXPECT_EQ(box->iconPixmap().height(), 32);
}

TEST(MessageBoxTest, TextLabelHookGetsTheBoxTextLabel)
{
    QLabel* seen = nullptr;
    auto box = MessageBoxBuilder(QMessageBox::Information, QStringLiteral("<a href=\"#\">here</a>"))
                   .setTextLabelHook([&seen](QLabel* label) { seen = label; })
                   .build();
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->objectName(), QStringLiteral("qt_msgbox_label"));
    EXPECT_EQ(seen->text(), QStringLiteral("<a href=\"#\">here</a>"));
}

TEST(MessageBoxTest, AskYesNoIsTrueOnlyForYes)
{
    ModalCloser closer({QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("<escape>")});
    EXPECT_TRUE(askYesNo(QStringLiteral("first")));
    EXPECT_FALSE(askYesNo(QStringLiteral("second")));
    EXPECT_FALSE(askYesNo(QStringLiteral("third"))); // Escape means No
    EXPECT_EQ(closer.texts, (QStringList{"first", "second", "third"}));
    EXPECT_EQ(closer.timedOut, 0);
}

TEST(MessageBoxTest, ShowMessageReturnsTheClickedStandardButton)
{
    ModalCloser closer({QStringLiteral("Retry"), QStringLiteral("<escape>")});
    EXPECT_EQ(showMessage(QMessageBox::Warning, QStringLiteral("x"),
                          QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, false),
              QMessageBox::Retry);
    EXPECT_EQ(
        showMessage(QMessageBox::Warning, QStringLiteral("y"), QMessageBox::Ok | QMessageBox::Cancel, false),
        QMessageBox::Cancel);
    EXPECT_EQ(closer.timedOut, 0);
}

TEST(MessageBoxTest, ErrorReportShowsHeadingAndTheErrorAndClosesWithOk)
{
    ModalCloser closer({QStringLiteral("OK")});
    showErrorReport(QStringLiteral("disk <b>full</b>"));
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_TRUE(closer.texts.first().startsWith(MessageBoxBuilder::heading()));
    EXPECT_TRUE(closer.texts.first().contains(QStringLiteral("disk <b>full</b>")));
}

TEST(MessageBoxTest, ErrorTextOffersContactOnlyWithAnAddress)
{
    EXPECT_EQ(MessageBoxBuilder::errorText(QStringLiteral("E"), QString()),
              QStringLiteral("An Error Occurred. <br/><br/>E"));
    EXPECT_EQ(MessageBoxBuilder::errorText(QStringLiteral("E"), QStringLiteral("help<x>@example.org")),
              QStringLiteral(
                  "An Error Occurred. <br/><br/>E<br/><br/> Or you can contact help&lt;x&gt;@example.org "
                  "for help."));
}

TEST(ErrorReportTest, LogLineSaysNothingWasSentAndKeepsTheTextOnOneLine)
{
    const QString line = ErrorReport::logLine(QStringLiteral("bad\r\nthing"), QString());
    EXPECT_EQ(line, QStringLiteral("error report not sent (no report service is configured): bad  thing"));
    EXPECT_EQ(ErrorReport::logLine(QStringLiteral("x"), QStringLiteral("reports.example.org")),
              QStringLiteral("error report sent to reports.example.org: x"));
}
