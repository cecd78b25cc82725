#include "plist/XmlPlistScan.h"

#include "plist/PlistLimits.h"

#include <cstring>

namespace {

enum class ElementKind
{
    Container,
    Leaf,
    Closing,
    Unknown
};

ElementKind kindOf(const char* name)
{
    if (std::strcmp(name, "dict") == 0 || std::strcmp(name, "array") == 0)
        return ElementKind::Container;
    static const char* const leaves[] = {"integer", "real", "true", "false", "string", "key", "data", "date"};
    for (const char* leaf : leaves) {
        if (std::strcmp(name, leaf) == 0)
            return ElementKind::Leaf;
    }
    return name[0] == '/' ? ElementKind::Closing : ElementKind::Unknown;
}

const char* pathName(char kind)
{
    return kind == 'p' ? "plist" : kind == 'd' ? "dict" : "array";
}

// Nested <plist> elements add no depth to the tree but still occupy the path; allow a few.
constexpr std::size_t MaxPathLength = 4 * PlistLimits::MaxDepth;

} // namespace

XmlPlistScan::XmlPlistScan(QByteArrayView bytes) : m_bytes(bytes), m_end(bytes.size())
{
}

PlistScanVerdict XmlPlistScan::check(QByteArrayView bytes)
{
    if (bytes.size() > PlistLimits::MaxInputBytes)
        return PlistScanVerdict::TooLarge;
    XmlPlistScan scan(bytes);
    return scan.run();
}

// strncmp(at, text, length) == 0, as libplist compares: a NUL in both ends the comparison early.
bool XmlPlistScan::matches(qint64 at, const char* text, qint64 length) const
{
    for (qint64 i = 0; i < length; ++i) {
        const char c = byteAt(at + i);
        if (c != text[i])
            return false;
        if (c == '\0')
            return true;
    }
    return true;
}

void XmlPlistScan::skipSpace()
{
    while (m_pos < m_end) {
        const char c = byteAt(m_pos);
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return;
        ++m_pos;
    }
}

// At an opening double quote: moves onto the closing one. False when there is none.
bool XmlPlistScan::skipQuoted()
{
    ++m_pos;
    findChar('"', false);
    return m_pos < m_end && byteAt(m_pos) == '"';
}

void XmlPlistScan::findChar(char wanted, bool skipQuotes)
{
    while (m_pos < m_end && byteAt(m_pos) != wanted) {
        if (skipQuotes && wanted != '"' && byteAt(m_pos) == '"' && !skipQuoted())
            return;
        ++m_pos;
    }
}

void XmlPlistScan::findText(const char* text, qint64 length, bool skipQuotes)
{
    while (m_pos < m_end - length) {
        if (matches(m_pos, text, length))
            return;
        if (skipQuotes && byteAt(m_pos) == '"' && !skipQuoted())
            return;
        ++m_pos;
    }
}

void XmlPlistScan::findAny(const char* chars, bool skipQuotes)
{
    while (m_pos < m_end) {
        if (skipQuotes && byteAt(m_pos) == '"' && !skipQuoted())
            return;
        if (std::strchr(chars, byteAt(m_pos)) != nullptr && byteAt(m_pos) != '\0')
            return;
        ++m_pos;
    }
}

// At the character after "<" of "<?" or "<!": skips a processing instruction, comment or DOCTYPE.
bool XmlPlistScan::skipDeclaration()
{
    if (byteAt(m_pos) == '?') {
        findText("?>", 2, true);
        if (m_pos > m_end - 2 || !matches(m_pos, "?>", 2))
            return false;
        m_pos += 2;
        return true;
    }
    if (m_end - m_pos > 3 && matches(m_pos, "!--", 3)) {
        m_pos += 3;
        findText("-->", 3, false);
        if (m_pos > m_end - 3 || !matches(m_pos, "-->", 3))
            return false;
        m_pos += 3;
        return true;
    }
    if (m_end - m_pos > 8 && matches(m_pos, "!DOCTYPE", 8)) {
        bool internalSubset = false;
        m_pos += 8;
        while (m_pos < m_end) {
            findAny(" \t\r\n[>", true);
            if (m_pos >= m_end)
                return false;
            if (byteAt(m_pos) == '[') {
                internalSubset = true;
                break;
            }
            if (byteAt(m_pos) == '>') {
                ++m_pos;
                break;
            }
            skipSpace();
        }
        if (internalSubset) {
            findText("]>", 2, true);
            if (m_pos > m_end - 2 || !matches(m_pos, "]>", 2))
                return false;
            m_pos += 2;
        }
        return true;
    }
    return false;
}

// After the start tag of a leaf element: skips its text, comments and CDATA sections and its end tag, and
// describes the text before the end tag.
bool XmlPlistScan::skipElementText(const QByteArray& tag, qint64 tagLength, bool skipLeadingSpace,
                                   ElementText* text)
{
    if (skipLeadingSpace)
        skipSpace();
    const qint64 textStart = m_pos;
    for (;;) {
        findChar('<', false);
        if (m_pos >= m_end || byteAt(m_pos) != '<')
            return false;
        ++m_pos;
        if (m_pos >= m_end)
            return false;
        if (byteAt(m_pos) == '/') {
            text->bytes = m_bytes.sliced(static_cast<qsizetype>(textStart),
                                         static_cast<qsizetype>(m_pos - 1 - textStart));
            text->hasNul = text->bytes.contains('\0');
            text->isPlain = text->isPlain && !text->bytes.contains('&');
            break;
        }
        if (byteAt(m_pos) != '!')
            return false;
        text->isPlain = false;
        ++m_pos;
        if (m_pos >= m_end - 1)
            return false;
        const char* terminator = nullptr;
        if (byteAt(m_pos) == '-' && byteAt(m_pos + 1) == '-') {
            m_pos += 2;
            terminator = "-->";
        } else if (byteAt(m_pos) == '[') {
            ++m_pos;
            if (m_pos >= m_end - 8 || !matches(m_pos, "CDATA[", 6))
                return false;
            m_pos += 6;
            terminator = "]]>";
        } else {
            return false;
        }
        findText(terminator, 3, false);
        if (m_pos > m_end - 3 || !matches(m_pos, terminator, 3))
            return false;
        m_pos += 3;
    }
    ++m_pos;
    if (m_pos >= m_end - tagLength || !matches(m_pos, tag.constData(), tagLength))
        return false;
    m_pos += tagLength;
    skipSpace();
    if (m_pos >= m_end || byteAt(m_pos) != '>')
        return false;
    ++m_pos;
    return true;
}

PlistScanVerdict XmlPlistScan::run()
{
    bool haveRoot = false;
    bool hasContent = false;
    qint64 nodes = 0;
    while (m_pos < m_end) {
        skipSpace();
        if (m_pos >= m_end)
            break;
        if (byteAt(m_pos) != '<')
            return PlistScanVerdict::Malformed;
        ++m_pos;
        if (m_pos >= m_end)
            return PlistScanVerdict::Malformed;
        if (byteAt(m_pos) == '?' || byteAt(m_pos) == '!') {
            if (!skipDeclaration())
                return PlistScanVerdict::Malformed;
            continue;
        }

        const qint64 nameStart = m_pos;
        findAny(" \r\n\t<>", false);
        if (m_pos >= m_end)
            return PlistScanVerdict::Malformed;
        const qint64 tagLength = m_pos - nameStart;
        // libplist copies the name with strncpy and compares it as a C string.
        QByteArray tag(tagLength + 1, '\0');
        for (qint64 i = 0; i < tagLength && byteAt(nameStart + i) != '\0'; ++i)
            tag[static_cast<qsizetype>(i)] = byteAt(nameStart + i);
        if (byteAt(m_pos) != '>')
            findAny("<>", true);
        if (m_pos >= m_end || byteAt(m_pos) != '>')
            return PlistScanVerdict::Malformed;
        bool isEmpty = false;
        if (byteAt(m_pos - 1) == '/') {
            const qint64 slash = m_pos - nameStart - 1;
            if (slash < tagLength)
                tag[static_cast<qsizetype>(slash)] = '\0';
            isEmpty = true;
        }
        ++m_pos;
        const char* name = tag.constData();

        if (std::strcmp(name, "plist") == 0) {
            hasContent = false;
            if (m_path.empty() && haveRoot)
                return PlistScanVerdict::Accept; // libplist stops at a second top-level plist
            if (isEmpty)
                return PlistScanVerdict::Malformed;
            if (m_path.size() >= MaxPathLength)
                return PlistScanVerdict::TooDeep;
            m_path.push_back('p');
            continue;
        }
        if (std::strcmp(name, "/plist") == 0) {
            if (!hasContent || m_path.empty() || m_path.back() != 'p')
                return PlistScanVerdict::Malformed;
            m_path.pop_back();
            continue;
        }
        hasContent = true;

        const ElementKind kind = kindOf(name);
        if (kind == ElementKind::Unknown)
            return PlistScanVerdict::Malformed;
        if (kind == ElementKind::Closing) {
            if (m_path.empty() || std::strcmp(pathName(m_path.back()), name + 1) != 0)
                return PlistScanVerdict::Malformed;
            m_path.pop_back();
            m_parents.pop_back();
            if (m_parents.empty())
                return PlistScanVerdict::Accept; // the root is complete: libplist stops here
            continue;
        }
        if (kind == ElementKind::Leaf && !isEmpty) {
            const bool isKey = std::strcmp(name, "key") == 0;
            const bool isText = isKey || std::strcmp(name, "string") == 0;
            ElementText text;
            if (!skipElementText(tag, tagLength, !isText, &text))
                return PlistScanVerdict::Malformed;
            if (isText && text.hasNul)
                return PlistScanVerdict::NulInString;
            if (isKey && !m_parents.empty() && m_parents.back().isDict) {
                const std::optional<quint32> hash =
                    text.isPlain ? std::optional<quint32>(PlistHashLoad::dictKeyHash(text.bytes))
                                 : std::nullopt;
                m_keyProbes += m_parents.back().keys.addKey(hash);
                if (m_keyProbes > PlistHashLoad::MaxProbes)
                    return PlistScanVerdict::TooLarge;
            }
        }
        if (++nodes > PlistLimits::MaxNodes)
            return PlistScanVerdict::TooLarge;
        const std::size_t depth = m_parents.size() + 1;
        if (depth > static_cast<std::size_t>(PlistLimits::MaxDepth))
            return PlistScanVerdict::TooDeep;
        const bool isDict = std::strcmp(name, "dict") == 0;
        if (!haveRoot) {
            haveRoot = true;
            if (kind == ElementKind::Leaf)
                return PlistScanVerdict::Accept; // a scalar root ends the parse
            // Even an empty root becomes the parent of what follows.
            m_parents.emplace_back().isDict = isDict;
            if (!isEmpty)
                m_path.push_back(name[0]);
            continue;
        }
        if (kind == ElementKind::Container && !isEmpty) {
            if (m_path.size() >= MaxPathLength)
                return PlistScanVerdict::TooDeep;
            m_path.push_back(name[0]);
            m_parents.emplace_back().isDict = isDict;
        }
    }
    return PlistScanVerdict::Accept;
}
