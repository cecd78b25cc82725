#include "app/FileNames.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FileNameSafeTest, EncodesEverythingButTheKeptCharacters)
{
    EXPECT_EQ(fileNameSafe(QStringLiteral("a/b c")), QStringLiteral("a%2Fb c"));
    EXPECT_EQ(fileNameSafe(QStringLiteral("é")), QStringLiteral("%C3%A9"));
    EXPECT_EQ(fileNameSafe(QStringLiteral(" `~!@#$^&()-=_+[]{};',.")),
              QStringLiteral(" `~!@#$^&()-=_+[]{};',."));
    EXPECT_EQ(fileNameSafe(QStringLiteral("100%:*?")), QStringLiteral("100%25%3A%2A%3F"));
    EXPECT_EQ(fileNameSafe(QStringLiteral("u1a2B3")), QStringLiteral("u1a2B3"));
}

TEST(FileNameSafeTest, ReservedNamesAreEncodedWhole)
{
    EXPECT_EQ(fileNameSafe(QStringLiteral("con")), QStringLiteral("%63%6F%6E"));
    EXPECT_EQ(fileNameSafe(QStringLiteral("LPT1")), QStringLiteral("%4C%50%54%31"));
    EXPECT_EQ(fileNameSafe(QStringLiteral("lpt1")), QStringLiteral("%6C%70%74%31"));
    EXPECT_EQ(fileNameSafe(QStringLiteral("LPT2")), QStringLiteral("LPT2"));
    EXPECT_EQ(fileNameSafe(QStringLiteral("Clock$")), QStringLiteral("%43%6C%6F%63%6B%24"));
}

TEST(PercentFileNameTest, EncodesOnlyForbiddenCharactersInLowerCase)
{
    EXPECT_EQ(percentFileName(QStringLiteral("a/b")), QStringLiteral("a%2fb"));
    EXPECT_EQ(percentFileName(QStringLiteral("100%")), QStringLiteral("100%25"));
    EXPECT_EQ(percentFileName(QStringLiteral("COM3")), QStringLiteral("%43%4f%4d%33"));
    EXPECT_EQ(percentFileName(QStringLiteral("日本 \"x\"\t|<>")), QStringLiteral("日本 %22x%22%09%7c%3c%3e"));
}

TEST(WindowsValidNameTest, ReservedBaseNamesAreFramed)
{
    EXPECT_EQ(windowsValidName(QStringLiteral("NUL")), QStringLiteral("$$NUL$$"));
    EXPECT_EQ(windowsValidName(QStringLiteral("con.a.txt")), QStringLiteral("$$con$$.txt"));
}

TEST(WindowsValidNameTest, ForbiddenCharactersAreRemovedAndEndsTrimmed)
{
    EXPECT_EQ(windowsValidName(QStringLiteral("a:b?.txt")), QStringLiteral("ab.txt"));
    EXPECT_EQ(windowsValidName(QStringLiteral(" name.pdf ")), QStringLiteral("name.pdf"));
    EXPECT_EQ(windowsValidName(QStringLiteral("100%.txt")), QStringLiteral("100%.txt"));
}

TEST(UniqueFileNameTest, CountsUpFromOneKeepingTheLastSuffix)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    EXPECT_EQ(uniqueFileName(d.filePath(QStringLiteral("x.txt"))), d.filePath(QStringLiteral("x.txt")));
    writeFileBytes(d.filePath(QStringLiteral("x.txt")), "1");
    writeFileBytes(d.filePath(QStringLiteral("x(1).txt")), "2");
    EXPECT_EQ(uniqueFileName(d.filePath(QStringLiteral("x.txt"))), d.filePath(QStringLiteral("x(2).txt")));

    writeFileBytes(d.filePath(QStringLiteral("a.tar.gz")), "1");
    EXPECT_EQ(uniqueFileName(d.filePath(QStringLiteral("a.tar.gz"))), d.filePath(QStringLiteral("a(1).gz")));
    d.mkdir(QStringLiteral("README"));
    EXPECT_EQ(uniqueFileName(d.filePath(QStringLiteral("README"))), d.filePath(QStringLiteral("README(1)")));
}
