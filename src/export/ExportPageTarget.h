#pragma once

#include "export/ExportMediaFiles.h"
#include "export/ExportOptions.h"
#include "export/MessageBodyTarget.h"

// The addresses of an exported web page, for one message whose media were copied already
// (ExportMediaFiles): the copies linked relatively in the "files" folder beside the page and opened in a
// new window, "files/empty_photo.jpg" (the bubble view's placeholder, copied there with the style sheet)
// where a photo or video has no picture, "files/voice.png" before voice notes. Nothing is loaded from
// outside the export unless the options name an image server: a sticker shows its copied image, else
// the server's, else its label; a place links a map page and shows a static map only from a map server.
class ExportPageTarget final : public MessageBodyTarget
{
public:
    explicit ExportPageTarget(const ExportMediaFiles::Names& copies, const ExportOptions& options = {})
        : m_copies(copies), m_stickerServer(options.stickerServer), m_mapServer(options.mapServer)
    {
    }

    // The folder, beside the page, that holds the style sheet, its images and the media copies.
    static QString filesFolder() { return QStringLiteral("files"); }

    MediaLinks photo(const _LineMsg& message) const override;
    MediaLinks video(const _LineMsg& message) const override;
    QString voiceNote(const _LineMsg& message) const override;
    QString file(const _LineMsg& message) const override;
    QString stickerImage(const _LineMsg& message) const override;
    PlaceLinks place(const _LineMsg& message) const override;
    QString voiceIcon() const override;

    // A page of a map site centred on the place, for the reader to open.
    static QString mapPage(double latitude, double longitude);
    BubbleMarkup::LinkTarget linkTarget() const override;

private:
    MediaLinks media() const;
    static QString filesLink(const QString& name);

    ExportMediaFiles::Names m_copies;
    QString m_stickerServer;
    QString m_mapServer;
};
