#include "search/BigramTokenizer.h"

#include "search/SearchError.h"
#include "storage/Sqlite3DB.h"

#include <QChar>
#include <algorithm>
#include <memory>
#include <sqlite3.h>
#include <string_view>
#include <vector>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Token numbers hold three 21-bit fields; a pair has this tag, above every code point, in the first.
constexpr char32_t kCodeMask = 0x1FFFFF;
constexpr char32_t kPairTag = 0x1FFFFF;

// Decodes one code point at text[i], advancing i; malformed or overlong sequences give U+FFFD and
// consume one byte, so every input makes progress.
char32_t nextCodePoint(const unsigned char* text, int size, int& i)
{
    const unsigned char lead = text[i];
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + length > size) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = text[i + k];
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return value;
}

int appendUtf8(char32_t value, char* out)
{
    if (value < 0x80) {
        out[0] = char(value);
        return 1;
    }
    if (value < 0x800) {
        out[0] = char(0xC0 | (value >> 6));
        out[1] = char(0x80 | (value & 0x3F));
        return 2;
    }
    if (value < 0x10000) {
        out[0] = char(0xE0 | (value >> 12));
        out[1] = char(0x80 | ((value >> 6) & 0x3F));
        out[2] = char(0x80 | (value & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (value >> 18));
    out[1] = char(0x80 | ((value >> 12) & 0x3F));
    out[2] = char(0x80 | ((value >> 6) & 0x3F));
    out[3] = char(0x80 | (value & 0x3F));
    return 4;
}

// The length of a chat marker at the start of text, 0 when there is none.
int chatMarkerLength(const char* text, int size)
{
    constexpr int lead = int(sizeof(BigramTokenizer::ChatMarkerLead)) - 1;
    if (size < lead + 2 || std::string_view(text, lead) != std::string_view(BigramTokenizer::ChatMarkerLead))
        return 0;
    int i = lead;
    while (i < size && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i == lead || i >= size || text[i] != BigramTokenizer::ChatMarkerEnd)
        return 0;
    return i + 1;
}

// The tokens of a text (see BigramTokenizer::tokenize), given to onToken: a template, so the million calls
// of an index build go straight to FTS5 without a std::function between.
template <typename OnToken>
void forEachToken(const char* text, int size, bool distinct, OnToken&& onToken)
{
    if (!text || size <= 0)
        return;
    const int marker = chatMarkerLength(text, size);
    if (marker > 0) {
        onToken(text, marker - 1);
        text += marker;
        size -= marker;
    }
    if (size <= 0)
        return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    char buffer[12];
    const auto give = [&](std::uint64_t key) {
        const auto top = char32_t(key >> 42);
        const auto middle = char32_t((key >> 21) & kCodeMask);
        const auto low = char32_t(key & kCodeMask);
        int length = top == kPairTag ? 0 : appendUtf8(top, buffer);
        length += appendUtf8(middle, buffer + length);
        length += appendUtf8(low, buffer + length);
        onToken(static_cast<const char*>(buffer), length);
    };
    // Tokens are made as numbers (a pair: tag, first, second; across a space: first, space, second).
    // Without distinct they are given in the order of the text at once (FTS5 takes a repeat within a
    // document as a no-op, cheaper than sorting them out); with distinct, gathered, sorted and given once.
    thread_local std::vector<std::uint64_t> keys;
    keys.clear();
    std::uint64_t last = 0;
    const auto take = [&](std::uint64_t key) {
        if (distinct) {
            keys.push_back(key);
        } else if (key != last) {
            last = key;
            give(key);
        }
    };
    int i = 0;
    char32_t beforePrevious = U' ';
    char32_t previous = BigramTokenizer::fold(nextCodePoint(bytes, size, i));
    bool previousSpace = BigramTokenizer::isSpace(previous);
    bool beforePreviousSpace = true;
    while (i < size) {
        const char32_t current = BigramTokenizer::fold(nextCodePoint(bytes, size, i));
        const bool currentSpace = BigramTokenizer::isSpace(current);
        if (!currentSpace) {
            if (!previousSpace)
                take((std::uint64_t(kPairTag) << 42) | (std::uint64_t(previous) << 21) | current);
            else if (!beforePreviousSpace)
                take((std::uint64_t(beforePrevious) << 42) | (std::uint64_t(previous) << 21) | current);
        }
        beforePrevious = previous;
        beforePreviousSpace = previousSpace;
        previous = current;
        previousSpace = currentSpace;
    }
    if (!distinct)
        return;
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    for (const std::uint64_t key : keys)
        give(key);
}

// ---- FTS5 glue ----

struct TokenizerInstance
{
};

int createTokenizer(void*, const char**, int, Fts5Tokenizer** out)
{
    *out = reinterpret_cast<Fts5Tokenizer*>(new TokenizerInstance);
    return SQLITE_OK;
}

void deleteTokenizer(Fts5Tokenizer* tokenizer)
{
    delete reinterpret_cast<TokenizerInstance*>(tokenizer);
}

int tokenizeForFts(Fts5Tokenizer*, void* context, int, const char* text, int size,
                   int (*token)(void*, int, const char*, int, int, int))
{
    // Offsets are not kept (the index stores no positions), so each token reports the whole text.
    int result = SQLITE_OK;
    try {
        forEachToken(text, size, false, [&](const char* bytes, int length) {
            if (result == SQLITE_OK)
                result = token(context, 0, bytes, length, 0, size);
        });
    } catch (const std::bad_alloc&) {
        return SQLITE_NOMEM;
    }
    return result;
}

fts5_tokenizer kTokenizer = {createTokenizer, deleteTokenizer, tokenizeForFts};

// The prepared statement of the fts5() lookup, finalized however the lookup ends.
struct StatementDeleter
{
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

} // namespace

QByteArray BigramTokenizer::chatMarker(qint64 chatKey)
{
    return QByteArray(ChatMarkerLead) + QByteArray::number(chatKey) + ChatMarkerEnd;
}

bool BigramTokenizer::isSpace(char32_t codePoint)
{
    if (codePoint < 0x80)
        return codePoint == ' ' || (codePoint >= '\t' && codePoint <= '\r');
    return QChar::isSpace(codePoint);
}

char32_t BigramTokenizer::fold(char32_t codePoint)
{
    if (codePoint < 0x80)
        return codePoint >= 'A' && codePoint <= 'Z' ? codePoint + 32 : codePoint;
    return QChar::toCaseFolded(codePoint);
}

void BigramTokenizer::tokenize(const char* text, int size, bool distinct,
                               const std::function<void(const char* token, int size)>& onToken)
{
    forEachToken(text, size, distinct, onToken);
}

void BigramTokenizer::registerWith(Sqlite3DB& db)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.handle(), "select fts5(?1)", -1, &raw, nullptr) != SQLITE_OK)
        throwSearchError(BigramTokenizer::tr("This SQLite has no full-text search (FTS5)."));
    const std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
    fts5_api* api = nullptr;
    sqlite3_bind_pointer(raw, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(raw);
    if (!api || api->iVersion < 2 ||
        api->xCreateTokenizer(api, Name, nullptr, &kTokenizer, nullptr) != SQLITE_OK)
        throwSearchError(BigramTokenizer::tr("This SQLite has no full-text search (FTS5)."));
}
