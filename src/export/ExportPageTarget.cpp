#include "export/ExportPageTarget.h"

#include "line/LineImageUrls.h"

MessageBodyTarget::MediaLinks ExportPageTarget::photo(const _LineMsg&) const
{
    return media();
}

MessageBodyTarget::MediaLinks ExportPageTarget::video(const _LineMsg&) const
{
    return media();
}

QString ExportPageTarget::voiceNote(const _LineMsg&) const
{
    return filesLink(m_copies.file);
}

QString ExportPageTarget::file(const _LineMsg&) const
{
    return filesLink(m_copies.file);
}

QString ExportPageTarget::stickerImage(const _LineMsg& message) const
{
    if (!m_copies.picture.isEmpty())
        return filesLink(m_copies.picture);
    const _LineSticker sticker = message.sticker();
    return LineImageUrls::stickerImageOn(m_stickerServer, sticker.id, sticker.package, sticker.version);
}

MessageBodyTarget::PlaceLinks ExportPageTarget::place(const _LineMsg& message) const
{
    const _LineLocation location = message.location();
    // A place LINE stored without coordinates: its name alone, no map of the sea off Africa.
    if (location.latitude == 0 && location.longitude == 0)
        return {};
    QString map = LineImageUrls::staticMapImageOn(m_mapServer, location.latitude, location.longitude);
    map.replace(QLatin1String("<scale>"), QLatin1String("1"));
    return {mapPage(location.latitude, location.longitude), map, true};
}

QString ExportPageTarget::mapPage(double latitude, double longitude)
{
    const QString lat = QString::number(latitude, 'f', 6);
    const QString lng = QString::number(longitude, 'f', 6);
    return QStringLiteral("https://www.openstreetmap.org/?mlat=%1&mlon=%2#map=16/%1/%2").arg(lat, lng);
}

QString ExportPageTarget::voiceIcon() const
{
    return filesFolder() + QStringLiteral("/voice.png");
}

BubbleMarkup::LinkTarget ExportPageTarget::linkTarget() const
{
    return BubbleMarkup::NewWindow;
}

MessageBodyTarget::MediaLinks ExportPageTarget::media() const
{
    return {filesLink(m_copies.file), m_copies.picture.isEmpty()
                                          ? filesFolder() + QStringLiteral("/empty_photo.jpg")
                                          : filesLink(m_copies.picture)};
}

QString ExportPageTarget::filesLink(const QString& name)
{
    return BubbleMarkup::relativeFileLink(filesFolder(), name);
}
