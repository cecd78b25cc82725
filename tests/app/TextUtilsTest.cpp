#include "app/TextUtils.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

TEST(HtmlEscapeTest, EscapesMarkupAndLineFeedsButNotQuotes)
{
    EXPECT_EQ(htmlEscape(QStringLiteral("a<b>&c\n")), QStringLiteral("a&lt;b&gt;&amp;c<br/>"));
    EXPECT_EQ(htmlEscape(QStringLiteral("\"q\" 'r'")), QStringLiteral("\"q\" 'r'"));
    EXPECT_EQ(htmlEscape(QStringLiteral("&amp;")), QStringLiteral("&amp;amp;"));
}

TEST(HtmlEscapeTest, AttributeEscapeCoversQuotes)
{
    EXPECT_EQ(htmlAttributeEscape(QStringLiteral("x\" onerror='y' <&>")),
              QStringLiteral("x&quot; onerror=&#39;y&#39; &lt;&amp;&gt;"));
}

TEST(Md5HexTest, HashesUtf8Bytes)
{
    EXPECT_EQ(md5Hex(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(md5Hex(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    // UTF-8, not Latin-1: the digest of the two bytes C3 A9 differs from that of the byte E9
    EXPECT_NE(md5Hex(QStringLiteral("é")),
              QString::fromLatin1(QCryptographicHash::hash("\xe9", QCryptographicHash::Md5).toHex()));
    EXPECT_EQ(md5Hex(QStringLiteral("é")),
              QString::fromLatin1(QCryptographicHash::hash("\xc3\xa9", QCryptographicHash::Md5).toHex()));
}
