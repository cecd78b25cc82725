#include "search/SearchHit.h"

namespace {

const QString kCut = QStringLiteral("…");

// Moves a cut off the second half of a surrogate pair, so no character is split.
qsizetype keepPairs(const QString& text, qsizetype at)
{
    if (at > 0 && at < text.size() && text.at(at).isLowSurrogate())
        return at - 1;
    return at;
}

} // namespace

QString SearchHit::markedSnippet(const QString& open, const QString& close) const
{
    return snippet.left(matchStart) + open + snippet.mid(matchStart, matchLength) + close +
           snippet.mid(matchStart + matchLength);
}

void SearchHit::setSnippet(const QString& displayText, const QString& query)
{
    // One line: line breaks of a message would break a listing.
    QString text = displayText;
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    const qsizetype found = text.indexOf(query, 0, Qt::CaseInsensitive);
    if (found < 0) {
        const qsizetype end = keepPairs(text, std::min<qsizetype>(text.size(), 2 * ContextLength));
        snippet = text.left(end) + (end < text.size() ? kCut : QString());
        matchStart = matchLength = 0;
        return;
    }
    const qsizetype start = keepPairs(text, std::max<qsizetype>(0, found - ContextLength));
    const qsizetype end =
        keepPairs(text, std::min<qsizetype>(text.size(), found + query.size() + ContextLength));
    const QString lead = start > 0 ? kCut : QString();
    snippet = lead + text.mid(start, end - start) + (end < text.size() ? kCut : QString());
    matchStart = int(lead.size() + found - start);
    matchLength = int(query.size());
}
