#pragma once

#include "search/SearchHit.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

class MessageSearchIndex;
struct _LineChat;

// One query over an open MessageSearchIndex. A message matches when its display text contains the query
// (trimmed), ignoring case, exactly as a scan of the display texts decides; the index only narrows the
// messages looked at, and every candidate is checked against its text as read from the database.
// Queries that give the tokenizer nothing (one character, characters apart by more than one space), or
// that hold control characters or broken surrogates, are answered by a scan.
//
// Positions are those of the message sources (LineMsgsDataSource): over all chats or one chat, oldest
// first when ascending, newest first otherwise.
class MessageSearch
{
    Q_DECLARE_TR_FUNCTIONS(MessageSearch)

public:
    // Throws with a text for the user when the query is empty or blank.
    MessageSearch(MessageSearchIndex& index, const QString& query);

    const QString& query() const { return m_query; }
    bool usesIndex() const { return !m_match.isEmpty(); }
    // The scan's rule: whether a display text matches.
    bool matches(const QString& displayText) const;

    // Up to limit hits of one chat (null: all chats), newest first or oldest first, beginning after the
    // hit at position (in the oldest-first order of all chats; -1 from the start). Pass the last hit's
    // position to continue.
    QList<SearchHit> hits(const _LineChat* chat, bool newestFirst, int limit, qint64 after = -1);

    // The position of the first hit after position `after` in the order of the source (chat or all chats,
    // ascending or not); -1 looks from the start. nullopt when no hit follows (the caller wraps around
    // by asking again from -1).
    std::optional<qint64> nextHit(const _LineChat* chat, bool ascending, qint64 after);

    // The FTS5 query for a text: every distinct token of the text (see BigramTokenizer), each as a
    // quoted string, joined by AND, so nothing of the text is read as query syntax; empty when the text
    // has no token or cannot be searched through the index.
    static QByteArray matchExpression(const QString& text);

    // At most this many tokens of a long query are written into the expression; the check of the text
    // does the rest.
    static constexpr int MaxTokens = 12;

private:
    // Hits of a chat key (nullopt: all) in the walk direction, starting beyond the position bound.
    QList<SearchHit> collect(std::optional<qint64> chatKey, bool ascending, qint64 bound, int limit);
    // The tokens a walk from the position bound goes along (see collectByIndex); empty when one of the
    // query's tokens is in no message of the walked range, so nothing can match.
    QByteArray walkExpression(bool ascending, qint64 bound);
    QList<SearchHit> collectByIndex(std::optional<qint64> chatKey, bool ascending, qint64 bound, int limit);
    QList<SearchHit> collectByScan(std::optional<qint64> chatKey, bool ascending, qint64 bound, int limit);
    // Reads candidate positions' messages, keeps those whose text matches, appends them to hits.
    void checkCandidates(const QList<qint64>& positions, QList<SearchHit>& hits, int limit);
    qint64 chatPositionOf(qint64 chatKey, qint64 position);

    MessageSearchIndex& m_index;
    QString m_query;
    QByteArray m_match;
};
