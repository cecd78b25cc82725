#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>
#include <QString>

// Builds one page of the bubble view as HTML: a pure function of the message source and the page
// number, used by LineBubbleViewMgr and testable without a view. Pages hold 50 messages; each day gets a
// separator, received messages in rooms and groups carry the sender's name, and media link to
// "atta:///?ph=<hex of the UTF-8 path>&sf=<suffix>" addresses that the view manager opens. Files the page
// refers to ("linebb/style.css", "linebb/empty_photo.jpg", "linebb/voice.png") are relative to the
// asset folder, which the view uses as the page's base address. The bubbles are MessageBodyRenderer's,
// with the view's own addresses.
class LineBubblePageBuilder
{
    Q_DECLARE_TR_FUNCTIONS(LineBubblePageBuilder)

public:
    static constexpr int PageSize = 50;

    // ceil(count / 50); 0 for an empty source.
    static qint64 pageCount(qint64 count);
    // The page (from 1) of the message at index (from 0).
    static qint64 pageOfIndex(qint64 index);

    // The page of a source holding count messages; empty when page is not in 1..pageCount(count).
    static QString build(AbsLineMsgsSource& source, qint64 count, qint64 page);

    // The markup of one message: sender line and bubble.
    static QString bubble(const _LineMsg& message);
    // "atta:///?ph=<hex of the UTF-8 path>&sf=<suffix>" (not yet escaped for an attribute).
    static QString attachmentLink(const QString& filePath, const QString& suffix);
    // An image linked to link: src itself when it is a web address, else the local file when it exists
    // and is not empty, else "linebb/empty_photo.jpg"; with an alt text when alt is not empty.
    static QString imageLink(const QString& link, const QString& src, int size, const QString& alt);
};
