#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <functional>

class Sqlite3DB;

// The tokenizer of the message search index: every two neighbouring characters (code points, case
// folded as QString's case-insensitive comparison folds them) form one token, whatever the script; where
// one white-space character stands between two others, the three form one token instead of the two
// pairs with the space (those pairs are the commonest of spaced scripts and would find little). A text
// that contains a query holds every token of the query, so the tokens find every message that may match,
// and a query of two characters exactly its matches: substring queries in Japanese and Chinese (no
// spaces, two characters common) are answered from the index as well as Latin ones, which a word
// tokenizer misses inside words and a trigram tokenizer misses under three characters. The index keeps
// no positions, so the caller checks each candidate's text.
//
// A text may begin with a chat marker, ChatMarkerLead + decimal chat key + ChatMarkerEnd, which becomes
// one token of its own (longer than any pair, so never equal to one): a query can then be narrowed to
// one chat inside the index.
class BigramTokenizer
{
    Q_DECLARE_TR_FUNCTIONS(BigramTokenizer)

public:
    static inline const char* Name = "ferrowyn_bigram";
    static constexpr char ChatMarkerLead[] = "\x02\x02";
    static constexpr char ChatMarkerEnd = '\x03';

    // The marker text for a chat key.
    static QByteArray chatMarker(qint64 chatKey);

    // Registers the tokenizer with this connection's FTS5 under Name. Throws when SQLite has no FTS5.
    static void registerWith(Sqlite3DB& db);

    // The tokens of a UTF-8 text, each given to onToken as UTF-8 bytes: with distinct, each token once (in
    // no particular order); without, in the order of the text (a token right after itself given once).
    // Invalid UTF-8 bytes count as U+FFFD.
    static void tokenize(const char* text, int size, bool distinct,
                         const std::function<void(const char* token, int size)>& onToken);

    // The case folding used for both texts and queries.
    static char32_t fold(char32_t codePoint);
    // The white space that pairs are not made with.
    static bool isSpace(char32_t codePoint);
};
