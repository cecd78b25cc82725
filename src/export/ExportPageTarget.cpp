#include "export/ExportPageTarget.h"

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
