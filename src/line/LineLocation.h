#pragma once

#include "line/LineImageUrls.h"

#include <QString>

// The place a location message shares ("loc_lat", "loc_lng", "loc_name" of the message's atta).
struct _LineLocation
{
    double latitude = 0;
    double longitude = 0;
    QString name;

    // A static map image centred on the place (see LineImageUrls::staticMapImage).
    QString mapImageUrl() const { return LineImageUrls::staticMapImage(latitude, longitude); }

    bool operator==(const _LineLocation&) const = default;
};
