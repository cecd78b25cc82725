// The backup selection and password dialogs over backup folders written by the fixture builder, with
// the user's clicks made from the dialogs' own event loops.
#include "BackupFixtureBuilder.h"
#include "ModalCloser.h"
#include "ui/ItemModelLoadBk.h"
#include "ui/LoadItunesBackupDlg.h"
#include "ui/PasscodeDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

QString writeBackup(const QTemporaryDir& dir, const QString& name, bool encrypted)
{
    backupfixture::BackupFixtureBuilder builder;
    if (encrypted) {
        backupfixture::EncryptionSettings encryption;
        encryption.enabled = true;
        encryption.password = QStringLiteral("secret");
        builder.setEncryption(encryption);
    }
    const QString folder = dir.filePath(name);
    EXPECT_TRUE(builder.write(folder));
    return folder;
}

} // namespace

TEST(LoadItunesBackupDlgTest, LoadNeedsARowAndAFolderIsListedOnce)
{
    QTemporaryDir dir;
    LoadItunesBackupDlg dialog; // the test's home holds no backups
    EXPECT_EQ(dialog.model()->rowCount(), 0);
    ModalCloser closer({QStringLiteral("OK"), QStringLiteral("OK"), QStringLiteral("OK")});
    closer.ignore(&dialog);
    bool openAfterWarnings = false;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.findChild<QPushButton*>(QStringLiteral("btnLoad"))->click();
        const QString folder = writeBackup(dir, QStringLiteral("b1"), false);
        dialog.addFolder(folder);
        dialog.addFolder(folder + QStringLiteral("/")); // the same folder by another spelling
        dialog.addFolder(dir.filePath(QStringLiteral("not-a-backup")));
        openAfterWarnings = dialog.isVisible();
        dialog.findChild<QPushButton*>(QStringLiteral("btnLoad"))->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(openAfterWarnings);
    ASSERT_EQ(closer.texts.size(), 3);
    EXPECT_EQ(closer.texts[0], QStringLiteral("IDS_PLEASE_SELECT_ONE_ITUNES_BACKUP"));
    EXPECT_EQ(closer.texts[1], QStringLiteral("IDS_LOAD_BK_EXISTS"));
    EXPECT_TRUE(closer.texts[2].contains(QStringLiteral("error"))) << closer.texts[2].toStdString();
    EXPECT_EQ(dialog.model()->rowCount(), 1);
    ASSERT_TRUE(dialog.selectedBackup());
    EXPECT_EQ(dialog.selectedBackup()->path(), dir.filePath(QStringLiteral("b1")));
}

TEST(PasscodeDlgTest, StaysOpenUntilThePasswordUnlocksTheBackup)
{
    QTemporaryDir dir;
    BackupManifest backup(writeBackup(dir, QStringLiteral("enc"), true));
    backup.loadInfo();
    ASSERT_TRUE(backup.isEncrypted());
    PasscodeDlg dialog(backup);
    ModalCloser closer({QStringLiteral("OK"), QStringLiteral("OK")});
    closer.ignore(&dialog);
    closer.ignoreNamed(QStringLiteral("ProgressForm"));
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("txtPasscode"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("btnOK"));
    QString afterWrong = QStringLiteral("unchanged");
    QTimer::singleShot(0, &dialog, [&] {
        ok->click(); // nothing entered
        field->setText(QStringLiteral("wrong"));
        ok->click();
        afterWrong = field->text();
        field->setText(QStringLiteral("secret"));
        ok->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(closer.texts,
              (QStringList{QStringLiteral("IDS_PWD_IS_NULL"), QStringLiteral("IDS_INVALID_PASSWORD")}));
    EXPECT_TRUE(afterWrong.isEmpty());
    EXPECT_EQ(dialog.password(), QStringLiteral("secret"));
    EXPECT_TRUE(backup.isUnlocked());

    PasscodeDlg cancelled(backup);
    QTimer::singleShot(0, &cancelled,
                       [&] { cancelled.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click(); });
    EXPECT_EQ(cancelled.exec(), QDialog::Rejected);
    EXPECT_TRUE(cancelled.password().isEmpty());
}
