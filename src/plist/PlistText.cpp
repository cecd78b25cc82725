#include "plist/PlistText.h"

#include "plist/PlistChildCursor.h"
#include "plist/PlistDates.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

QString scalarText(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value ? QStringLiteral("1") : QStringLiteral("0");
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // Negative integers are stored in two's complement.
        return QString::number(static_cast<qint64>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return QString::number(value, 'g', 6);
    }
    case PLIST_STRING:
    case PLIST_KEY:
        return plistStringValue(node);
    case PLIST_DATE: {
        const std::optional<double> seconds = PlistDates::storedSeconds(node);
        return seconds ? PlistDates::toLocalDateTime(*seconds, 0).toString(Qt::TextDate) : QString();
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return QString::fromLatin1(QByteArray::fromRawData(bytes, static_cast<qsizetype>(length)).toBase64());
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return QString::number(static_cast<quint32>(value));
    }
    default:
        return QStringLiteral("NULL");
    }
}

bool isContainer(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    return type == PLIST_ARRAY || type == PLIST_DICT;
}

} // namespace

QString plistStringValue(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    if (type == PLIST_STRING) {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return text ? QString::fromUtf8(text, static_cast<qsizetype>(length)) : QString();
    }
    if (type == PLIST_KEY) {
        char* text = nullptr;
        plist_get_key_val(node, &text);
        const QString result = text ? QString::fromUtf8(text) : QString();
        std::free(text); // allocated by libplist with strdup
        return result;
    }
    return QString();
}

QString plistNodeText(plist_t node)
{
    if (!isContainer(node))
        return scalarText(node);

    struct Level
    {
        std::unique_ptr<PlistChildCursor> cursor;
        bool isDict = false;
        bool first = true;
    };
    QString text;
    std::vector<Level> levels;
    const auto open = [&](plist_t container) {
        const bool isDict = plist_get_node_type(container) == PLIST_DICT;
        text += isDict ? QLatin1Char('{') : QLatin1Char('[');
        levels.push_back(Level{std::make_unique<PlistChildCursor>(container), isDict, true});
    };
    open(node);
    while (!levels.empty()) {
        Level& level = levels.back();
        plist_t key = nullptr;
        plist_t child = level.cursor->next(&key);
        if (!child) {
            text += level.isDict ? QLatin1Char('}') : QLatin1Char(']');
            levels.pop_back();
            continue;
        }
        if (!level.first)
            text += QLatin1String(", ");
        level.first = false;
        if (level.isDict) {
            text += plistStringValue(key);
            text += QLatin1String(" : ");
        }
        if (isContainer(child))
            open(child); // invalidates level
        else
            text += scalarText(child);
    }
    return text;
}
