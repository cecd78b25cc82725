#pragma once

#include "line/LineMsg.h"

#include <QCoreApplication>
#include <QDate>
#include <QString>

// The pieces of chat-bubble markup shared by every page that shows bubbles (MessageBodyRenderer puts the
// bodies together from them). Every value that reaches the markup (message text, names, file and place
// names, addresses) is escaped here and nowhere else, so a message holding markup shows as text and never
// runs or loads anything: callers hand in plain values.
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
    // "<title>text</title>".
    static QString title(const QString& text);
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

    // Escaped text, line feeds as "<br/>".
    static QString plainText(const QString& text);
    // Escaped text (CR LF, CR and LF each become "<br/>") with emoji replaced by emojiHtml.
    static QString richText(const QString& text);
    // An emoji: an image on the emoji service when one is configured; otherwise the character itself,
    // which the page's fonts draw, except LINE's private-use codes (U+E000-U+E537), which no font has and
    // which show as "[EMOJI]".
    static QString emojiHtml(const QString& code);
    // "Contact:<br/>" and the name.
    static QString contact(const QString& name);

    // "<a href="address">text</a>" (target="_blank" first for NewWindow), the text as plainText.
    static QString textLink(const QString& address, const QString& text, LinkTarget target);
    // "<img width="32px" src="icon" align="middle"/>" and the length linked to the voice note.
    static QString voiceNote(const QString& icon, const QString& link, const QString& length);
    // "<a href="link"><img style="max-width:Npx;max-height:Npx;" src="src" alt="alt"></a>", the alt
    // attribute only when alt is not empty.
    static QString imageLink(const QString& link, const QString& src, int size, const QString& alt,
                             LinkTarget target);
    // A relative address of a file in a folder: "folder/" and the name percent-encoded, so that "#", "?"
    // and "%" in it stay part of the name.
    static QString relativeFileLink(const QString& folder, const QString& fileName);
};
