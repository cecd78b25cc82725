#pragma once

#include "line/LineMsg.h"

#include <QString>

// One message that contains the query, with where it stands and the part of its display text around
// the first match.
struct SearchHit
{
    qint64 position = -1;     // in the oldest-first order of all chats
    qint64 chatPosition = -1; // in the oldest-first order of its chat
    _LineMsg message;
    QString snippet;    // the display text around the first match ("…" where cut)
    int matchStart = 0; // the match within snippet
    int matchLength = 0;

    // The snippet with the match between open and close.
    QString markedSnippet(const QString& open, const QString& close) const;

    // Cuts the snippet of a display text around the first case-insensitive match of query; without a
    // match, the start of the text.
    void setSnippet(const QString& displayText, const QString& query);

    // Characters of context kept on each side of the match.
    static constexpr int ContextLength = 30;
};
