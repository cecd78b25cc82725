#pragma once

#include "export/BubbleMarkup.h"
#include "line/LineMsg.h"

#include <QString>

// What differs between the pages that show message bubbles (the bubble view, an exported web page, ...):
// how a message's attachment becomes an address, the voice-note icon, and where links open.
// MessageBodyRenderer builds the markup of every message type and asks its target only for these; a new
// kind of page implements this interface and adds no markup of its own. Everything returned is a plain
// value (an address, not yet escaped): the renderer escapes it.
class MessageBodyTarget
{
public:
    // What a photo or video shows: the address a click opens and the address of the picture.
    struct MediaLinks
    {
        QString link;
        QString picture;
    };

    // How a shared place shows: its name, linked to link when there is one, its coordinates under the
    // name when asked for, and a map picture when there is one.
    struct PlaceLinks
    {
        QString link;
        QString picture;
        bool coordinates = false;
    };

    virtual ~MessageBodyTarget() = default;

    // Called for a message of that type only, once per rendering of its body.
    virtual MediaLinks photo(const _LineMsg& message) const = 0;
    virtual MediaLinks video(const _LineMsg& message) const = 0;
    virtual QString voiceNote(const _LineMsg& message) const = 0;
    virtual QString file(const _LineMsg& message) const = 0;

    // The picture of a sticker; empty shows its one-line text. By default the sticker service's image.
    virtual QString stickerImage(const _LineMsg& message) const;
    // By default the name linked to the static map service's image, when one is configured.
    virtual PlaceLinks place(const _LineMsg& message) const;

    // The icon shown before a voice note's length.
    virtual QString voiceIcon() const = 0;
    // Where photo, video, sticker and file links open; voice notes and maps open in the same window.
    virtual BubbleMarkup::LinkTarget linkTarget() const = 0;
};
