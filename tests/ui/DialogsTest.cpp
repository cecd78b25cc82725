#include "ModalCloser.h"
#include "QtPrinters.h"

#include "app/AppInfo.h"
#include "ui/AboutUsForm.h"
#include "ui/DataSourceSelForm.h"
#include "ui/LocalDbSelForm.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QPushButton* button(QWidget& form, const char* name)
{
    return form.findChild<QPushButton*>(QString::fromLatin1(name));
}
} // namespace

TEST(LocalDbSelFormTest, NameChecks)
{
    using Check = LocalDbSelForm::NameCheck;
    EXPECT_EQ(LocalDbSelForm::checkName(QString()), Check::Empty);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("  ")), Check::Empty);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("a/b")), Check::Invalid);
    for (const QChar c : QStringLiteral("\\/:*?\"<>|\n\r\t"))
        EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("name") + c + QStringLiteral("x")), Check::Invalid)
            << int(c.unicode());
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral(" new ")), Check::Ok);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("iPhone 15_Backup")), Check::Ok);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("家族のトーク")), Check::Ok);
    // names that would not be a folder of their own under the local database folder
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("..")), Check::Invalid);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral(" . ")), Check::Invalid);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("con")), Check::Invalid);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("a\x01")), Check::Invalid);
    EXPECT_EQ(LocalDbSelForm::checkName(QStringLiteral("v1.2")), Check::Ok);
}

TEST(LocalDbSelFormTest, ListStartsWithAnEmptyItemAndTheDefaultInTheEditField)
{
    LocalDbSelForm form({QStringLiteral("Alpha"), QStringLiteral("Beta")}, QStringLiteral("Phone_Backup"));
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("cbLocalDbNames"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QString());
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Alpha"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Beta"));
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Phone_Backup"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST(LocalDbSelFormTest, OkWarnsAndStaysOpenUntilTheNameIsUsable)
{
    LocalDbSelForm form({QStringLiteral("Alpha")}, QString());
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("cbLocalDbNames"));
    ModalCloser closer({QStringLiteral("OK"), QStringLiteral("OK")});
    closer.ignore(&form);
    bool openAfterWarnings = false;
    QTimer::singleShot(0, &form, [&] {
        combo->setEditText(QStringLiteral("  "));
        button(form, "btnOK")->click();
        combo->setEditText(QStringLiteral("a/b"));
        button(form, "btnOK")->click();
        openAfterWarnings = form.isVisible();
        combo->setEditText(QStringLiteral(" new "));
        button(form, "btnOK")->click();
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(openAfterWarnings);
    EXPECT_EQ(closer.texts, (QStringList{QStringLiteral("IDS_PLEASE_SELECT_DATABASE_OR_INPUT_NEW_NAME"),
                                         QStringLiteral("IDS_INVALID_LOCALDB_NAME")}));
    EXPECT_EQ(form.enteredName(), QStringLiteral(" new ")); // as entered, not trimmed
}

TEST(LocalDbSelFormTest, ChooseReturnsTheNameOrEmptyWhenCancelled)
{
    ModalCloser closer({QStringLiteral("确定"), QStringLiteral("取消")});
    EXPECT_EQ(LocalDbSelForm::choose({QStringLiteral("Alpha")}, QStringLiteral("Phone_Backup")),
              QStringLiteral("Phone_Backup"));
    EXPECT_EQ(LocalDbSelForm::choose({QStringLiteral("Alpha")}, QStringLiteral("Phone_Backup")), QString());
    EXPECT_EQ(closer.timedOut, 0);
}

TEST(DataSourceSelFormTest, EntriesAppearInOrderAndTheChosenOneIsReturned)
{
    const QList<DataSourceEntry> entries = {
        {QStringLiteral(":res/iphone.png"), QStringLiteral("Aki's iPhone"), QStringLiteral("udid-1")},
        {QStringLiteral(":res/iphone.png"), QStringLiteral("Aki's iPhone"), QStringLiteral("udid-2")},
        {QString(), QStringLiteral("Work"), QStringLiteral("udid-3")},
    };
    DataSourceSelForm form(QStringLiteral("Pick one"), entries);
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("cbDevice"));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Work"));
    EXPECT_FALSE(combo->itemIcon(0).isNull());
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lbSelDevice"))->text(), QStringLiteral("Pick one"));

    combo->setCurrentIndex(1); // same name as the first: the identifier tells them apart
    ModalCloser closer;
    closer.ignore(&form);
    QTimer::singleShot(0, &form, [&form] { button(form, "btnOK")->click(); });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    ASSERT_TRUE(form.chosenEntry().has_value());
    EXPECT_EQ(form.chosenEntry()->id, QStringLiteral("udid-2"));
}

TEST(DataSourceSelFormTest, OkWithoutAnEntryWarnsAndCancelReturnsNone)
{
    DataSourceSelForm form(QString(), {});
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lbSelDevice"))->text(),
              QStringLiteral("IDS_TITLE_SELECT_ONE_DEVICE_TO_TRANSFER"));
    ModalCloser closer({QStringLiteral("OK")});
    closer.ignore(&form);
    QTimer::singleShot(0, &form, [&form] {
        button(form, "btnOK")->click();
        button(form, "btnClose")->click();
    });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_EQ(closer.texts, QStringList{QStringLiteral("IDS_PLEASE_SELECT_ONE_DATASOURCE")});

    ModalCloser chooser({QStringLiteral("取消")});
    EXPECT_FALSE(
        DataSourceSelForm::choose(QString(), {{QString(), QStringLiteral("A"), QStringLiteral("a")}}));
}

TEST(AboutUsFormTest, ShowsProductVersionAndPicture)
{
    AboutUsForm form;
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lbProduct"))->text(),
              QStringLiteral("Ferrowyn v") + AppInfo::version);
    const QLabel* picture = form.findChild<QLabel*>(QStringLiteral("picApp"));
    ASSERT_FALSE(picture->pixmap().isNull());
    EXPECT_EQ(picture->pixmap().height(), 64);
    EXPECT_EQ(picture->styleSheet(), QStringLiteral("background:Transparent;border:0;"));
    // no home page is configured in this build: the label stays hidden instead of showing a made-up one
    EXPECT_TRUE(form.findChild<QLabel*>(QStringLiteral("lbHomePage"))->isHidden());
    ModalCloser closer;
    closer.ignore(&form);
    QTimer::singleShot(0, &form, [&form] { button(form, "btnOK")->click(); });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
}

TEST(AboutUsFormTest, HomePageLinkIsEscaped)
{
    EXPECT_EQ(AboutUsForm::homePageLink(QString()), QString());
    EXPECT_EQ(AboutUsForm::homePageLink(QStringLiteral("https://example.org/?a=1&b=\"2\"")),
              QStringLiteral("<a href=\"https://example.org/?a=1&amp;b=&quot;2&quot;\">"
                             "https://example.org/?a=1&amp;b=\"2\"</a>"));
}
