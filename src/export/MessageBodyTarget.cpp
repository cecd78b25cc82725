#include "export/MessageBodyTarget.h"

QString MessageBodyTarget::stickerImage(const _LineMsg& message) const
{
    return message.sticker().stickerImageUrl();
}

MessageBodyTarget::PlaceLinks MessageBodyTarget::place(const _LineMsg& message) const
{
    QString map = message.location().mapImageUrl();
    // The static map address leaves its scale to the caller; the bubbles link the ordinary one.
    map.replace(QLatin1String("<scale>"), QLatin1String("1"));
    return {map, QString(), false};
}
