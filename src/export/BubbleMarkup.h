#pragma once

#include "line/LineMsg.h"

#include <QCoreApplication>
#include <QDate>
#include <QString>

// The markup of chat bubbles shared by the bubble view and the HTML export. Every text that comes from
// a message store (message text, names, file and place names, addresses) passes through here escaped,
// so a message holding markup shows as text and never runs or loads anything.
//
// Class names, which the "linebb" style sheet gives their look: "bb1" (received) and "bb2" (sent)
// bubbles, each with nine "bb_bg" frame pieces ("top_left" ... "bottom_right"), "handle" (sender name),
// "bb_time", "clear", and "r" (the day separator, framed the same way).
class BubbleMarkup
{
    Q_DECLARE_TR_FUNCTIONS(BubbleMarkup)

public:
    enum LinkTarget
    {
        SameWindow,
        NewWindow, // target="_blank": exported pages open media beside the chat
    };

    // The XHTML 1.0 Transitional document type and the html start tag in the XHTML namespace.
    static QString documentStart();
    // The nine frame pieces of a bubble or day separator.
    static QString frameDivs();
    // The centred day separator with the date as "dd MMM yyyy".
    static QString daySeparator(const QDate& day);
    // "<div class="handle">name</div>" for a received message in a multi-user room or group chat;
    // empty otherwise.
    static QString senderLine(const _LineMsg& message);
    // "<div class="bb1">" (received) or "<div class="bb2">" (sent) and the frame pieces.
    static QString bubbleStart(const _LineMsg& message);
    // The time as "hh:mm AP" and the closing of the bubble.
    static QString bubbleEnd(const _LineMsg& message);

    // Escaped text (CR LF, CR and LF each become "<br/>") with emoji replaced by emojiHtml.
    static QString richText(const QString& text);
    // An emoji: an image on the emoji service when one is configured; otherwise the character itself,
    // which the page's fonts draw, except LINE's private-use codes (U+E000-U+E537), which no font has and
    // which show as "[EMOJI]".
    static QString emojiHtml(const QString& code);

    // "Contact:<br/>" and the contact's name (LINE's literal "\r" removed, literal "\n" read as a space).
    static QString contactBody(const _LineMsg& message);
    // The place name, line breaks kept, linked to a static map image when a map service is configured.
    static QString locationBody(const _LineMsg& message);
    // The sticker image linked to itself; its one-line text when no sticker service is configured.
    static QString stickerBody(const _LineMsg& message, LinkTarget target);

    // "<a href="link"><img style="max-width:Npx;max-height:Npx;" src="src" extra></a>"; link and src are
    // addresses (escaped here for the attribute), extra is markup the caller built.
    static QString imageLink(const QString& link, const QString& src, int size, const QString& extra,
                             LinkTarget target);
    // A relative address of a file in a folder: "folder/" and the name percent-encoded, so that "#", "?"
    // and "%" in it stay part of the name.
    static QString relativeFileLink(const QString& folder, const QString& fileName);
};
