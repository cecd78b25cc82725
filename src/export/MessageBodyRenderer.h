#pragma once

#include "export/MessageBodyTarget.h"
#include "line/LineMsg.h"

#include <QString>

// The markup of one message's bubble, the same for every kind of page: a body per message type built
// from the message's own values and the addresses its target gives the attachment. The renderer reads
// no files; values from the message and the target are escaped on their way in (BubbleMarkup).
class MessageBodyRenderer
{
public:
    // The sender line (received messages in rooms and groups), the bubble's frame, the body and the time.
    static QString bubble(const _LineMsg& message, const MessageBodyTarget& target);

    // Photo and video: the picture linked to the attachment. Voice note: the icon and the length linked to
    // it. File: the file name linked to it. Sticker: its image linked to itself, its one-line text without
    // a sticker service. Contact: "Contact:" and the name. Location: the place name, linked to a static
    // map when a map service is configured. Text and any other type: the text with emoji.
    static QString body(const _LineMsg& message, const MessageBodyTarget& target);
};
