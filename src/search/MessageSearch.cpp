#include "search/MessageSearch.h"

#include "line/AbsLineDb.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "search/BigramTokenizer.h"
#include "search/MessageSearchIndex.h"
#include "search/SearchError.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Candidates read from the index per step: few at first (the next hit is often among them), more as the
// walk goes on.
constexpr int kFirstCandidateBatch = 16;
constexpr int kLargestCandidateBatch = 256;

// How many of a token's documents nearest the start of a walk are read to estimate how common it is.
constexpr int kDensityProbe = 64;
// At most this many tokens of a query are probed (evenly spread over it), and at most this many go into
// the walk.
constexpr int kMostProbed = 16;
constexpr int kMostWalked = 6;
// Checking a candidate's text costs about as much as stepping this many documents of one token in the
// index: a token joins the walk when the candidates it would rule out cost more than its documents.
constexpr double kCheckCost = 600;

// Whether the index can answer a text: two or more characters, none a control character or half of a
// surrogate pair (the index holds the text as UTF-8 and uses control characters for its chat markers).
bool indexable(const QString& text)
{
    int characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x20)
            return false;
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
        ++characters;
    }
    return characters >= 2;
}

QByteArray quoted(const QByteArray& token)
{
    QByteArray text = token;
    text.replace('"', "\"\"");
    return '"' + text + '"';
}

// One distinct token of a query: where it stands (its ordinals among the query's tokens, neighbours
// sharing a character; the word it is in, -1 for a token across a space) and how common it is near the
// start of the walk.
struct QueryToken
{
    QByteArray text;
    QList<int> ordinals;
    int word = -1;
    double density = 0;

    // Whether two tokens of one word share a character (so one says much about the other); a token
    // across a space is about two words and is told little by either.
    bool overlaps(const QueryToken& other) const
    {
        if (word < 0 || other.word < 0)
            return false;
        for (int mine : ordinals) {
            for (int theirs : other.ordinals) {
                if (std::abs(mine - theirs) < 2)
                    return true;
            }
        }
        return false;
    }
};

// The distinct tokens of a text in the order they first appear, each with its ordinals.
QList<QueryToken> queryTokens(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    QList<QueryToken> tokens;
    int ordinal = 0;
    int word = 0;
    BigramTokenizer::tokenize(utf8.constData(), int(utf8.size()), false, [&](const char* token, int size) {
        const QByteArrayView view(token, size);
        // A pair is two code points; a token of three is made across a space and starts the next word.
        const bool acrossSpace = QString::fromUtf8(view).toUcs4().size() == 3;
        if (acrossSpace)
            ++word;
        const auto known = std::find_if(tokens.begin(), tokens.end(),
                                        [&](const QueryToken& other) { return other.text == view; });
        if (known != tokens.end())
            known->ordinals << ordinal;
        else
            tokens.append({QByteArray(token, size), {ordinal}, acrossSpace ? -1 : word, 0});
        ++ordinal;
    });
    return tokens;
}

} // namespace

MessageSearch::MessageSearch(MessageSearchIndex& index, const QString& query)
    : m_index(index), m_query(query.trimmed())
{
    if (m_query.isEmpty())
        throwSearchError(tr("Type something to search for."));
    m_match = matchExpression(m_query);
}

QByteArray MessageSearch::matchExpression(const QString& text)
{
    if (!indexable(text))
        return {};
    const QByteArray utf8 = text.toUtf8();
    QList<QByteArray> parts;
    BigramTokenizer::tokenize(utf8.constData(), int(utf8.size()), true, [&](const char* token, int size) {
        if (parts.size() < MaxTokens)
            parts << quoted(QByteArray(token, size));
    });
    return parts.join(" AND ");
}

bool MessageSearch::matches(const QString& displayText) const
{
    return displayText.contains(m_query, Qt::CaseInsensitive);
}

QList<SearchHit> MessageSearch::hits(const _LineChat* chat, bool newestFirst, int limit, qint64 after)
{
    if (limit <= 0)
        return {};
    const qint64 bound = after >= 0 ? after : (newestFirst ? m_index.messageCount() : -1);
    return collect(chat ? std::optional<qint64>(chat->id) : std::nullopt, !newestFirst, bound, limit);
}

std::optional<qint64> MessageSearch::nextHit(const _LineChat* chat, bool ascending, qint64 after)
{
    const qint64 count = m_index.messageCount();
    if (!chat) {
        if (after >= count)
            return std::nullopt;
        const qint64 bound = after < 0 ? (ascending ? -1 : count) : (ascending ? after : count - 1 - after);
        const QList<SearchHit> found = collect(std::nullopt, ascending, bound, 1);
        if (found.isEmpty())
            return std::nullopt;
        return ascending ? found.first().position : count - 1 - found.first().position;
    }
    const QList<qint64>& positions = m_index.chatPositions(chat->id);
    const qint64 size = positions.size();
    if (after >= size)
        return std::nullopt;
    qint64 bound = 0;
    if (after < 0)
        bound = ascending ? -1 : count;
    else
        bound = positions.at(ascending ? after : size - 1 - after);
    const QList<SearchHit> found = collect(chat->id, ascending, bound, 1);
    if (found.isEmpty())
        return std::nullopt;
    return ascending ? found.first().chatPosition : size - 1 - found.first().chatPosition;
}

QList<SearchHit> MessageSearch::collect(std::optional<qint64> chatKey, bool ascending, qint64 bound,
                                        int limit)
{
    return usesIndex() ? collectByIndex(chatKey, ascending, bound, limit)
                       : collectByScan(chatKey, ascending, bound, limit);
}

QByteArray MessageSearch::walkExpression(bool ascending, qint64 bound)
{
    // Every candidate's text is checked, so any of the query's tokens find all hits: the walk takes the
    // rarest few (near where it starts), spread over the query so they rule out different messages (the
    // rarest of each word first, then others not sharing a character with those taken), as long as each
    // rules out more candidates than it costs to step through. A token absent from the walked range
    // means no hit at all.
    QList<QueryToken> tokens = queryTokens(m_query);
    if (tokens.isEmpty())
        return m_match;
    if (tokens.size() > kMostProbed) {
        QList<QueryToken> spread;
        for (int i = 0; i < kMostProbed; ++i)
            spread << tokens.at(qsizetype(i) * tokens.size() / kMostProbed);
        tokens = spread;
    }
    const QString sql = ascending ? QStringLiteral("select rowid from fts where fts match ? and rowid > ? "
                                                   "order by rowid asc limit %1")
                                  : QStringLiteral("select rowid from fts where fts match ? and rowid < ? "
                                                   "order by rowid desc limit %1");
    const qint64 range = ascending ? m_index.messageCount() - 1 - bound : bound;
    for (QueryToken& token : tokens) {
        Sqlite3Cursor cursor = m_index.index().query(
            Sqlite3Sql(sql.arg(kDensityProbe)).addTextBytesParam(quoted(token.text)).addInt64Param(bound));
        int found = 0;
        qint64 last = bound;
        while (cursor.moveNext()) {
            ++found;
            last = cursor.int64At(0);
        }
        if (found == 0)
            return {};
        const qint64 span = found < kDensityProbe ? range : std::abs(last - bound);
        token.density = std::min(1.0, double(found) / double(std::max<qint64>(1, span)));
    }
    std::stable_sort(tokens.begin(), tokens.end(),
                     [](const QueryToken& a, const QueryToken& b) { return a.density < b.density; });
    QList<const QueryToken*> walked{&tokens.first()};
    double joint = tokens.first().density;
    for (const bool otherWords : {true, false}) {
        for (qsizetype i = 1; i < tokens.size() && walked.size() < kMostWalked; ++i) {
            const QueryToken& token = tokens.at(i);
            if (walked.contains(&token) ||
                std::any_of(walked.cbegin(), walked.cend(), [&](const QueryToken* chosen) {
                    return chosen->overlaps(token) ||
                           (otherWords && token.word >= 0 && chosen->word == token.word);
                }))
                continue;
            if (joint * (1 - token.density) * kCheckCost <= token.density)
                break;
            walked << &token;
            joint *= token.density;
        }
    }
    QList<QByteArray> parts;
    for (const QueryToken* token : walked)
        parts << quoted(token->text);
    return parts.join(" AND ");
}

QList<SearchHit> MessageSearch::collectByIndex(std::optional<qint64> chatKey, bool ascending, qint64 bound,
                                               int limit)
{
    QByteArray match = walkExpression(ascending, bound);
    if (match.isEmpty())
        return {};
    if (chatKey)
        match += " AND " + quoted(BigramTokenizer::chatMarker(*chatKey));
    const QString sql =
        ascending
            ? QStringLiteral("select rowid from fts where fts match ? and rowid > ? order by rowid asc")
            : QStringLiteral("select rowid from fts where fts match ? and rowid < ? order by rowid desc");
    // One walk along the index, its candidates checked a batch at a time until enough hits are found.
    Sqlite3Cursor cursor =
        m_index.index().query(Sqlite3Sql(sql).addTextBytesParam(match).addInt64Param(bound));
    QList<SearchHit> hits;
    QList<qint64> candidates;
    bool more = true;
    int batch = kFirstCandidateBatch;
    while (more && hits.size() < limit) {
        candidates.clear();
        while (candidates.size() < batch && (more = cursor.moveNext()))
            candidates << cursor.int64At(0);
        checkCandidates(candidates, hits, limit);
        batch = std::min(batch * 2, kLargestCandidateBatch);
    }
    return hits;
}

void MessageSearch::checkCandidates(const QList<qint64>& positions, QList<SearchHit>& hits, int limit)
{
    // The candidates' texts first (cheap: no media looked for), then the hits read in full.
    QList<qint64> keys;
    keys.reserve(positions.size());
    for (qint64 position : positions)
        keys << m_index.entry(position).key;
    QHash<qint64, QString> matching;
    for (const _LineMsg& message : m_index.data()->db()->loadMessagesByKeys(keys, true)) {
        QString text = message.displayText();
        if (matches(text))
            matching.insert(message.id, std::move(text));
    }
    QList<qint64> hitPositions;
    QList<qint64> hitKeys;
    for (qint64 position : positions) {
        if (hitPositions.size() + hits.size() >= limit)
            break;
        const qint64 key = m_index.entry(position).key;
        if (matching.contains(key)) {
            hitPositions << position;
            hitKeys << key;
        }
    }
    QHash<qint64, _LineMsg> messages;
    for (_LineMsg& message : m_index.data()->db()->loadMessagesByKeys(hitKeys))
        messages.insert(message.id, std::move(message));
    for (qint64 position : hitPositions) {
        const MessageSearchIndex::Entry entry = m_index.entry(position);
        const auto message = messages.constFind(entry.key);
        if (message == messages.cend())
            continue;
        SearchHit hit;
        hit.position = position;
        hit.chatPosition = chatPositionOf(entry.chat, position);
        hit.message = *message;
        hit.setSnippet(matching.value(entry.key), m_query);
        hits.append(std::move(hit));
    }
}

QList<SearchHit> MessageSearch::collectByScan(std::optional<qint64> chatKey, bool ascending, qint64 bound,
                                              int limit)
{
    // The walk goes oldest first; going the other way keeps only the last `limit` found.
    struct Enough
    {
    };
    QList<qint64> found;
    qint64 position = 0;
    try {
        m_index.data()->db()->forEachMessageText([&](const _LineMsg& message) {
            const qint64 at = position++;
            if (ascending && at <= bound)
                return;
            if (!ascending && at >= bound)
                throw Enough();
            if (chatKey && MessageSearchIndex::chatKeyOf(message) != *chatKey)
                return;
            if (!matches(message.displayText()))
                return;
            found << at;
            if (!ascending && found.size() > limit)
                found.removeFirst();
            if (ascending && found.size() >= limit)
                throw Enough();
        });
    } catch (const Enough&) {
        // The walk stops once nothing more can count.
    }
    if (!ascending)
        std::reverse(found.begin(), found.end());
    QList<SearchHit> hits;
    checkCandidates(found, hits, limit);
    return hits;
}

qint64 MessageSearch::chatPositionOf(qint64 chatKey, qint64 position)
{
    const QList<qint64>& positions = m_index.chatPositions(chatKey);
    const auto it = std::lower_bound(positions.cbegin(), positions.cend(), position);
    return it != positions.cend() && *it == position ? qint64(it - positions.cbegin()) : -1;
}
