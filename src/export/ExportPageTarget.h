#pragma once

#include "export/ExportMediaFiles.h"
#include "export/MessageBodyTarget.h"

// The addresses of an exported web page, for one message whose media were copied already
// (ExportMediaFiles): the copies linked relatively in the "files" folder beside the page and opened in a
// new window, "files/empty_photo.jpg" (the bubble view's placeholder, copied there with the style sheet)
// where a photo or video has no picture, "files/voice.png" before voice notes.
class ExportPageTarget final : public MessageBodyTarget
{
public:
    explicit ExportPageTarget(const ExportMediaFiles::Names& copies) : m_copies(copies) {}

    // The folder, beside the page, that holds the style sheet, its images and the media copies.
    static QString filesFolder() { return QStringLiteral("files"); }

    MediaLinks photo(const _LineMsg& message) const override;
    MediaLinks video(const _LineMsg& message) const override;
    QString voiceNote(const _LineMsg& message) const override;
    QString file(const _LineMsg& message) const override;
    QString voiceIcon() const override;
    BubbleMarkup::LinkTarget linkTarget() const override;

private:
    MediaLinks media() const;
    static QString filesLink(const QString& name);

    ExportMediaFiles::Names m_copies;
};
