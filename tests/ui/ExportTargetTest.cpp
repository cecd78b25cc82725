// The export action's file names: suffixes added only when missing, PDF and HTML folders named after the
// part before the first dot.
#include "ui/ExportTarget.h"
#include "export/MessageExporter.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(ExportTargetTest, FileAndFolderNamesFollowTheChosenFilter)
{
    const QStringList filters = ExportTarget::filters();
    ASSERT_EQ(filters.size(), 5);
    const auto path = [&](const QString& chosen, int filter) {
        return ExportTarget::of(chosen, filters[filter]).path;
    };
    EXPECT_EQ(path(QStringLiteral("/h/report"), 0), QStringLiteral("/h/report.txt"));
    EXPECT_EQ(path(QStringLiteral("/h/report.txt"), 0), QStringLiteral("/h/report.txt"));
    EXPECT_EQ(path(QStringLiteral("/h/report.log"), 0), QStringLiteral("/h/report.log"));
    EXPECT_EQ(path(QStringLiteral("/h/report"), 1), QStringLiteral("/h/report.doc"));
    EXPECT_EQ(path(QStringLiteral("/h/report"), 2), QStringLiteral("/h/report.csv"));
    EXPECT_EQ(path(QStringLiteral("/h/report.pdf"), 3), QStringLiteral("/h/report-pdf"));
    EXPECT_EQ(path(QStringLiteral("/h/my.report.pdf"), 3), QStringLiteral("/h/my-pdf"));
    EXPECT_EQ(path(QStringLiteral("/h/report"), 4), QStringLiteral("/h/report-html"));
    EXPECT_EQ(ExportTarget::of(QStringLiteral("/h/a"), filters[1]).format, MessageExporter::PlainText);
    EXPECT_EQ(ExportTarget::of(QStringLiteral("/h/a"), filters[2]).format, MessageExporter::Csv);
    EXPECT_EQ(ExportTarget::of(QStringLiteral("/h/a"), filters[3]).format, MessageExporter::Pdf);
    EXPECT_EQ(ExportTarget::of(QStringLiteral("/h/a"), filters[4]).format, MessageExporter::Html);
    EXPECT_THROW(ExportTarget::of(QStringLiteral("/h/a"), QStringLiteral("All Files(*)")),
                 std::runtime_error);
}
