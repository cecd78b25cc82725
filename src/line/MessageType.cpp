#include "line/MessageType.h"

#include <array>

namespace MessageType {
namespace {

constexpr std::array<const char*, 8> kWords = {"text",    "photo",   "video", "voice",
                                               "sticker", "contact", "file",  "location"};

} // namespace

QString word(int code)
{
    if (code < 0 || code >= int(kWords.size()))
        code = Text;
    return QString::fromLatin1(kWords[size_t(code)]);
}

int fromWord(const QString& word)
{
    for (size_t i = 0; i < kWords.size(); ++i) {
        if (word.compare(QLatin1String(kWords[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return Text;
}

int fromWordBytes(QByteArrayView word)
{
    for (size_t i = 0; i < kWords.size(); ++i) {
        if (word.compare(QByteArrayView(kWords[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return Text;
}

int fromIosContentType(int contentType)
{
    switch (contentType) {
    case 0:
    case 107:
        return Text;
    case 1:
    case 112:
        return Photo;
    case 2:
        return Video;
    case 3:
        return Voice;
    case 7:
        return Sticker;
    case 13:
        return Contact;
    case 14:
        return File;
    case 100:
        return Location;
    default:
        return -1;
    }
}

int toIosContentType(int code)
{
    switch (code) {
    case Photo:
        return 1;
    case Video:
        return 2;
    case Voice:
        return 3;
    case Sticker:
        return 7;
    case Contact:
        return 13;
    case File:
        return 14;
    case Location:
        return 100;
    default:
        return 0;
    }
}

const QList<int>& knownIosContentTypes()
{
    static const QList<int> types = {0, 107, 1, 2, 3, 7, 13, 14, 100, 112};
    return types;
}

} // namespace MessageType
