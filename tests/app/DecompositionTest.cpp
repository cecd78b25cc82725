#include "app/Decomposition.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(DecompositionTest, TableCoversTheListedBlocksOnly)
{
    const auto& table = decompositionTable();
    EXPECT_GT(table.size(), 900);
    EXPECT_LT(table.size(), 1000);
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        const char16_t unit = it.key();
        EXPECT_FALSE(unit >= 0xAC00 && unit <= 0xD7A3) << "Hangul " << int(unit);
        EXPECT_FALSE(unit >= 0x2000 && unit <= 0x2FFF) << int(unit);
        EXPECT_FALSE(unit >= 0xF900 && unit <= 0xFAFF) << int(unit);
        EXPECT_GE(it.value().size(), 1);
        EXPECT_LE(it.value().size(), 4);
    }
}

TEST(DecompositionTest, DecomposesFullyAndLeavesOthersAlone)
{
    EXPECT_EQ(toDecomposed(QString(QChar(0x00C0))), QString::fromUtf16(u"\u0041\u0300"));
    EXPECT_EQ(toDecomposed(QString(QChar(0x00C4))), QString::fromUtf16(u"\u0041\u0308"));
    EXPECT_EQ(toDecomposed(QString(QChar(0x304C))), QString::fromUtf16(u"\u304B\u3099"));
    EXPECT_EQ(toDecomposed(QString(QChar(0x1F62))), QString::fromUtf16(u"\u03C9\u0313\u0300"));
    EXPECT_EQ(toDecomposed(QStringLiteral("A")), QStringLiteral("A"));
    // Hangul and compatibility ideographs have no entries even though Unicode decomposes them.
    EXPECT_EQ(toDecomposed(QString(QChar(0xAC00))), QString(QChar(0xAC00)));
    EXPECT_EQ(toDecomposed(QString(QChar(0xF900))), QString(QChar(0xF900)));
    // Surrogates pass through unchanged.
    const QString emoji = QString::fromUtf16(u"\U0001F600");
    EXPECT_EQ(toDecomposed(emoji), emoji);
}

TEST(DecompositionTest, FileNameWithKanaAndAccentsDecomposesUnitByUnit)
{
    EXPECT_EQ(toDecomposed(QString::fromUtf16(u"ガイド_é.pdf")),
              QString::fromUtf16(u"\u30AB\u3099イト\u3099_e\u0301.pdf"));
}

TEST(DecompositionTest, ConcurrentFirstUseSeesOneCompleteTable)
{
    std::vector<qsizetype> sizes(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < sizes.size(); ++i)
        threads.emplace_back([&sizes, i] { sizes[i] = decompositionTable().size(); });
    for (auto& thread : threads)
        thread.join();
    const qsizetype expected = decompositionTable().size();
    for (qsizetype size : sizes)
        EXPECT_EQ(size, expected);
}
